#pragma once
// ftp://[USER[:PASSWORD]@]HOST[:PORT]/PATH, percent-encoded. As with other
// FTP command-line clients, PATH is relative to the folder the server puts
// the user in after log-in; a leading "%2F" makes it absolute.

#include <optional>
#include <string>

struct FtpUrl {
    std::string user = "anonymous";
    std::string password = "vftp@";
    std::string host;
    std::string port = "21";
    std::string path;  // decoded, without the slash that ends the host part

    bool EndsWithSlash() const { return path.empty() || path.back() == '/'; }
    // "a/b/c.txt" -> folder "a/b", name "c.txt"; "c.txt" -> "", "c.txt";
    // "a/b/" -> "a/b", "". A folder "/" stays "/".
    std::string Folder() const;
    std::string Name() const;
};

// Nothing when the text is not such a URL; `error` then says why.
std::optional<FtpUrl> ParseFtpUrl(const std::string& text, std::string& error);

// Decodes %XX escapes; false for a malformed escape.
bool PercentDecode(const std::string& text, std::string& out);
