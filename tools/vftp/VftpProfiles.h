#pragma once
// The window's saved server profiles as vftp sees them: read from the same
// "FTPServers.ini" (found by the same rules, relocation included), never
// written. Names match ignoring case, as in the window, and of two sections
// whose names differ only in case the later one is the profile, again as in
// the window.

#include <memory>
#include <string>
#include <vector>

#include "util/FTPServerObj.h"

class VftpProfiles {
public:
    // Reads `iniFile`; a missing or unreadable file holds no profiles.
    explicit VftpProfiles(std::string iniFile);

    const std::string& IniFile() const { return iniFile_; }
    // The profile named `name` ignoring case, or null.
    const TFTPServer* Find(const std::string& name) const;
    // The names as the window lists them: one per profile, sorted ignoring
    // case, each spelt as its first section spells it.
    std::vector<std::string> Names() const;

    // Equal ignoring case: letters beyond ASCII too, where the C library's
    // UTF-8 locale knows their case. Bytes that are not UTF-8 compare as
    // they are.
    static bool SameName(const std::string& a, const std::string& b);
    static bool NameLess(const std::string& a, const std::string& b);

private:
    std::string iniFile_;
    std::vector<std::unique_ptr<TFTPServer>> profiles_;
};
