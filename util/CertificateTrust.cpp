// One line per server: "HOST:PORT SHA256", the fingerprint in the form the
// certificate question shows it.
#include "util/CertificateTrust.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "util/MiscUtils.h"
#include "util/WindowDataFiles.h"

namespace {

std::vector<std::pair<std::string, std::string>> ReadEntries(const std::string& file) {
    std::vector<std::pair<std::string, std::string>> entries;
    constexpr const char* kBlanks = " \t\r\v\f";
    for (const std::string& line : SplitText(ReadWholeFile(file), '\n')) {
        const std::size_t serverAt = line.find_first_not_of(kBlanks);
        const std::size_t serverEnd = line.find_first_of(kBlanks, serverAt);
        const std::size_t printAt = line.find_first_not_of(kBlanks, serverEnd);
        if (printAt == std::string::npos) continue;
        const std::size_t printEnd = line.find_first_of(kBlanks, printAt);
        entries.emplace_back(line.substr(serverAt, serverEnd - serverAt), line.substr(printAt, printEnd - printAt));
    }
    return entries;
}

std::string ServerKey(const std::string& host, const std::string& port) { return host + ":" + port; }

}  // namespace

std::string TCertificateTrust::DefaultFile() {
    const std::string profiles = WindowServerIniFile();
    const auto slash = profiles.rfind('/');
    return (slash == std::string::npos ? std::string(".") : profiles.substr(0, slash)) + "/TrustedCertificates.txt";
}

TCertificateTrust::Standing TCertificateTrust::Check(const std::string& host, const std::string& port,
                                                     const std::string& sha256) const {
    const std::string key = ServerKey(host, port);
    for (const auto& [server, fingerprint] : ReadEntries(file_))
        if (server == key) return fingerprint == sha256 ? Standing::Trusted : Standing::Changed;
    return Standing::Unknown;
}

// Written to a private temporary file first and renamed over the old one, so
// that the file is never readable by others, not even for a moment, and a
// failed write leaves the old list whole.
bool TCertificateTrust::Remember(const std::string& host, const std::string& port, const std::string& sha256) const {
    const std::string key = ServerKey(host, port);
    std::string text;
    for (const auto& [server, fingerprint] : ReadEntries(file_))
        if (server != key) text += server + " " + fingerprint + "\n";
    text += key + " " + sha256 + "\n";
    const std::string temporary = file_ + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    (void)::fchmod(fd, 0600);
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
        (void)::unlink(temporary.c_str());
        return false;
    }
    return true;
}
