#include "tools/vftp/FtpUrl.h"

#include <cctype>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Host and port of "HOST[:PORT]" or "[IPV6]:PORT" (RFC 3986 brackets, which
// the host loses); false when either is malformed.
bool SplitHostPort(const std::string& text, FtpUrl& url, std::string& error) {
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || (close + 1 < text.size() && text[close + 1] != ':')) {
            error = "invalid IPv6 address in brackets";
            return false;
        }
        url.host = text.substr(1, close - 1);
        if (close + 1 < text.size()) url.port = text.substr(close + 2);
    } else {
        const auto colon = text.rfind(':');
        url.host = colon == std::string::npos ? text : text.substr(0, colon);
        if (colon != std::string::npos) url.port = text.substr(colon + 1);
    }
    if (url.host.empty()) {
        error = "no host name";
        return false;
    }
    if (!ValidFtpPort(url.port)) {
        error = "invalid port '" + url.port + "'";
        return false;
    }
    return true;
}

bool SplitUserInfo(const std::string& text, FtpUrl& url, std::string& error) {
    const auto colon = text.find(':');
    const std::string user = text.substr(0, colon);
    if (!PercentDecode(user, url.user) || url.user.empty()) {
        error = "invalid user name";
        return false;
    }
    url.hasUser = true;
    url.hasPassword = colon != std::string::npos;
    url.password.clear();
    if (url.hasPassword && !PercentDecode(text.substr(colon + 1), url.password)) {
        error = "invalid password encoding";
        return false;
    }
    return true;
}

}  // namespace

bool ValidFtpPort(const std::string& port) {
    if (port.empty() || port.size() > 5) return false;
    for (char c : port)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const long value = std::stol(port);
    return value > 0 && value < 65536;
}

std::string MaskedUrl(const std::string& text) {
    const auto start = text.find("://");
    if (start == std::string::npos) return text;
    const auto authorityEnd = text.find('/', start + 3);
    const auto at = text.rfind('@', authorityEnd == std::string::npos ? std::string::npos : authorityEnd);
    const auto colon = text.find(':', start + 3);
    if (at == std::string::npos || at < start) {
        // "ftp://bob:pa/ss@host/": a '/' in the password ended the authority
        // early, leaving "pa" where the port goes; the rest up to the last
        // '@' is the password's too. A real port there is left alone.
        const auto lastAt = text.rfind('@');
        if (authorityEnd == std::string::npos || colon >= authorityEnd || lastAt == std::string::npos || lastAt < authorityEnd)
            return text;
        const auto portColon = text.rfind(':', authorityEnd);
        if (ValidFtpPort(text.substr(portColon + 1, authorityEnd - portColon - 1))) return text;
        return text.substr(0, colon + 1) + "*****" + text.substr(lastAt);
    }
    if (colon == std::string::npos || colon > at) return text;
    return text.substr(0, colon + 1) + "*****" + text.substr(at);
}

bool PercentDecode(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::optional<FtpUrl> ParseFtpUrl(const std::string& text, std::string& error) {
    const auto hasScheme = [&text](const std::string& scheme) {
        return text.size() >= scheme.size() && std::equal(scheme.begin(), scheme.end(), text.begin(), [](char a, char b) {
                   return a == std::tolower(static_cast<unsigned char>(b));
               });
    };
    const bool implicitTls = hasScheme("ftps://");
    if (!implicitTls && !hasScheme("ftp://")) {
        error = "not an ftp:// or ftps:// URL";
        return std::nullopt;
    }
    const std::string rest = text.substr(implicitTls ? 7 : 6);
    const auto slash = rest.find('/');
    const std::string authority = rest.substr(0, slash);
    const std::string encodedPath = slash == std::string::npos ? "" : rest.substr(slash + 1);

    FtpUrl url;
    url.implicitTls = implicitTls;
    if (implicitTls) url.port = "990";
    const auto at = authority.rfind('@');
    const auto colon = authority.rfind(':');
    if (at == std::string::npos && colon != std::string::npos && !ValidFtpPort(authority.substr(colon + 1)) &&
        encodedPath.find('@') != std::string::npos) {
        // "bob:pa/ss@host": the port would be a piece of the password, and
        // the error must not show it.
        error = "a '/' in a user name or password must be written as %2F";
        return std::nullopt;
    }
    if (at != std::string::npos && !SplitUserInfo(authority.substr(0, at), url, error)) return std::nullopt;
    if (!SplitHostPort(at == std::string::npos ? authority : authority.substr(at + 1), url, error)) return std::nullopt;
    if (!PercentDecode(encodedPath, url.path)) {
        error = "invalid percent encoding in the path";
        return std::nullopt;
    }
    return url;
}

std::string FtpUrl::Folder() const {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string FtpUrl::Name() const {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
