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
    // mirror, multi-file get and put, rm -r
    bool reverse = false;               // -R: mirror a local tree up to the server
    bool recursive = false;             // -r: rm a whole remote tree
    int parallel = 1;                   // --parallel N: connections at once
    bool deleteExtra = false;           // --delete: remove what the source no longer has
    bool dryRun = false;                // --dry-run: print the plan, change nothing
    bool onlyNewer = false;             // --only-newer: send only files newer than the target's
    bool sizeOnly = false;              // --size-only: compare sizes only
    std::vector<std::string> excludes;  // -x PATTERN, repeated
    std::string command;
    std::vector<std::string> arguments;
};

// Nothing on a usage error; `error` then holds the reason.
std::optional<VftpOptions> ParseVftpOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kVftpUsage;
