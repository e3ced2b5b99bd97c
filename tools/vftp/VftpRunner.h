#pragma once
// Runs one vftp command as one self-contained engine request (open, log in,
// work, QUIT) and turns its outcome into an exit status and output.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ftp/Ftpcli.h"
#include "tools/vftp/FtpUrl.h"
#include "tools/vftp/ProgressBar.h"
#include "tools/vftp/VftpOptions.h"
#include "transfer/FtpTransferConnection.h"
#include "util/FTPServerObj.h"

class VftpRunner {
public:
    explicit VftpRunner(VftpOptions options);
    // 0 success, 1 FTP or network failure (reported on standard error), 2
    // usage error.
    int Run();

    // The server of a URL or "@NAME/PATH" argument as a transfer connection
    // needs it, with this run's options applied; false after a message on
    // standard error.
    bool ResolveEndpoint(const std::string& urlText, TFtpEndpoint& endpoint, FtpUrl& url);

private:
    using Start = void (TCustomFtpCli::*)();

    void BindEvents();
    bool Connect(const std::string& urlText);
    // --socks5, else the profile's proxy, else ALL_PROXY; false with the
    // reason shown when a proxy given is malformed.
    bool ChooseProxy(const std::optional<TFTPServer>& profile, TFtpEndpoint& endpoint);
    void JudgeCertificate(const TSslCertificateInfo& certificate, TFtpCertificateDecision& decision);
    TFtpEncryption EncryptionFor(const FtpUrl& url, const std::optional<TEncryptionMode>& profile) const;
    // Starts a request and waits for its end, including the posted
    // OnRequestDone; false with error_ set on any failure.
    bool Execute(Start start);
    void WaitForRequestDone();
    // Logs in, changes to HostDirName when set, runs `work`, and quits;
    // false with error_ set when any part failed.
    bool RunInSession(const std::function<bool()>& work);
    std::string FailureText() const;

    int List(bool namesOnly);
    int Size();
    int Pwd();
    int Get();
    int Put(bool append);
    int SimpleFileRequest(Start start);
    int Rename();
    int Chmod();
    int Quote();
    int CopyToStandardOutput(const std::string& path);
    // --preserve: the transfer inside a session that then reads or sets the
    // file's time; a time that cannot be kept is a warning, not a failure.
    bool TransferKeepingTime(Start transfer, bool download);
    void KeepServerTime(const std::string& local);
    void SendLocalTime(const std::string& local);
    int Failure(const std::string& text);

    VftpOptions options_;
    TFtpClient ftp_;
    FtpUrl url_;
    std::unique_ptr<ProgressBar> progress_;
    bool requestDone_ = false;
    std::uint16_t requestError_ = 0;
    std::string error_;
};
