#include "tests/support/PyFtpdServer.h"

#include <unistd.h>

#include <fstream>

namespace {

// The Debian interpreter is the one that sees the Debian python3-pyftpdlib
// package; a python3 earlier on PATH may be a private installation without it.
std::string Interpreter() {
    if (::access("/usr/bin/python3", X_OK) == 0) return "/usr/bin/python3";
    return "python3";
}

const char* const kScript = R"(import os, sys
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
peak_file = os.environ.get("VFTP_DATA_PEAK")
if peak_file:
    # Slow data connections, so that transfers that can overlap do, and the
    # most that were open at once.
    from pyftpdlib.handlers import ThrottledDTPHandler
    class CountingDTP(ThrottledDTPHandler):
        # The limit holds from the second limit's worth of bytes on: a file
        # of 20,000 bytes takes about two seconds.
        read_limit = write_limit = 8192
        open_now = peak = 0
        def __init__(self, *args, **kwargs):
            super().__init__(*args, **kwargs)
            self.counted = True
            CountingDTP.open_now += 1
            CountingDTP.peak = max(CountingDTP.peak, CountingDTP.open_now)
            with open(peak_file, "w") as f:
                f.write(str(CountingDTP.peak))
        def close(self):
            if getattr(self, "counted", False):
                self.counted = False
                CountingDTP.open_now -= 1
            super().close()
    Handler.dtp_handler = CountingDTP
server = FTPServer((host, port), Handler)
server.serve_forever(timeout=0.5)
)";

}  // namespace

PyFtpdServer::PyFtpdServer() : FtpServerProcess("pyftpdlib", "tester", "s3cret", "wrong") {}

std::vector<std::string> PyFtpdServer::Prepare() {
    const std::string script = Work().File("server.py");
    (void)WriteFile(script, kScript);
    std::vector<std::string> command;
    if (countData_) command = {"/usr/bin/env", "VFTP_DATA_PEAK=" + Work().File("data-peak")};
    command.insert(command.end(), {Interpreter(), script, Host() + ":" + std::to_string(Port()), Root(), User(), Password()});
    if (Tls()) {
        command.push_back(TlsCert());
        command.push_back(TlsKey());
    }
    return command;
}

int PyFtpdServer::PeakDataConnections() const {
    std::ifstream in(Work().File("data-peak"));
    int peak = 0;
    in >> peak;
    return peak;
}
