// The TLS layer against a real TLS server: OpenSSL's own blocking server on
// a thread of the test, with the test authority's certificates. Counts the
// events the socket raises, as its users see them.
#include <gtest/gtest.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "net/SslContext.h"
#include "net/SslSession.h"
#include "tests/net/NetTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestCertificates.h"

using nettest::PumpUntil;

namespace {

// One TLS server connection on its own thread, bounded by receive and send
// timeouts so that a wrong client fails the test instead of hanging it.
class TlsPeer {
public:
    explicit TlsPeer(const std::string& certificate = "good") : ctx_(SSL_CTX_new(TLS_server_method()), &SSL_CTX_free) {
        // Its session tickets may meet a client that has closed already: the
        // write must fail, not end the test program.
        (void)std::signal(SIGPIPE, SIG_IGN);
        const auto& certificates = TestCertificates::Shared();
        (void)SSL_CTX_use_certificate_chain_file(ctx_.get(), certificates.Cert(certificate).c_str());
        (void)SSL_CTX_use_PrivateKey_file(ctx_.get(), certificates.Key(certificate).c_str(), SSL_FILETYPE_PEM);
    }
    ~TlsPeer() { Join(); }

    // Runs `body` on the accepted connection once its handshake is done.
    void Serve(int fd, std::function<void(SSL*)> body) {
        Join();
        timeval limit{5, 0};
        (void)setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        (void)setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        thread_ = std::thread([this, fd, body = std::move(body)] {
            SSL* ssl = SSL_new(ctx_.get());
            SSL_set_fd(ssl, fd);
            if (SSL_accept(ssl) == 1) body(ssl);
            SSL_free(ssl);
            ::close(fd);
        });
    }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> ctx_;
    std::thread thread_;
};

// A client socket connected to the listener, its handshake started.
struct TlsClient {
    nettest::RawListener listener;
    TWSocket socket;
    int handshakes = 0;
    std::uint16_t handshakeError = 0xFFFF;
    int closes = 0;
    std::uint16_t closeError = 0xFFFF;

    explicit TlsClient(std::shared_ptr<TSslContext> context = nullptr) {
        if (context) socket.SetSslContext(std::move(context));
        socket.OnSslHandshakeDone = [this](TCustomWSocket*, std::uint16_t error) {
            ++handshakes;
            handshakeError = error;
        };
        socket.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t error) {
            ++closes;
            closeError = error;
        };
    }
    int Connect() { return nettest::ConnectPumping(socket, listener); }
    bool Handshake(const std::string& name = "127.0.0.1") {
        socket.SetSslServerName(name);
        socket.StartSslHandshake();
        return PumpUntil([&] { return handshakes > 0; });
    }
};

std::shared_ptr<TSslContext> TrustingTestAuthority() {
    auto context = std::make_shared<TSslContext>();
    EXPECT_TRUE(context->AddCaFile(TestCertificates::Shared().CaFile())) << context->ErrorText();
    return context;
}

}  // namespace

// Megabytes both ways, the client reading in small pieces so that decrypted
// bytes wait above the handle; the server's close_notify then ends the
// stream with one close, and ours reaches the server as a clean end.
TEST(WSocketSsl, BulkBothWaysAndCleanEnds) {
    ASSERT_TRUE(TestCertificates::Shared().Ok()) << TestCertificates::Shared().Error();
    TlsPeer peer;
    TlsClient client;
    const std::string up = RandomBytes(2 * 1024 * 1024 + 3, 1);
    const std::string down = RandomBytes(3 * 1024 * 1024 + 5, 2);
    std::string received;
    std::string serverGot;
    std::atomic<bool> serverDone{false};
    client.socket.OnDataAvailable = [&](TCustomWSocket* sender, std::uint16_t) {
        char piece[1000];
        const int count = sender->Receive(piece, sizeof piece);
        if (count > 0) received.append(piece, static_cast<std::size_t>(count));
    };
    const int fd = client.Connect();
    ASSERT_GE(fd, 0);
    peer.Serve(fd, [&](SSL* ssl) {
        char block[65536];
        while (serverGot.size() < up.size()) {
            const int count = SSL_read(ssl, block, sizeof block);
            if (count <= 0) break;
            serverGot.append(block, static_cast<std::size_t>(count));
        }
        for (std::size_t sent = 0; sent < down.size();) {
            const int count =
                SSL_write(ssl, down.data() + sent, static_cast<int>(std::min<std::size_t>(100000, down.size() - sent)));
            if (count <= 0) break;
            sent += static_cast<std::size_t>(count);
        }
        (void)SSL_shutdown(ssl);
        serverDone = true;
    });
    ASSERT_TRUE(client.Handshake());
    EXPECT_EQ(client.handshakeError, 0) << client.socket.SslErrorText();
    EXPECT_TRUE(client.socket.SslEstablished());
    for (std::size_t sent = 0; sent < up.size(); sent += 300000)
        ASSERT_EQ(client.socket.Send(up.data() + sent, static_cast<int>(std::min<std::size_t>(300000, up.size() - sent))),
                  static_cast<int>(std::min<std::size_t>(300000, up.size() - sent)));
    ASSERT_TRUE(PumpUntil([&] { return client.closes > 0; }, 20000)) << received.size() << " bytes received";
    peer.Join();
    EXPECT_TRUE(serverDone);
    EXPECT_TRUE(serverGot == up) << serverGot.size();
    EXPECT_TRUE(received == down) << received.size();
    EXPECT_EQ(client.closes, 1);
    EXPECT_EQ(client.closeError, 0);
    EXPECT_EQ(client.handshakes, 1);
}

