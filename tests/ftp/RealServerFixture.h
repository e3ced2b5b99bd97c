#pragma once
// Parameterised fixture for interoperability cases: each case runs against
// pyftpdlib and against vsftpd, both started on 127.0.0.1 for the case (on
// ::1 when the parameter holds "ipv6"; skipped where IPv6 is off). A
// parameter ending in "passive" makes the engine use PASV, else PORT.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/support/FtpServerProcess.h"
#include "tests/support/TempDir.h"

class RealServer : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override;
    void TearDown() override;
    // Log-in parameters of the running server.
    void PointAtServer();
    std::string ServerFile(const std::string& name) const { return server->Root() + "/" + name; }

    std::unique_ptr<FtpServerProcess> server;
    TempDir local;
    TFtpClient ftp;
    EngineProbe probe{ftp};
};

std::string ServerName(const ::testing::TestParamInfo<std::string>& info);
