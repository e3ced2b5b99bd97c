#pragma once
// Command line of vftp: options, one command, its arguments.

#include <optional>
#include <string>
#include <vector>

struct VftpOptions {
    bool passive = true;
    bool passiveGiven = false;  // -p or -a given: overrides a profile's choice
    bool binary = true;
    bool resume = false;
    int timeoutSeconds = 30;
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool netrc = false;  // -n: the password from ~/.netrc even when the URL has one
    // --tls: explicit TLS required; --tls-try: explicit TLS when offered.
    bool tls = false;
    bool tlsTry = false;
    bool insecure = false;   // -k: any certificate
    std::string pinSha256;   // --pin-sha256: exactly the certificate(s) named
    std::string caFile;      // --cacert: more trusted authorities
    std::string socks5;      // --socks5 HOST[:PORT]
    std::string socks5User;  // --socks5-user USER[:PASSWORD]
    bool preserve = false;   // --preserve: file times kept across transfers
    std::string command;
    std::vector<std::string> arguments;
};

// Nothing on a usage error; `error` then holds the reason.
std::optional<VftpOptions> ParseVftpOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kVftpUsage;
