#include "tests/support/net/SocksProxyProcess.h"

MicrosocksProxy::MicrosocksProxy() : FtpServerProcess("microsocks", "", "", ""), withAuth_(false) {}

MicrosocksProxy::MicrosocksProxy(const std::string& user, const std::string& password)
    : FtpServerProcess("microsocks", user, password, password + "x"), withAuth_(true) {}

std::vector<std::string> MicrosocksProxy::Prepare() {
    std::vector<std::string> command = {"/usr/bin/microsocks", "-i", "127.0.0.1", "-p", std::to_string(Port())};
    if (withAuth_) command.insert(command.end(), {"-u", User(), "-P", Password()});
    return command;
}

DanteProxy::DanteProxy() : FtpServerProcess("danted", "", "", "") {}

std::vector<std::string> DanteProxy::Prepare() {
    const std::string config = Work().File("danted.conf");
    const std::string text = "logoutput: " + Work().File("danted.log") +
                             "\n"
                             "internal: 127.0.0.1 port = " +
                             std::to_string(Port()) +
                             "\n"
                             "external: 127.0.0.1\n"
                             "clientmethod: none\n"
                             "socksmethod: none\n"
                             "user.privileged: root\n"
                             "user.unprivileged: nobody\n"
                             "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                             "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 command: connect }\n";
    (void)WriteFile(config, text);
    return {"/usr/sbin/danted", "-f", config, "-p", Work().File("danted.pid"), "-N", "1"};
}
