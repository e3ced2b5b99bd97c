#include "tests/ftp/RealServerFixture.h"

#include "tests/support/PyFtpdServer.h"
#include "tests/support/VsftpdServer.h"

void RealServer::SetUp() {
    if (GetParam() == "vsftpd") {
        server = std::make_unique<VsftpdServer>();
    } else {
        server = std::make_unique<PyFtpdServer>();
    }
    ASSERT_TRUE(server->Start()) << server->Error();
    PointAtServer();
}

void RealServer::TearDown() {
    if (ftp.Connected()) ftp.AbortSession();
    probe.Settle(10);
    if (server) server->Stop();
}

void RealServer::PointAtServer() {
    ftp.HostName = "127.0.0.1";
    ftp.Port = std::to_string(server->Port());
    ftp.UserName = server->User();
    ftp.PassWord = server->Password();
    ftp.Timeout = 15;
}

std::string ServerName(const ::testing::TestParamInfo<std::string>& info) { return info.param; }
