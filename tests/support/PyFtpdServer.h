#pragma once
// pyftpdlib on 127.0.0.1 with one user, a password and a writable root.
#include "tests/support/FtpServerProcess.h"

class PyFtpdServer : public FtpServerProcess {
public:
    PyFtpdServer();

    // Before Start: data connections limited to 8 KiB/s each, and counted.
    void CountDataConnections() { countData_ = true; }
    // The most data connections that were open at once.
    int PeakDataConnections() const;

protected:
    std::vector<std::string> Prepare() override;

private:
    bool countData_ = false;
};
