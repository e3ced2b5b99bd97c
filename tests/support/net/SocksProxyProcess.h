#pragma once
// Real SOCKS 5 proxies on 127.0.0.1 for interoperability tests, started and
// stopped like the real FTP servers. A missing proxy binary makes Start()
// fail with a clear message.

#include <string>

#include "tests/support/FtpServerProcess.h"

// microsocks; with a user and password it demands user/password
// authentication, otherwise none.
class MicrosocksProxy : public FtpServerProcess {
public:
    MicrosocksProxy();
    MicrosocksProxy(const std::string& user, const std::string& password);

protected:
    std::vector<std::string> Prepare() override;

private:
    bool withAuth_;
};

// danted with a minimal configuration: no authentication, clients and
// targets on loopback only.
class DanteProxy : public FtpServerProcess {
public:
    DanteProxy();

protected:
    std::vector<std::string> Prepare() override;
};
