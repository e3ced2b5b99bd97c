// Saves the profile file over and over, for bench/crash.sh to kill at a
// random moment: the file must then be one of the two versions, whole.
//
//   profile_save FILE write-a|write-b|loop|check
//
// write-a and write-b save one version and end; loop saves them in turn
// until killed; check prints "old", "new" or "broken" for what the file
// holds (by content: each save encodes the passwords afresh).
#include <cstdio>
#include <string>

#include "util/FTPServerObj.h"
#include "util/IniFile.h"
#include "util/ServerProfiles.h"

namespace {

// Two versions that differ in every profile and in their count, so that a
// mix of both cannot pass for either.
TFTPServer Profile(int i, bool second) {
    TFTPServer server;
    server.Name = (second ? "new site " : "old site ") + std::to_string(i);
    server.Hostname = "ftp" + std::to_string(i) + (second ? ".new.example" : ".old.example");
    server.Username = "web";
    server.Password = second ? "second secret" : "first secret";
    server.StartDir = std::string(200, second ? 'b' : 'a');
    return server;
}

bool Holds(const std::string& file, bool second) {
    const TIniFile ini(file);
    const auto servers = ReadServerProfiles(ini);
    if (servers.size() != (second ? 40u : 25u)) return false;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        const TFTPServer expected = Profile(static_cast<int>(i) + 1, second);
        const TFTPServer& got = *servers[i];
        if (got.Name != expected.Name || got.Hostname != expected.Hostname || got.Password != expected.Password ||
            got.StartDir != expected.StartDir)
            return false;
    }
    return true;
}

void Save(const std::string& file, bool second) {
    TIniFile ini(file);
    TIniUpdate update(ini);
    const int count = second ? 40 : 25;
    ini.EraseSection("General");
    for (int i = 1; i <= 40; ++i) ini.EraseSection(ServerSection(i));
    ini.WriteInteger("General", "Count", count);
    for (int i = 1; i <= count; ++i) Profile(i, second).SaveToIni(&ini, ServerSection(i));
    update.Commit();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[2] : "";
    if (mode == "write-a" || mode == "write-b") {
        Save(argv[1], mode == "write-b");
        return 0;
    }
    if (mode == "check") {
        std::puts(Holds(argv[1], false) ? "old" : Holds(argv[1], true) ? "new" : "broken");
        return 0;
    }
    if (mode != "loop") {
        std::fprintf(stderr, "usage: profile_save FILE write-a|write-b|loop|check\n");
        return 2;
    }
    for (bool second = false;; second = !second) Save(argv[1], second);
}
