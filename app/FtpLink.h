#pragma once
// An ftp:// or ftps:// link handed to the program on its command line (the
// desktop hands over such links through the program's desktop entry):
// ftp://[USER[:PASSWORD]@]HOST[:PORT][/PATH], percent-encoded. As for vftp,
// PATH is relative to the folder the server puts the user in; a leading
// "%2F" makes it absolute. ftps:// is FTP over TLS from the first byte.

#include <optional>
#include <string>

#include "util/FTPServerObj.h"

class TFtpLink {
public:
    // Host, port, user, password, start folder and encryption of the link;
    // the profile's Name is the host.
    TFTPServer Profile;
    // The link carried a password (possibly empty), or needs none (anonymous).
    bool HasPassword = false;

    // Nothing when the text is not such a link; `error` then says why.
    static std::optional<TFtpLink> Parse(const std::string& text, std::string& error);
    // "ftp://user@host:port", never with the password: for questions.
    std::string Address() const;
    // The profile is for the same server and user: host (any letter case),
    // port and user name.
    bool SameServerAndUser(const TFTPServer& profile) const;
};
