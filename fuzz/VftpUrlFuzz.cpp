// vftp's URL: parsing never fails silently, and the form shown to the user
// (MaskedUrl) names the same server, user and path without the password.
//
// Input: the URL as typed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "tools/vftp/FtpUrl.h"

namespace {

void CheckMasked(const std::string& text, const FtpUrl& url) {
    std::string error;
    const auto shown = ParseFtpUrl(MaskedUrl(text), error);
    FUZZ_CHECK(shown.has_value());
    FUZZ_CHECK(shown->host == url.host && shown->port == url.port && shown->path == url.path);
    FUZZ_CHECK(shown->hasUser == url.hasUser && shown->user == url.user);
    FUZZ_CHECK(shown->hasPassword == url.hasPassword);
    FUZZ_CHECK(!url.hasPassword || shown->password == "*****");
}

void CheckPathParts(const FtpUrl& url) {
    const std::string folder = url.Folder();
    const std::string name = url.Name();
    FUZZ_CHECK(name.find('/') == std::string::npos);
    FUZZ_CHECK(url.path.size() >= name.size() && url.path.compare(url.path.size() - name.size(), name.size(), name) == 0);
    if (folder.empty())
        FUZZ_CHECK(name == url.path);
    else  // "//x" has the folder "/": the folder is where the path starts
        FUZZ_CHECK(url.path.rfind(folder, 0) == 0 && url.path[url.path.size() - name.size() - 1] == '/');
    FUZZ_CHECK(url.EndsWithSlash() == name.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto url = ParseFtpUrl(text, error);
    FUZZ_CHECK(url.has_value() == error.empty());
    if (!url) {
        (void)MaskedUrl(text);
        return 0;
    }
    FUZZ_CHECK(!url->host.empty() && !url->user.empty() && ValidFtpPort(url->port));
    CheckMasked(text, *url);
    CheckPathParts(*url);
    std::string decoded;
    if (PercentDecode(text, decoded)) FUZZ_CHECK(decoded.size() <= text.size());
    return 0;
}
