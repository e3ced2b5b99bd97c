#pragma once
// pyftpdlib on 127.0.0.1 with one user, a password and a writable root.
#include "tests/support/FtpServerProcess.h"

class PyFtpdServer : public FtpServerProcess {
public:
    PyFtpdServer();

protected:
    std::vector<std::string> Prepare() override;
};