// The second connection resumes the first one's session, as FTP servers ask
// of data connections; the certificate is judged by the caller's context.
TEST(WSocketSsl, SessionResumptionAndVerification) {
    ASSERT_TRUE(TestCertificates::Shared().Ok()) << TestCertificates::Shared().Error();
    const auto context = TrustingTestAuthority();
    TlsPeer peer;
    std::shared_ptr<TSslSession> session;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        TlsClient client(context);
        const int fd = client.Connect();
        ASSERT_GE(fd, 0);
        peer.Serve(fd, [](SSL* ssl) {
            // TLS 1.3 gives the session after the handshake: a reply carries it.
            (void)SSL_write(ssl, "ok", 2);
            char byte = 0;
            (void)SSL_read(ssl, &byte, 1);
        });
        if (session) client.socket.SetSslSession(session);
        ASSERT_TRUE(client.Handshake());
        ASSERT_EQ(client.handshakeError, 0) << client.socket.SslErrorText();
        EXPECT_TRUE(client.socket.SslPeerCertificate().Verified) << client.socket.SslPeerCertificate().Reason;
        EXPECT_EQ(client.socket.SslSessionReused(), round == 1);
        EXPECT_EQ(client.socket.SslPeerCertificate().Sha256, TestCertificates::Shared().Fingerprint("good"));
        std::string reply;
        client.socket.OnDataAvailable = [&](TCustomWSocket* sender, std::uint16_t) { reply += sender->ReceiveText(); };
        ASSERT_TRUE(PumpUntil([&] { return reply == "ok" && client.socket.SslSession() != nullptr; }));
        session = client.socket.SslSession();
        client.socket.SendText("x");
        client.socket.Close();
        peer.Join();
    }
}

