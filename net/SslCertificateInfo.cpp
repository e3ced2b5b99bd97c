// Fingerprints, names and dates of a peer certificate, and pin matching.
#include "net/SslCertificateInfo.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>

#include "net/OpenSsl.h"

namespace {

std::string Hex(const unsigned char* Bytes, unsigned Count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned i = 0; i < Count; ++i) {
        if (i > 0) text += ':';
        text += digits[Bytes[i] >> 4];
        text += digits[Bytes[i] & 0x0F];
    }
    return text;
}

std::string Base64(const unsigned char* Bytes, int Count) {
    std::string text(static_cast<std::size_t>(4 * ((Count + 2) / 3)) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), Bytes, Count);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

std::string BioText(const std::function<void(BIO*)>& Print) {
    std::unique_ptr<BIO, decltype(BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);  // BIO_free is a pointer here
    if (!bio) return {};
    Print(bio.get());
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

std::string NameText(const X509_NAME* Name) {
    return BioText([Name](BIO* bio) { (void)X509_NAME_print_ex(bio, Name, 0, XN_FLAG_RFC2253); });
}

std::string TimeText(const ASN1_TIME* Time) {
    return BioText([Time](BIO* bio) { (void)ASN1_TIME_print(bio, Time); });
}

std::string PublicKeyPin(X509* Certificate) {
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(X509_get0_pubkey(Certificate), &der);
    if (length <= 0) return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    const bool ok = EVP_Digest(der, static_cast<std::size_t>(length), digest, &size, EVP_sha256(), nullptr) == 1;
    OPENSSL_free(der);
    return ok ? Base64(digest, static_cast<int>(size)) : std::string();
}

std::string Trimmed(std::string Text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    Text.erase(Text.begin(), std::find_if_not(Text.begin(), Text.end(), blank));
    Text.erase(std::find_if_not(Text.rbegin(), Text.rend(), blank).base(), Text.end());
    return Text;
}

// Hex digits only, upper case; empty when anything else but ':' appears.
std::string HexDigits(const std::string& Text) {
    std::string digits;
    for (const char c : Text) {
        if (c == ':') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return digits;
}

}  // namespace

TSslCertificateInfo TSslCertificateInfo::From(x509_st* Certificate, long VerifyResult) {
    TSslCertificateInfo info;
    if (Certificate == nullptr) {
        info.Reason = "no certificate";
        return info;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    if (X509_digest(Certificate, EVP_sha256(), digest, &size) == 1) info.Sha256 = Hex(digest, size);
    info.PublicKeySha256 = PublicKeyPin(Certificate);
    info.Subject = NameText(X509_get_subject_name(Certificate));
    info.Issuer = NameText(X509_get_issuer_name(Certificate));
    info.NotBefore = TimeText(X509_get0_notBefore(Certificate));
    info.NotAfter = TimeText(X509_get0_notAfter(Certificate));
    info.Verified = VerifyResult == X509_V_OK;
    if (!info.Verified) info.Reason = X509_verify_cert_error_string(VerifyResult);
    return info;
}

bool TSslCertificateInfo::MatchesPin(const std::string& Pins) const {
    if (Empty()) return false;
    const std::string certificateHex = HexDigits(Sha256);
    std::size_t start = 0;
    while (start <= Pins.size()) {
        const std::size_t end = std::min(Pins.find_first_of(";,", start), Pins.size());
        std::string pin = Trimmed(Pins.substr(start, end - start));
        start = end + 1;
        if (pin.rfind("sha256//", 0) == 0) pin.erase(0, 8);
        if (pin.empty()) continue;
        if (pin == PublicKeySha256) return true;
        const std::string hex = HexDigits(pin);
        if (!hex.empty() && hex == certificateHex) return true;
    }
    return false;
}
