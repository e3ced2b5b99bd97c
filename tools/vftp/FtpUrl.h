#pragma once
// ftp://[USER[:PASSWORD]@]HOST[:PORT]/PATH, percent-encoded; ftps:// is the
// same over implicit TLS. As with other
// FTP command-line clients, PATH is relative to the folder the server puts
// the user in after log-in; a leading "%2F" makes it absolute.

#include <optional>
#include <string>

struct FtpUrl {
    std::string user = "anonymous";
    std::string password = "vftp@";
    bool hasUser = false;      // the URL named a user ...
    bool hasPassword = false;  // ... and a password, possibly empty ("user:@")
    std::string host;
    std::string port = "21";
    std::string path;          // decoded, without the slash that ends the host part
    bool implicitTls = false;  // ftps://: TLS from the first byte, port 990 by default

    bool EndsWithSlash() const { return path.empty() || path.back() == '/'; }
    // "a/b/c.txt" -> folder "a/b", name "c.txt"; "c.txt" -> "", "c.txt";
    // "a/b/" -> "a/b", "". A folder "/" stays "/".
    std::string Folder() const;
    std::string Name() const;
};

// Nothing when the text is not such a URL; `error` then says why.
std::optional<FtpUrl> ParseFtpUrl(const std::string& text, std::string& error);

// The URL as it may be shown: a password in it becomes "*****".
std::string MaskedUrl(const std::string& text);

// A decimal port from 1 to 65535.
bool ValidFtpPort(const std::string& port);

// Decodes %XX escapes; false for a malformed escape.
bool PercentDecode(const std::string& text, std::string& out);
