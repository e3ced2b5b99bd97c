#pragma once
// vsftpd standalone on 127.0.0.1 with anonymous access to a writable root.
// Tests run as root (also in CI), so the server runs as the launching user;
// it then admits only anonymous log-ins, and a banned e-mail password stands
// in for a wrong password.
#include "tests/support/FtpServerProcess.h"

class VsftpdServer : public FtpServerProcess {
public:
    VsftpdServer();

protected:
    std::vector<std::string> Prepare() override;

private:
    std::string TlsSettings() const;
};
