#pragma once
// ~/.netrc, where FTP clients look up a user's log-in for a host. Entries
// are "machine HOST" or "default" (any other host), each followed by
// "login USER" and "password SECRET"; "account VALUE" is skipped, and so is
// "macdef NAME" with its lines up to the next empty line. Tokens are
// separated by blanks and line ends; one in double quotes may hold blanks,
// with \" and \\ inside. A '#' where a keyword is expected starts a comment
// to the end of the line; a value may begin with '#'.

#include <optional>
#include <string>
#include <vector>

struct NetrcEntry {
    std::string machine;  // empty for the default entry
    std::optional<std::string> login;
    std::optional<std::string> password;
};

std::vector<NetrcEntry> ParseNetrc(const std::string& text);

// The first entry for `host` (ASCII letters compared ignoring case) whose
// login equals `login` or that names none; any login fits when `login` is
// not given. Else the default entry under the same condition. Null when no
// entry fits.
const NetrcEntry* FindNetrcEntry(const std::vector<NetrcEntry>& entries, const std::string& host,
                                 const std::optional<std::string>& login);

enum class NetrcStatus { Missing, Loaded, Refused };

struct NetrcFile {
    NetrcStatus status = NetrcStatus::Missing;
    std::vector<NetrcEntry> entries;
    std::string error;  // why a file was refused, for the user
};

// Reads the file. It is refused, with a message that says how to mend it,
// when group or others may read or change it (as other FTP clients refuse
// it), when another user owns it, or when it is no regular readable file.
NetrcFile LoadNetrc(const std::string& path);

// $HOME/.netrc.
std::string DefaultNetrcPath();
