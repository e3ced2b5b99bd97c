// The file of always-trusted certificates, which lies beside the profile
// file and may have been edited: it is read in bounded time, a certificate
// remembered is trusted afterwards, and the other servers' entries stay.
//
// Input: the content of "TrustedCertificates.txt".
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzFolder.h"
#include "util/CertificateTrust.h"

namespace {

// What the reader takes from the file: lines with two words at least.
int EntryCount(const std::string& file) {
    std::ifstream in(file);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string server;
        std::string fingerprint;
        if (words >> server >> fingerprint) ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = FuzzFolder() + "/TrustedCertificates.txt";
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    const TCertificateTrust trust(file);
    (void)trust.Check("127.0.0.1", "21", "AB:CD");
    const bool known = trust.Check("fuzz.example", "990", "00:11") != TCertificateTrust::Standing::Unknown;
    const int before = EntryCount(file);
    FUZZ_CHECK(trust.Remember("fuzz.example", "990", "00:11"));
    FUZZ_CHECK(trust.Check("fuzz.example", "990", "00:11") == TCertificateTrust::Standing::Trusted);
    FUZZ_CHECK(trust.Check("fuzz.example", "990", "00:12") == TCertificateTrust::Standing::Changed);
    // Remembering replaces the server's entries (one or more) by one.
    FUZZ_CHECK(known ? EntryCount(file) <= before : EntryCount(file) == before + 1);
    return 0;
}
