#include "tests/support/TestCertificates.h"

#include <cstdio>
#include <cstdlib>

namespace {
const char* const kKey = "-newkey rsa:2048 -nodes";
}  // namespace

const TestCertificates& TestCertificates::Shared() {
    static const TestCertificates certificates;
    return certificates;
}

TestCertificates::TestCertificates() {
    const std::string d = dir_.Path() + "/";
    if (!Run(std::string("openssl req -x509 ") + kKey + " -keyout " + d + "ca.key -out " + d +
             "ca.pem -days 30 -subj '/CN=Velliant Test CA'"))
        return;
    if (!MakeSigned("good", "IP:127.0.0.1,DNS:localhost", 30) || !MakeSigned("wrongname", "DNS:wrong.example", 30) ||
        !MakeSigned("expired", "IP:127.0.0.1", -1))
        return;
    (void)Run(std::string("openssl req -x509 ") + kKey + " -keyout " + d + "selfsigned.key -out " + d +
              "selfsigned.pem -days 30 -subj '/CN=selfsigned' -addext subjectAltName=IP:127.0.0.1");
}

bool TestCertificates::MakeSigned(const std::string& name, const std::string& altNames, int days) {
    const std::string d = dir_.Path() + "/";
    if (!WriteFile(d + name + ".ext", "subjectAltName=" + altNames + "\n")) {
        error_ = "cannot write " + d + name + ".ext";
        return false;
    }
    return Run(std::string("openssl req ") + kKey + " -keyout " + d + name + ".key -out " + d + name + ".csr -subj '/CN=" + name +
               "'") &&
           Run("openssl x509 -req -in " + d + name + ".csr -CA " + d + "ca.pem -CAkey " + d + "ca.key -CAcreateserial -out " + d +
               name + ".pem -days " + std::to_string(days) + " -extfile " + d + name + ".ext");
}

bool TestCertificates::Run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) == 0) return true;
    error_ = "failed (is the openssl command installed?): " + command;
    return false;
}

std::string TestCertificates::Output(const std::string& command) const {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char block[512];
        std::size_t count = 0;
        while ((count = std::fread(block, 1, sizeof block, pipe)) > 0) text.append(block, count);
        (void)::pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string TestCertificates::PublicKeyPin(const std::string& name) const {
    return "sha256//" + Output("openssl x509 -in " + Cert(name) +
                               " -pubkey -noout | openssl pkey -pubin -outform der | openssl dgst -sha256 -binary | openssl "
                               "enc -base64");
}

std::string TestCertificates::Fingerprint(const std::string& name) const {
    const std::string line = Output("openssl x509 -in " + Cert(name) + " -noout -fingerprint -sha256");
    const auto equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}
