#pragma once
// The transfer connection on the FTP engine. Each operation costs the round
// trips the protocol needs on an open session and no more: TYPE only when
// the mode changes, full paths instead of CWD (a listing alone changes the
// folder, and every path is absolute), PASV and the transfer command
// pipelined by the engine.
//
// Where the server's FEAT offers MLST, folders are listed with MLSD and a
// file's facts read with MLST: exact sizes, modify times to the second in
// UTC, links told apart, names exactly as they are. Elsewhere LIST and its
// columns, and SIZE.

#include <memory>

#include "ftp/Ftpcli.h"
#include "transfer/TransferConnection.h"

struct TFtpEndpoint {
    std::string host;
    std::string port = "21";
    std::string user = "anonymous";
    std::string password;
    bool passive = true;
    TFtpEncryption encryption = ftpTlsNone;
    std::shared_ptr<TSslContext> sslContext;
    TFtpCertificateCheck onCertificateCheck;
    // Seconds of silence before an operation is given up; 0: none.
    int timeoutSeconds = 30;
    // A SOCKS 5 proxy for the control and data connections (none when the
    // server is empty); the proxy looks the host up unless localLookup.
    std::string socksServer;
    std::string socksPort = "1080";
    std::string socksUser;
    std::string socksPassword;
    bool socksLocalLookup = false;
    // Off: folders are listed with LIST even where MLSD is offered. Some
    // servers' MLSD describes a link as what it leads to, and a deletion
    // that took a linked folder for a folder would empty its target.
    bool machineListing = true;
    // Every line of the dialogue, for a verbose front end.
    std::function<void(const std::string&)> onDialogue;
};

class TFtpTransferConnection : public TTransferConnection, private platform::MessageTarget {
public:
    explicit TFtpTransferConnection(TFtpEndpoint endpoint);
    ~TFtpTransferConnection() override;

    void Connect(TTransferCallback done) override;
    void Disconnect(TTransferCallback done) override;
    void List(const std::string& folder, TListCallback done) override;
    void Get(const std::string& remote, const std::string& local, std::int64_t resumeAt, TTransferCallback done) override;
    void Put(const std::string& local, const std::string& remote, std::int64_t resumeAt, TTransferCallback done) override;
    void MakeFolder(const std::string& path, TTransferCallback done) override;
    void Delete(const std::string& path, bool folder, TTransferCallback done) override;
    void Rename(const std::string& from, const std::string& to, TTransferCallback done) override;
    void Stat(const std::string& path, TStatCallback done) override;
    void SetModifyTime(const std::string& path, std::int64_t utc, TTransferCallback done) override;
    bool CanSetModifyTime() const override;
    void SetMode(TTransferMode mode) override { mode_ = mode; }

    bool Connected() const override { return ftp_.Connected(); }
    bool Idle() const override { return !next_; }
    const std::string& HomeFolder() const override { return home_; }
    void CheckTimeout() override;

private:
    platform::LParam HandleMessage(std::uint32_t message, platform::WParam, platform::LParam) override;
    // Ends the running operation with `result` on the loop's next turn.
    void FailLater(TTransferResult result);

    using Step = std::function<void(const TTransferResult&)>;
    // Starts one engine request; `next` gets its outcome.
    void Run(void (TCustomFtpCli::*start)(), Step next);
    void RequestDone(std::uint16_t error);
    // Sends TYPE when the wanted mode differs from the server's, then `then`.
    void InMode(TTransferMode wanted, TTransferCallback done, std::function<void()> then);
    TTransferResult ResultOf(std::uint16_t error) const;
    std::string AbsolutePath(const std::string& path) const;
    // The server's FEAT offers MLST with the facts a tree needs.
    bool MachineListing() const;

    TFtpEndpoint endpoint_;
    TFtpClient ftp_;
    platform::MessageWindow window_{this};
    TTransferResult lateFailure_;
    Step next_;
    std::string home_;
    TTransferMode mode_ = TTransferMode::Binary;
    // What the server was last told; a new session starts in text mode.
    std::optional<TTransferMode> wireMode_;
};
