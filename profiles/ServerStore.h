#pragma once
// The server profiles of the main window and their file "FTPServers.ini":
// loading at start-up, saving at shut-down, and the numbered profile entries
// of the Servers menu. The main window owns one store.

#include <functional>
#include <string>

#include "profiles/ServerList.h"

class QMenu;
class TIniFile;
enum class TKeyringSecret;

class TServerStore {
public:
    // Settings key and value that relocate the profile file.
    static constexpr char ServersKey[] = "Software\\Orvan Software\\Velliant FTP\\FTP Servers\\";
    static constexpr char IniFilenameValue[] = "INIFilename";
    // Menu entries with a tag (QAction data) of at least this are profiles.
    static constexpr int FirstServerTag = 100;

    // `defaultIniFile` is the program folder followed by "FTPServers.ini";
    // empty when that folder cannot be used. Without a file (no default and
    // no relocation) the profiles live in memory only: nothing is read or
    // written, never a file of that name in the current folder.
    explicit TServerStore(std::string defaultIniFile);

    TServerList ServerList;
    std::string DefaultServerIniFile;
    std::string ServerIniFile;
    // Start-up values of the profile file's "General" section.
    bool WaitMode = true;
    int StartTimeout = 30;
    // The profiles' passwords, their proxy passwords too, go to the desktop
    // keyring (off by default): the file's "General" PasswordsInKeyring. A password the keyring does
    // not take stays in the file; KeyringProblem then says why (empty while
    // every password went there).
    bool PasswordsInKeyring = false;
    std::string KeyringProblem;

    // Reads the file location from the settings, writes the "Temp" marker and
    // adds the file's profiles to ServerList. Raises EIniFileException
    // ("Unable to write to <file>") when the marker cannot be written; no
    // profile is loaded then.
    void LoadServers();
    // Writes ServerList back (Count, one section per profile in list order)
    // and erases sections left over from a longer list. Raises
    // EIniFileException when the file cannot be written. Does nothing after
    // a failed LoadServers: writing the list over profiles that could not be
    // loaded (say the disk was full at start-up) would erase them; and
    // nothing without a file.
    void SaveServers();
    bool LoadFailed() const { return loadFailed_; }
    // Switches PasswordsInKeyring and moves the passwords: into the keyring
    // (the file then holds none), or back into the file (the keyring's
    // entries are removed). Saves the file; raises as SaveServers does.
    void MovePasswords(bool toKeyring);
    bool InMemoryOnly() const { return ServerIniFile.empty(); }
    // Frees every profile.
    void ClearServers() { ServerList.Clear(); }

    // Removes the menu's profile entries and clears every MenuTag.
    void ClearServerMenu(QMenu* menu);
    // Rebuilds the profile entries at the end of the menu: "n. Name" with the
    // tag 100 + n. Triggering one calls `connect` with its tag.
    void FillServerMenu(QMenu* menu, const std::function<void(int tag)>& connect);

    // The profile whose MenuTag equals `tag`, or null.
    TFTPServer* ServerWithTag(int tag) const;

private:
    void SaveProfile(TIniFile& ini, const TFTPServer& profile, const std::string& section);
    // False, with KeyringProblem set when still empty, when the keyring
    // refused the password.
    bool StoreInKeyring(const TFTPServer& profile, TKeyringSecret secret);

    bool loadFailed_ = false;
};
