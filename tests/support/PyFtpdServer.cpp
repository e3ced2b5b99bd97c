#include "tests/support/PyFtpdServer.h"

#include <unistd.h>

namespace {

// The Debian interpreter is the one that sees the Debian python3-pyftpdlib
// package; a python3 earlier on PATH may be a private installation without it.
std::string Interpreter() {
    if (::access("/usr/bin/python3", X_OK) == 0) return "/usr/bin/python3";
    return "python3";
}

const char* const kScript = R"(import sys
try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError as error:
    sys.exit("pyftpdlib is not installed (Debian package python3-pyftpdlib): %s" % error)
host, port = sys.argv[1].rsplit(":", 1)
port, root, user, password = int(port), sys.argv[2], sys.argv[3], sys.argv[4]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
Base = FTPHandler
if len(sys.argv) > 6:
    try:
        from pyftpdlib.handlers import TLS_FTPHandler as Base
    except ImportError as error:
        sys.exit("pyftpdlib has no TLS (Debian package python3-openssl): %s" % error)
class Handler(Base):
    pass
if len(sys.argv) > 6:
    Handler.certfile, Handler.keyfile = sys.argv[5], sys.argv[6]
    Handler.tls_control_required = True
    Handler.tls_data_required = True
Handler.authorizer = authorizer
Handler.permit_foreign_addresses = False
Handler.auth_failed_timeout = 0.05
server = FTPServer((host, port), Handler)
server.serve_forever(timeout=0.5)
)";

}  // namespace

PyFtpdServer::PyFtpdServer() : FtpServerProcess("pyftpdlib", "tester", "s3cret", "wrong") {}

std::vector<std::string> PyFtpdServer::Prepare() {
    const std::string script = Work().File("server.py");
    (void)WriteFile(script, kScript);
    std::vector<std::string> command{Interpreter(), script, Host() + ":" + std::to_string(Port()), Root(), User(), Password()};
    if (Tls()) {
        command.push_back(TlsCert());
        command.push_back(TlsKey());
    }
    return command;
}
