#pragma once
// Certificates for TLS test peers, made once per test program with the
// openssl command in a private folder: a test authority and, signed by it,
// "good" (for 127.0.0.1 and localhost), "wrongname" (for wrong.example
// only) and "expired" (for 127.0.0.1, expired yesterday); and "selfsigned"
// (for 127.0.0.1, signed by itself).

#include <string>

#include "tests/support/TempDir.h"

class TestCertificates {
public:
    // The program's one set, made on first use; Error() tells why not.
    static const TestCertificates& Shared();

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    std::string CaFile() const { return dir_.File("ca.pem"); }
    std::string Cert(const std::string& name) const { return dir_.File(name + ".pem"); }
    std::string Key(const std::string& name) const { return dir_.File(name + ".key"); }
    // "sha256//BASE64" of the certificate's public key.
    std::string PublicKeyPin(const std::string& name) const;
    // "AB:CD:..." SHA-256 of the whole certificate.
    std::string Fingerprint(const std::string& name) const;

private:
    TestCertificates();
    bool Run(const std::string& command);
    bool MakeSigned(const std::string& name, const std::string& altNames, int days);
    std::string Output(const std::string& command) const;

    TempDir dir_;
    std::string error_;
};
