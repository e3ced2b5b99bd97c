#pragma once
// Where the windowed program keeps its files, worked out without Qt for vftp,
// which reads them and never writes: the per-user data folder holding
// "FTPServers.ini", and the settings files, one of whose values may move that
// file elsewhere. The rules are those the window's libraries follow on Linux;
// a test holds both side by side.

#include <optional>
#include <string>
#include <vector>

// "<data home>/Orvan Software/Velliant FTP/", data home being $XDG_DATA_HOME
// when set, else $HOME/.local/share. Nothing is created.
std::string WindowDataFolder();

// The settings files, the one that wins first: in the config home
// ($XDG_CONFIG_HOME, else $HOME/.config) "Orvan Software/Velliant FTP.conf",
// then "Orvan Software.conf"; then the first of these under each folder of
// $XDG_CONFIG_DIRS (default /etc/xdg), then the second under each.
std::vector<std::string> WindowSettingsFiles();

// The value `key` of `group` in settings-file text, unescaped as the window's
// settings reader does: quoted parts, backslash escapes, trailing blanks
// dropped, ';' starting a comment, "%20" in group names, the last of repeated
// keys winning. A list (a comma outside quotes) reads as empty text, as the
// window reads it. Nothing when the key is absent or holds no text.
std::optional<std::string> SettingsTextValue(const std::string& text, const std::string& group, const std::string& key);

// The value in the first of WindowSettingsFiles() that holds it.
std::optional<std::string> ReadWindowSetting(const std::string& group, const std::string& key);

// The profile file the window uses: the setting "INIFilename" of the group
// "FTP Servers" when present, else WindowDataFolder() + "FTPServers.ini".
std::string WindowServerIniFile();
