// vftp over IPv6 and through SOCKS 5 proxies, with file times kept: the
// real executable against pyftpdlib, microsocks and dante on loopback.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "ftp/FtpLocalTimes.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/net/SocksProxyProcess.h"
#include "tests/tools/VftpProcess.h"

namespace {

class VftpModern : public ::testing::Test {
protected:
    void StartServer(bool ipv6) {
        if (ipv6) {
            if (!LoopbackIpv6Available()) GTEST_SKIP() << "this machine has no ::1 to listen on (IPv6 is off)";
            server_.UseIpv6();
        }
        ASSERT_TRUE(server_.Start()) << server_.Error();
    }
    std::string Url(const std::string& path) const {
        const std::string host = server_.Ipv6() ? "[::1]" : "127.0.0.1";
        return "ftp://" + server_.User() + ":" + server_.Password() + "@" + host + ":" + std::to_string(server_.Port()) + "/" +
               path;
    }
    // An upload and a download of the same bytes, both as given by `options`.
    void RoundTrip(const std::vector<std::string>& options, const std::string& name) {
        const std::string content = RandomBytes(70000, 3);
        ASSERT_TRUE(WriteFile(local_.File(name), content));
        std::vector<std::string> put = options;
        put.insert(put.end(), {"put", name, Url("")});
        Outcome r = RunVftp(put, local_.Path(), local_.Path());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(ReadFile(server_.Root() + "/" + name) == content);
        std::vector<std::string> get = options;
        get.insert(get.end(), {"get", Url(name), name + ".back"});
        r = RunVftp(get, local_.Path(), local_.Path());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(ReadFile(local_.File(name + ".back")) == content);
    }

    PyFtpdServer server_;
    TempDir local_;
};

TEST_F(VftpModern, BracketedIpv6UrlsWorkPassiveAndActive) {
    ASSERT_NO_FATAL_FAILURE(StartServer(true));
    ASSERT_NO_FATAL_FAILURE(RoundTrip({"-q"}, "passive.bin"));
    ASSERT_NO_FATAL_FAILURE(RoundTrip({"-q", "-a"}, "active.bin"));
}

TEST_F(VftpModern, EveryProxyCarriesBothConnections) {
    ASSERT_NO_FATAL_FAILURE(StartServer(false));
    MicrosocksProxy open;
    MicrosocksProxy guarded("proxyuser", "proxypass");
    DanteProxy dante;
    for (FtpServerProcess* proxy : {static_cast<FtpServerProcess*>(&open), static_cast<FtpServerProcess*>(&guarded),
                                    static_cast<FtpServerProcess*>(&dante)})
        ASSERT_TRUE(proxy->Start()) << proxy->Error();
    const std::string at = "127.0.0.1:";
    ASSERT_NO_FATAL_FAILURE(RoundTrip({"-q", "--socks5", at + std::to_string(open.Port())}, "open.bin"));
    ASSERT_NO_FATAL_FAILURE(RoundTrip({"-q", "--socks5", at + std::to_string(dante.Port())}, "dante.bin"));
    SetVftpAllProxy("socks5h://proxyuser:proxypass@" + at + std::to_string(guarded.Port()));
    RoundTrip({"-q"}, "guarded.bin");
    SetVftpAllProxy("");

    const Outcome refused =
        RunVftp({"--socks5", at + std::to_string(guarded.Port()), "--socks5-user", "proxyuser:wrong", "ls", Url("")},
                local_.Path(), local_.Path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("SOCKS 5 proxy"), std::string::npos) << refused.err;
}

TEST_F(VftpModern, PreserveKeepsTimesBothWays) {
    ASSERT_NO_FATAL_FAILURE(StartServer(false));
    ASSERT_TRUE(WriteFile(local_.File("up.txt"), "u"));
    ASSERT_TRUE(SetLocalFileTime(local_.File("up.txt"), 1000000000));
    Outcome r = RunVftp({"--preserve", "put", "up.txt", Url("")}, local_.Path(), local_.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LocalFileTime(server_.Root() + "/up.txt"), 1000000000);

    ASSERT_TRUE(WriteFile(server_.Root() + "/down.txt", "d"));
    ASSERT_TRUE(SetLocalFileTime(server_.Root() + "/down.txt", 1100000000));
    r = RunVftp({"--preserve", "get", Url("down.txt")}, local_.Path(), local_.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LocalFileTime(local_.File("down.txt")), 1100000000);
}

TEST_F(VftpModern, VerboseShowsTheServersFeatures) {
    ASSERT_NO_FATAL_FAILURE(StartServer(false));
    const Outcome r = RunVftp({"-v", "pwd", Url("")}, local_.Path(), local_.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("> FEAT"), std::string::npos);
    EXPECT_NE(r.err.find("<  MLST "), std::string::npos) << r.err;
}

}  // namespace
