#pragma once
// Reading the server profiles of "FTPServers.ini": the section "General" and
// one section "Server<n>" per profile, n counting from 1. The window's store
// and vftp both read profiles through these functions; only the window ever
// writes the file.

#include <memory>
#include <string>
#include <vector>

#include "util/FTPServerObj.h"

class TIniFile;

// "Server" followed by the 1-based position in decimal.
std::string ServerSection(int position);

// The positions of the "Server<n>" sections present in the file, in file
// order. "Count" comes from a file anyone can edit: loading and saving walk
// these instead of a possibly huge count of absent sections.
std::vector<int> ServerSectionNumbers(const TIniFile& ini);

// "PasswordsInKeyring" in the section "General": the passwords of the
// profiles live in the desktop keyring (util/Keyring.h), and a profile whose
// password went there holds none in the file.
inline constexpr char PasswordsInKeyringKey[] = "PasswordsInKeyring";
bool PasswordsInKeyring(const TIniFile& ini);

// The profiles of the sections Server1 up to "Count" (default 0) that exist
// and hold a name, in section order. Reads only. With PasswordsInKeyring, a
// profile without a password (or proxy password) in the file takes the
// keyring's.
std::vector<std::unique_ptr<TFTPServer>> ReadServerProfiles(const TIniFile& ini);
