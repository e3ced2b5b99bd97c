// vftp over TLS against real servers on loopback: explicit and implicit TLS,
// passive and active data connections, certificates that do not verify, and
// servers that refuse TLS or drop the handshake (the scripted server).
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "tests/support/PureFtpdServer.h"
#include "tests/support/PyFtpdServer.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/VsftpdServer.h"
#include "tests/tools/VftpProcess.h"

namespace {

const TestCertificates& Certificates() { return TestCertificates::Shared(); }

std::unique_ptr<FtpServerProcess> TlsServer(const std::string& kind, const std::string& certificate, bool implicit = false) {
    std::unique_ptr<FtpServerProcess> server;
    if (kind == "pyftpdlib")
        server = std::make_unique<PyFtpdServer>();
    else if (kind == "pure-ftpd")
        server = std::make_unique<PureFtpdServer>();
    else
        server = std::make_unique<VsftpdServer>();
    server->UseTls(Certificates().Cert(certificate), Certificates().Key(certificate), implicit);
    return server;
}

std::string Url(const FtpServerProcess& server, const std::string& path, const std::string& scheme = "ftp") {
    return scheme + "://" + server.User() + ":" + server.Password() + "@127.0.0.1:" + std::to_string(server.Port()) + "/" + path;
}

struct Transfer {
    std::string server;
    bool passive;
};

// Test names must not depend on padding bytes.
void PrintTo(const Transfer& transfer, std::ostream* out) {
    *out << transfer.server << (transfer.passive ? " passive" : " active");
}

class VftpTlsTransfers : public ::testing::TestWithParam<Transfer> {};

}  // namespace

