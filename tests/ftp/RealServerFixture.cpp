#include "tests/ftp/RealServerFixture.h"

#include "tests/support/PyFtpdServer.h"
#include "tests/support/VsftpdServer.h"

void RealServer::SetUp() {
    if (GetParam().compare(0, 6, "vsftpd") == 0) {
        server = std::make_unique<VsftpdServer>();
    } else {
        server = std::make_unique<PyFtpdServer>();
    }
    if (GetParam().find("ipv6") != std::string::npos) {
        if (!LoopbackIpv6Available()) GTEST_SKIP() << "this machine has no ::1 to listen on (IPv6 is off)";
        server->UseIpv6();
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
    ftp.HostName = server->Host();
    ftp.Port = std::to_string(server->Port());
    ftp.UserName = server->User();
    ftp.PassWord = server->Password();
    ftp.Timeout = 15;
    const std::string mode = "passive";
    ftp.Passive = GetParam().size() > mode.size() && GetParam().compare(GetParam().size() - mode.size(), mode.size(), mode) == 0;
}

std::string ServerName(const ::testing::TestParamInfo<std::string>& info) { return info.param; }
