// vftp with the window's saved profiles, ~/.netrc and a password typed at the
// terminal, against pyftpdlib on loopback; and no password ever in its output.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/PyFtpdServer.h"
#include "tests/support/TempDir.h"
#include "tests/tools/VftpProcess.h"
#include "util/IniFile.h"
#include "util/ServerProfiles.h"

namespace fs = std::filesystem;

namespace {

class VftpWithProfiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Start()) << server_.Error();
        ASSERT_TRUE(WriteFile(server_.Root() + "/index.html", "<p>hello</p>\n"));
    }
    std::string DataFolder() const { return home_.Path() + "/.local/share/Orvan Software/Velliant FTP"; }
    // Saves the profiles as the window does, into `file`.
    void SaveProfiles(const std::string& file, const std::vector<TFTPServer>& servers) {
        fs::create_directories(fs::path(file).parent_path());
        TIniFile ini(file);
        TIniUpdate update(ini);
        ini.WriteString("General", "Temp", "Temp");
        ini.WriteInteger("General", "Count", static_cast<std::int32_t>(servers.size()));
        for (std::size_t i = 0; i < servers.size(); ++i) servers[i].SaveToIni(&ini, ServerSection(static_cast<int>(i) + 1));
        update.Commit();
    }
    TFTPServer Profile(const std::string& name, TPasvMode pasv) const {
        TFTPServer profile;
        std::tie(profile.Name, profile.Hostname, profile.Port, profile.Username, profile.Password, profile.PASV) =
            std::tuple(name, "127.0.0.1", std::to_string(server_.Port()), server_.User(), server_.Password(), pasv);
        return profile;
    }
    std::string Url(const std::string& login) const {
        return "ftp://" + login + "@127.0.0.1:" + std::to_string(server_.Port()) + "/";
    }
    Outcome Vftp(const std::vector<std::string>& args) { return RunVftp(args, local_.Path(), home_.Path()); }

    PyFtpdServer server_;
    TempDir home_;
    TempDir local_;
};

TEST_F(VftpWithProfiles, SavedProfileByAnyCaseWithBlanksAndThePassiveFlag) {
    const std::string file = DataFolder() + "/FTPServers.ini";
    SaveProfiles(file, {Profile("My Web Site", TPasvMode::Yes), Profile("Office", TPasvMode::No)});
    const std::string before = ReadFile(file);
    const auto stamp = fs::last_write_time(file);

    ASSERT_TRUE(WriteFile(local_.File("new.html"), "<p>new</p>\n"));
    Outcome r = Vftp({"-q", "put", "new.html", "@my web SITE/"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(server_.Root() + "/new.html"), "<p>new</p>\n");

    r = Vftp({"-v", "nls", "@MY WEB SITE/"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("index.html"), std::string::npos) << r.out;
    // The server lists EPSV in FEAT: that is its passive mode.
    EXPECT_NE(r.err.find("> EPSV"), std::string::npos) << "the profile asks for passive mode\n" << r.err;

    r = Vftp({"-v", "get", "@office/index.html", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "<p>hello</p>\n");
    EXPECT_NE(r.err.find("> PORT"), std::string::npos) << "the profile asks for active mode\n" << r.err;
    r = Vftp({"-v", "-p", "get", "@office/index.html", "-"});
    EXPECT_NE(r.err.find("> EPSV"), std::string::npos) << "-p overrides the profile\n" << r.err;

    r = Vftp({"profiles"});
    EXPECT_EQ(r.out, "My Web Site\nOffice\n");
    EXPECT_EQ(ReadFile(file), before) << "vftp never writes the profile file";
    EXPECT_EQ(fs::last_write_time(file), stamp);
}

TEST_F(VftpWithProfiles, AnUnknownNameIsAUsageErrorListingTheSavedNames) {
    SaveProfiles(DataFolder() + "/FTPServers.ini", {Profile("Office", TPasvMode::Yes), Profile("My Web Site", TPasvMode::Yes)});
    const Outcome r = Vftp({"ls", "@Shop/htdocs/"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "vftp: no saved profile is named 'Shop'; saved profiles: My Web Site, Office\n");
}

TEST_F(VftpWithProfiles, TheSettingsRelocateTheProfileFileAsForTheWindow) {
    const std::string moved = home_.File("sites/profiles.ini");
    SaveProfiles(moved, {Profile("Moved", TPasvMode::Yes)});
    SaveProfiles(DataFolder() + "/FTPServers.ini", {Profile("Default Place", TPasvMode::Yes)});
    fs::create_directories(home_.Path() + "/.config/Orvan Software");
    ASSERT_TRUE(
        WriteFile(home_.Path() + "/.config/Orvan Software/Velliant FTP.conf", "[FTP%20Servers]\nINIFilename=" + moved + "\n"));
    Outcome r = Vftp({"nls", "@moved/"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("index.html"), std::string::npos);
    r = Vftp({"ls", "@Default Place/"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("saved profiles: Moved"), std::string::npos) << r.err;
}

TEST_F(VftpWithProfiles, PasswordFromAPrivateNetrcOnly) {
    const std::string netrc = home_.File(".netrc");
    ASSERT_TRUE(WriteFile(netrc, "machine 127.0.0.1 login " + server_.User() + " password " + server_.Password() + "\n"));
    ASSERT_EQ(chmod(netrc.c_str(), 0600), 0);
    Outcome r = Vftp({"nls", Url(server_.User())});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("index.html"), std::string::npos);
    r = Vftp({"-n", "nls", Url(server_.User() + ":" + server_.WrongPassword())});
    EXPECT_EQ(r.status, 0) << "-n takes the netrc's password over the URL's: " << r.err;

    ASSERT_EQ(chmod(netrc.c_str(), 0644), 0);
    r = Vftp({"nls", Url(server_.User())});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "vftp: " + netrc + " can be read or changed by other users (make it private: chmod 600 " + netrc +
                         "); vftp does not use it\n");
}

TEST_F(VftpWithProfiles, PasswordTypedAtTheTerminalIsNotEchoed) {
    bool echo = true;
    const Outcome r = RunVftpOnTerminal({"nls", Url(server_.User())}, local_.Path(), home_.Path(),
                                        "Password for " + server_.User() + "@127.0.0.1: ", server_.Password(), &echo);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(echo);
    EXPECT_NE(r.err.find("index.html"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(server_.Password()), std::string::npos) << "the typed password showed: " << r.err;
}

// -v shows the dialogue and the statistics line; neither, nor an error,
// carries the password.
TEST_F(VftpWithProfiles, NoOutputEverShowsThePassword) {
    SaveProfiles(DataFolder() + "/FTPServers.ini", {Profile("Site", TPasvMode::Yes)});
    const std::string withPassword = Url(server_.User() + ":" + server_.Password());
    ASSERT_TRUE(WriteFile(local_.File("up.txt"), "text\n"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-v", "get", withPassword + "index.html"},
             {"-v", "put", "up.txt", withPassword},
             {"-v", "get", "@site/index.html", "copy.html"},
             {"-v", "get", withPassword + "missing"},
             {"-v", "ls", Url(server_.User() + ":" + server_.Password() + "x")},
             {"-v", "ls", "ftp://" + server_.User() + ":" + server_.Password() + "@127.0.0.1:99999/"},
             {"-v", "quote", withPassword, "PASS " + server_.Password()},
         }) {
        const Outcome r = Vftp(args);
        const std::string all = r.out + r.err;
        EXPECT_EQ(all.find(server_.Password()), std::string::npos) << args[1] << " " << args[2] << ":\n" << all;
    }
}

}  // namespace
