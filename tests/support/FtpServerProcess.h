#pragma once
// Runs a real FTP server as a child process on 127.0.0.1 for interoperability
// tests: Start() writes its configuration into a private folder, launches it,
// and returns once the port accepts connections (bounded); Stop() or the
// destructor kills it. A server binary that is missing makes Start() fail
// with a clear message, never a silent skip.

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TempDir.h"

class FtpServerProcess {
public:
    virtual ~FtpServerProcess();
    FtpServerProcess(const FtpServerProcess&) = delete;
    FtpServerProcess& operator=(const FtpServerProcess&) = delete;

    bool Start();
    void Stop();

    int Port() const { return port_; }
    // The folder the server shows as "/".
    std::string Root() const { return work_.File("root"); }
    const std::string& User() const { return user_; }
    const std::string& Password() const { return password_; }
    // A password the server refuses for User().
    const std::string& WrongPassword() const { return wrongPassword_; }
    const std::string& Error() const { return error_; }
    const std::string& Name() const { return name_; }

    // Before Start: FTP over TLS with this certificate and key (PEM files),
    // required for log-in and data; implicit TLS (from the first byte)
    // instead of AUTH TLS when asked.
    void UseTls(std::string certFile, std::string keyFile, bool implicit = false) {
        tlsCert_ = std::move(certFile);
        tlsKey_ = std::move(keyFile);
        implicitTls_ = implicit;
    }
    // Before Start: listen on ::1 instead of 127.0.0.1.
    void UseIpv6() { ipv6_ = true; }
    bool Ipv6() const { return ipv6_; }
    // The address the server listens on, as text.
    std::string Host() const { return ipv6_ ? "::1" : "127.0.0.1"; }

protected:
    FtpServerProcess(std::string name, std::string user, std::string password, std::string wrongPassword);
    // Writes configuration files and returns the command line to run.
    virtual std::vector<std::string> Prepare() = 0;
    const TempDir& Work() const { return work_; }
    bool Tls() const { return !tlsCert_.empty(); }
    const std::string& TlsCert() const { return tlsCert_; }
    const std::string& TlsKey() const { return tlsKey_; }
    bool ImplicitTls() const { return implicitTls_; }
    void SetError(std::string text) { error_ = std::move(text); }

private:
    bool WaitUntilAccepting();
    std::string ServerLog() const;

    std::string name_;
    std::string user_;
    std::string password_;
    std::string wrongPassword_;
    TempDir work_;
    int port_ = 0;
    pid_t pid_ = -1;
    std::string error_;
    std::string tlsCert_;
    std::string tlsKey_;
    bool implicitTls_ = false;
    bool ipv6_ = false;
};

// A port that was free a moment ago on 127.0.0.1 (or ::1).
int FindFreePort(bool ipv6 = false);
// Whether this machine has ::1 to listen on; tests over IPv6 skip without it.
bool LoopbackIpv6Available();
