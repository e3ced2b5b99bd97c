#pragma once
// pure-ftpd on 127.0.0.1 with one virtual user (its own password database)
// and a writable root, FTP over TLS required for log-in and data. The
// Debian package cannot be installed beside vsftpd (both are the system's
// FTP server), so scripts/install-deps.sh unpacks it into kInstallDir; a test
// skips when it is not there (Available).
#include "tests/support/FtpServerProcess.h"

class PureFtpdServer : public FtpServerProcess {
public:
    static constexpr const char* kInstallDir = "/opt/velliant-ftp-test/pure-ftpd";

    PureFtpdServer();
    static bool Available();

protected:
    std::vector<std::string> Prepare() override;

private:
    bool AddUser(const std::string& database);
};