// Log-in, upload, listing, download and resume, with the certificate
// verified against the test authority: nothing is accepted blindly.
TEST_P(VftpTlsTransfers, EverythingGoesEncrypted) {
    ASSERT_TRUE(Certificates().Ok()) << Certificates().Error();
    if (GetParam().server == "pure-ftpd" && !PureFtpdServer::Available())
        GTEST_SKIP() << "pure-ftpd is not unpacked in " << PureFtpdServer::kInstallDir << "; scripts/install-deps.sh does it";
    auto server = TlsServer(GetParam().server, "good");
    ASSERT_TRUE(server->Start()) << server->Error();
    TempDir local;
    const std::string content = RandomBytes(3 * 1024 * 1024 + 17, 11);
    ASSERT_TRUE(WriteFile(local.File("site.bin"), content));
    const std::vector<std::string> tls{"-q", "--tls", "--cacert", Certificates().CaFile(), GetParam().passive ? "-p" : "-a"};
    const auto vftp = [&](std::vector<std::string> args) {
        args.insert(args.begin(), tls.begin(), tls.end());
        return RunVftp(args, local.Path(), local.Path());
    };

    Outcome r = vftp({"put", "site.bin", Url(*server, "")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(server->Root() + "/site.bin").size(), content.size());
    EXPECT_TRUE(ReadFile(server->Root() + "/site.bin") == content);

    r = vftp({"ls", Url(*server, "")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("site.bin"), std::string::npos) << r.out;

    r = vftp({"get", Url(*server, "site.bin"), "copy.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(local.File("copy.bin")) == content);

    ASSERT_TRUE(WriteFile(local.File("part.bin"), content.substr(0, 1000000)));
    r = vftp({"-c", "get", Url(*server, "site.bin"), "part.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(local.File("part.bin")) == content);

    r = vftp({"-v", "pwd", Url(*server, "")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("! TLS connection: TLSv1."), std::string::npos) << r.err;
    EXPECT_LT(r.err.find("> PROT P"), r.err.find("> USER")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(RealServers, VftpTlsTransfers,
                         ::testing::Values(Transfer{"vsftpd", true}, Transfer{"vsftpd", false}, Transfer{"pyftpdlib", true},
                                           Transfer{"pyftpdlib", false}, Transfer{"pure-ftpd", true},
                                           Transfer{"pure-ftpd", false}),
                         [](const auto& info) {
                             std::string name = info.param.server + (info.param.passive ? "Passive" : "Active");
                             std::erase(name, '-');
                             return name;
                         });

TEST(VftpTls, FtpsUrlMeansTlsFromTheFirstByte) {
    ASSERT_TRUE(Certificates().Ok()) << Certificates().Error();
    auto server = TlsServer("vsftpd", "good", true);
    ASSERT_TRUE(server->Start()) << server->Error();
    TempDir local;
    ASSERT_TRUE(WriteFile(local.File("index.html"), "<p>hello</p>"));
    Outcome r = RunVftp({"-q", "--cacert", Certificates().CaFile(), "put", "index.html", Url(*server, "", "ftps")}, local.Path(),
                        local.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunVftp({"-a", "--cacert", Certificates().CaFile(), "get", Url(*server, "index.html", "ftps"), "-"}, local.Path(),
                local.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "<p>hello</p>");
    // The same server spoken to in clear first gets no FTP at all.
    r = RunVftp({"--tls", "-t", "5", "ls", Url(*server, "")}, local.Path(), local.Path(), 20);
    EXPECT_EQ(r.status, 1);
}

// Each certificate fails verification for its own reason: refused, with the
// reason and the pin that would accept it, unless --insecure or that pin.
TEST(VftpTls, CertificatesThatDoNotVerify) {
    ASSERT_TRUE(Certificates().Ok()) << Certificates().Error();
    struct Case {
        std::string certificate;
        std::string reason;
    };
    for (const Case& c : {Case{"wrongname", "mismatch"}, Case{"expired", "certificate has expired"},
                          Case{"selfsigned", "self-signed certificate"}}) {
        SCOPED_TRACE(c.certificate);
        auto server = TlsServer("vsftpd", c.certificate);
        ASSERT_TRUE(server->Start()) << server->Error();
        TempDir local;
        const std::string url = Url(*server, "");
        const std::string ca = Certificates().CaFile();
        const std::string pin = Certificates().PublicKeyPin(c.certificate);

        Outcome r = RunVftp({"--tls", "--cacert", ca, "ls", url}, local.Path(), local.Path());
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(pin), std::string::npos) << "the refusal names the pin: " << r.err;

        r = RunVftp({"--tls", "--pin-sha256", pin, "ls", url}, local.Path(), local.Path());
        EXPECT_EQ(r.status, 0) << r.err;
        r = RunVftp({"--tls", "--pin-sha256", Certificates().Fingerprint(c.certificate), "ls", url}, local.Path(), local.Path());
        EXPECT_EQ(r.status, 0) << "the certificate's hex fingerprint pins it too: " << r.err;
        r = RunVftp({"--tls", "--pin-sha256", Certificates().PublicKeyPin("good"), "ls", url}, local.Path(), local.Path());
        EXPECT_EQ(r.status, 1) << "another certificate's pin";
        r = RunVftp({"--tls", "-k", "ls", url}, local.Path(), local.Path());
        EXPECT_EQ(r.status, 0) << r.err;
    }
}

// Required TLS never falls back: the log-in stays unsent when the server
// refuses AUTH TLS or the handshake fails. "If available" goes on in clear
// only after a refusal.
TEST(VftpTls, NoDowngrade) {
    TempDir here;
    struct Case {
        std::string name;
        std::string option;
        std::function<void(ScriptedFtpServer&)> script;
        int status;
        std::string message;
    };
    const std::vector<Case> cases{
        {"refused", "--tls", [](ScriptedFtpServer& s) { s.Send("220 hi\r\n").Reply("AUTH TLS", "500 unknown").Silence(3000); }, 1,
         "refused AUTH TLS"},
        {"dropped in the handshake", "--tls",
         [](ScriptedFtpServer& s) { s.Send("220 hi\r\n").Reply("AUTH TLS", "234 go").Pause(200).Close(); }, 1,
         "TLS handshake failed"},
        {"no TLS but a reply", "--tls-try",
         [](ScriptedFtpServer& s) {
             s.Send("220 hi\r\n").Reply("AUTH TLS", "234 go").Send("220 not TLS at all\r\n").Silence(3000);
         },
         1, "TLS handshake failed"},
        {"refused, if available", "--tls-try",
         [](ScriptedFtpServer& s) {
             s.Send("220 hi\r\n").Reply("AUTH TLS", "502 no").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in");
             s.Reply("PWD", "257 \"/home\"").Expect("QUIT").Close();
         },
         0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFtpServer server;
        c.script(server);
        ASSERT_TRUE(server.Start());
        const Outcome r = RunVftp({c.option, "-t", "10", "pwd", "ftp://bob:pw@127.0.0.1:" + std::to_string(server.Port()) + "/"},
                                  here.Path(), here.Path(), 30);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        server.Stop();
        bool userSent = false;
        for (const std::string& line : server.Lines()) userSent = userSent || line.rfind("USER", 0) == 0;
        EXPECT_EQ(userSent, c.status == 0);
    }
}