// A handshake that cannot complete is reported once, as the handshake's
// outcome and then as the close, with OpenSSL's reason.
TEST(WSocketSsl, FailedHandshakes) {
    struct Case {
        const char* name;
        std::function<void(int fd)> server;
        const char* reason;
    };
    const Case cases[] = {
        {"closed at once", [](int fd) { ::close(fd); }, "closed by the server"},
        {"plain text instead",
         [](int fd) {
             (void)::send(fd, "220 no TLS here, just FTP\r\n", 27, MSG_NOSIGNAL);
             char scratch[4096];
             (void)::recv(fd, scratch, sizeof scratch, 0);
             ::close(fd);
         },
         "wrong version number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TlsClient client;
        const int fd = client.Connect();
        ASSERT_GE(fd, 0);
        std::thread server(c.server, fd);
        const bool done = client.Handshake();
        server.join();
        ASSERT_TRUE(done);
        ASSERT_TRUE(PumpUntil([&] { return client.closes > 0; }));
        EXPECT_EQ(client.handshakes, 1);
        EXPECT_EQ(client.handshakeError, SslHandshakeFailed);
        EXPECT_EQ(client.closes, 1);
        EXPECT_EQ(client.closeError, SslHandshakeFailed);
        EXPECT_NE(client.socket.SslErrorText().find(c.reason), std::string::npos) << client.socket.SslErrorText();
        EXPECT_EQ(client.socket.State(), wsClosed);
    }
}

// What the socket reports of a certificate that does not verify, and the
// pins that recognise it.
TEST(WSocketSsl, CertificateThatDoesNotVerify) {
    ASSERT_TRUE(TestCertificates::Shared().Ok()) << TestCertificates::Shared().Error();
    const auto& certificates = TestCertificates::Shared();
    struct Case {
        std::string certificate;
        std::string name;
        std::string reason;
    };
    for (const Case& c :
         {Case{"wrongname", "127.0.0.1", "IP address mismatch"}, Case{"good", "ftp.example.com", "hostname mismatch"},
          Case{"expired", "127.0.0.1", "certificate has expired"}}) {
        SCOPED_TRACE(c.certificate + " as " + c.name);
        TlsPeer peer(c.certificate);
        TlsClient client(TrustingTestAuthority());
        const int fd = client.Connect();
        ASSERT_GE(fd, 0);
        peer.Serve(fd, [](SSL* ssl) {
            char byte = 0;
            (void)SSL_read(ssl, &byte, 1);
        });
        ASSERT_TRUE(client.Handshake(c.name));
        const TSslCertificateInfo& info = client.socket.SslPeerCertificate();
        EXPECT_FALSE(info.Verified);
        EXPECT_EQ(info.Reason, c.reason);
        EXPECT_EQ(info.Issuer, "CN=Velliant Test CA");
        EXPECT_TRUE(info.MatchesPin(certificates.PublicKeyPin(c.certificate)));
        EXPECT_TRUE(info.MatchesPin("sha256//nothing; " + certificates.Fingerprint(c.certificate)));
        EXPECT_FALSE(info.MatchesPin(certificates.PublicKeyPin("selfsigned")));
        EXPECT_FALSE(info.MatchesPin(""));
        client.socket.Close();
        peer.Join();
    }
}

// The system's authorities are looked up by hashed name in their folder
// when it has such names, not read as one bundle; a certificate whose
// issuer is found there verifies. Without hashed names the bundle is read.
TEST(WSocketSsl, SystemAuthoritiesAreFoundInAHashedFolderOrTheBundle) {
    ASSERT_TRUE(TestCertificates::Shared().Ok()) << TestCertificates::Shared().Error();
    const std::string authority = TestCertificates::Shared().CaFile();
    TempDir hashed, plain;
    {
        std::unique_ptr<FILE, decltype(&fclose)> pem(fopen(authority.c_str(), "r"), &fclose);
        ASSERT_TRUE(pem);
        std::unique_ptr<X509, decltype(&X509_free)> ca(PEM_read_X509(pem.get(), nullptr, nullptr, nullptr), &X509_free);
        ASSERT_TRUE(ca);
        char name[16];
        std::snprintf(name, sizeof name, "%08lx.0", X509_subject_name_hash(ca.get()));
        ASSERT_EQ(::symlink(authority.c_str(), hashed.File(name).c_str()), 0);
    }
    const std::string oldDir = getenv("SSL_CERT_DIR") ? getenv("SSL_CERT_DIR") : "";
    const std::string oldFile = getenv("SSL_CERT_FILE") ? getenv("SSL_CERT_FILE") : "";
    for (const auto& [folder, bundle] : {std::pair<std::string, std::string>{hashed.Path(), ""}, {plain.Path(), authority}}) {
        SCOPED_TRACE(bundle.empty() ? "hashed folder" : "bundle");
        ::setenv("SSL_CERT_DIR", folder.c_str(), 1);
        bundle.empty() ? ::unsetenv("SSL_CERT_FILE") : ::setenv("SSL_CERT_FILE", bundle.c_str(), 1);
        auto context = std::make_shared<TSslContext>();
        oldDir.empty() ? ::unsetenv("SSL_CERT_DIR") : ::setenv("SSL_CERT_DIR", oldDir.c_str(), 1);
        oldFile.empty() ? ::unsetenv("SSL_CERT_FILE") : ::setenv("SSL_CERT_FILE", oldFile.c_str(), 1);
        TlsPeer peer;
        TlsClient client(context);
        const int fd = client.Connect();
        ASSERT_GE(fd, 0);
        peer.Serve(fd, [](SSL* ssl) {
            char byte = 0;
            (void)SSL_read(ssl, &byte, 1);
        });
        ASSERT_TRUE(client.Handshake());
        EXPECT_TRUE(client.socket.SslPeerCertificate().Verified) << client.socket.SslPeerCertificate().Reason;
        client.socket.Close();
        peer.Join();
    }
}

// OpenSSL's texts for libcrypto's reasons are loaded only at the first
// error: the error must still read as words, not as a number.
TEST(WSocketSsl, AnAuthorityFileThatIsNoCertificateIsSaidInWords) {
    TempDir folder;
    const std::string file = folder.File("authority.pem");
    ASSERT_TRUE(WriteFile(file, "not a certificate\n"));
    auto context = std::make_shared<TSslContext>();
    EXPECT_FALSE(context->AddCaFile(file));
    EXPECT_EQ(context->ErrorText().find("reason("), std::string::npos) << context->ErrorText();
    EXPECT_NE(context->ErrorText().find("no certificate"), std::string::npos) << context->ErrorText();
}
