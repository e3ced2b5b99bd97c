#pragma once
// Where vftp finds its SOCKS 5 proxy: --socks5 HOST[:PORT] (the proxy looks
// the server's name up), or ALL_PROXY in the common form
// socks5h://[USER[:PASSWORD]@]HOST[:PORT] (the proxy looks names up) or
// socks5://... (names are looked up here). Port 1080 unless given.

#include <optional>
#include <string>

struct SocksProxySpec {
    std::string host;
    std::string port = "1080";
    std::string user;
    std::string password;
    bool localLookup = false;
};

// Nothing when the text is no such proxy; `error` then says why.
std::optional<SocksProxySpec> ParseSocksProxy(const std::string& text, std::string& error);
// "USER[:PASSWORD]" of --socks5-user into the proxy settings.
void ApplySocksUser(const std::string& text, SocksProxySpec& proxy);
