#pragma once
// What a TLS server's certificate shows to the person who must decide
// whether to trust it, and how it is recognised again.

#include <string>

struct x509_st;

struct TSslCertificateInfo {
    // "AB:CD:..." (upper-case hex of the SHA-256 of the whole certificate).
    std::string Sha256;
    // Base64 of the SHA-256 of the public key (SubjectPublicKeyInfo), the
    // form command-line users know as "sha256//...".
    std::string PublicKeySha256;
    std::string Subject;
    std::string Issuer;
    std::string NotBefore;  // "Dec  8 05:00:00 2026 GMT"
    std::string NotAfter;
    // Verified against the CA store and the server's name.
    bool Verified = false;
    // Why not: OpenSSL's text ("certificate has expired", ...); empty when
    // verified.
    std::string Reason;

    bool Empty() const { return Sha256.empty(); }
    // The certificate and verification outcome (VerifyResult is OpenSSL's
    // X509_V_* code).
    static TSslCertificateInfo From(x509_st* Certificate, long VerifyResult);
    // Whether Pins names this certificate: one or more of
    // "sha256//BASE64" (or bare BASE64) of the public key, or the hex
    // SHA-256 of the certificate (colons and letter case optional),
    // separated by ';' or ','.
    bool MatchesPin(const std::string& Pins) const;
};
