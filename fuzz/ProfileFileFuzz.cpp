// Reading the window's profile file, which anyone may have edited: the
// profiles it gives are read in bounded time, and each one survives being
// saved and read back unchanged.
//
// Input: the content of "FTPServers.ini".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzFolder.h"
#include "util/FTPServerObj.h"
#include "util/IniFile.h"
#include "util/ServerProfiles.h"

namespace {

bool SameProfile(const TFTPServer& a, const TFTPServer& b) {
    return a.Name == b.Name && a.Hostname == b.Hostname && a.Port == b.Port && a.Username == b.Username &&
           a.Password == b.Password && a.PASV == b.PASV && a.StartDir == b.StartDir && a.LocalStartDir == b.LocalStartDir &&
           a.Encryption == b.Encryption && a.UnknownEncryption == b.UnknownEncryption;
}

// A stored value is read back to at most MaxValueLength characters; an
// encoded password takes two per character after two of its own.
bool FitsTheFile(const TFTPServer& profile) {
    return profile.IsAnonymous() || 2 + 2 * profile.Password.size() <= TIniFile::MaxValueLength;
}

void CheckRoundTrip(const TFTPServer& profile) {
    const std::string name = FuzzFolder() + "/saved.ini";
    std::remove(name.c_str());
    TIniFile saved(name);
    TIniUpdate update(saved);
    profile.SaveToIni(&saved, ServerSection(1));
    update.Commit();
    TFTPServer again;
    again.LoadFromIni(&saved, ServerSection(1));
    FUZZ_CHECK(SameProfile(profile, again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string name = FuzzFolder() + "/FTPServers.ini";
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    const TIniFile ini(name);
    for (const auto& profile : ReadServerProfiles(ini)) {
        FUZZ_CHECK(!profile->Name.empty());
        if (FitsTheFile(*profile)) CheckRoundTrip(*profile);
    }
    return 0;
}
