#include "tools/vftp/SocksProxySpec.h"

#include <algorithm>
#include <cctype>

#include "tools/vftp/FtpUrl.h"

namespace {

bool StartsWithLower(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

// Whether the authority "USER@HOST:PORT" / "[::1]:PORT" names a port.
bool NamesPort(const std::string& authority) {
    const std::string host = authority.substr(authority.rfind('@') == std::string::npos ? 0 : authority.rfind('@') + 1);
    const auto bracket = host.rfind(']');
    return host.find(':', bracket == std::string::npos ? 0 : bracket) != std::string::npos;
}

}  // namespace

std::optional<SocksProxySpec> ParseSocksProxy(const std::string& text, std::string& error) {
    SocksProxySpec proxy;
    std::string authority = text;
    if (StartsWithLower(text, "socks5h://")) {
        authority = text.substr(10);
    } else if (StartsWithLower(text, "socks5://")) {
        authority = text.substr(9);
        proxy.localLookup = true;
    } else if (text.find("://") != std::string::npos) {
        error = "not a SOCKS 5 proxy (socks5:// or socks5h://): " + MaskedUrl(text);
        return std::nullopt;
    }
    if (!authority.empty() && authority.back() == '/') authority.pop_back();
    // The URL parser knows user, password, brackets and ports already.
    const auto url = ParseFtpUrl("ftp://" + authority + "/", error);
    if (!url) {
        error = "invalid proxy '" + MaskedUrl(text) + "': " + error;
        return std::nullopt;
    }
    proxy.host = url->host;
    if (NamesPort(authority)) proxy.port = url->port;
    if (url->hasUser) {
        proxy.user = url->user;
        proxy.password = url->password;
    }
    return proxy;
}

void ApplySocksUser(const std::string& text, SocksProxySpec& proxy) {
    const auto colon = text.find(':');
    proxy.user = text.substr(0, colon);
    proxy.password = colon == std::string::npos ? "" : text.substr(colon + 1);
}
