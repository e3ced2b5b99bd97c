#pragma once
// Certificates the user chose to trust always, one per server (host and
// port), kept in a file only its owner may read or write. A server whose
// certificate changed is not trusted until the user says so again.

#include <string>

class TCertificateTrust {
public:
    enum class Standing { Unknown, Trusted, Changed };

    explicit TCertificateTrust(std::string file) : file_(std::move(file)) {}

    // The file beside the window's profile file.
    static std::string DefaultFile();

    Standing Check(const std::string& host, const std::string& port, const std::string& sha256) const;
    // Replaces what was trusted for host:port; false when the file could
    // not be written. The file is (re)made with mode 0600.
    bool Remember(const std::string& host, const std::string& port, const std::string& sha256) const;

private:
    std::string file_;
};
