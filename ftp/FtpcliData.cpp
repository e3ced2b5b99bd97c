// The data connection shared by downloads and uploads: the data-port step,
// the passive connect, completion of a transfer, progress and statistics.
#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdio>

#include "ftp/FtpDataAddress.h"
#include "ftp/Ftpcli.h"
#include "platform/Ticks.h"

void TCustomFtpCli::ResetDataSocket() {
    dataSocket_->OnSessionAvailable = nullptr;
    dataSocket_->OnSessionClosed = nullptr;
    dataSocket_->OnDataAvailable = nullptr;
    dataSocket_->OnSslHandshakeDone = nullptr;
    CloseDataSocket();
    dataSocket_->SetProto("tcp");
    dataSocket_->SetAddr("0.0.0.0");
    dataSocket_->SetPort("0");
}

void TCustomFtpCli::BeginPort() {
    CheckCanSend();
    request_ = NextParameters();
    ResetDataSocket();
    int listenPort = 0;
    acceptPending_ = false;
    if (!request_.Passive && !SocksServer.empty()) {
        // The proxy connects out only; nothing could reach a local listener.
        Display("! Active mode cannot pass a SOCKS 5 proxy: passive mode is used");
        request_.Passive = true;
    }
    if (request_.Passive && UseEpsv()) return BeginEpsv();
    if (!request_.Passive) {
        // Some servers connect as soon as they get PORT, before they answer
        // it; the accept notice is not repeated, so it is remembered until
        // the transfer step takes the connection.
        dataSocket_->OnSessionAvailable = [this](TCustomWSocket*, std::uint16_t) { acceptPending_ = true; };
        dataSocket_->SetLingerOnOff(wsLingerOn);
        dataSocket_->SetLingerTimeout(10);
        // Only where the server can reach us: the control connection's own
        // address (IPv4 or IPv6), not every interface of the machine.
        const std::string address = controlSocket_->LocalAddressText();
        dataSocket_->SetAddr(address.empty() ? "0.0.0.0" : address);
        dataSocket_->Listen();
        sockaddr_in local{};
        socklen_t length = sizeof local;
        (void)dataSocket_->LocalSocketAddress(local, length);
        listenPort = ntohs(local.sin_port);
    }
    sockaddr_in control{};
    socklen_t length = sizeof control;
    (void)controlSocket_->LocalSocketAddress(control, length);
    const auto* a = reinterpret_cast<const unsigned char*>(&control.sin_addr.s_addr);
    char command[96];
    if (request_.Passive) {
        std::snprintf(command, sizeof command, "PASV");
    } else if (controlSocket_->IsIPv6()) {
        std::snprintf(command, sizeof command, "%s", ActivePortCommand(listenPort).c_str());
    } else if (controlSocket_->SocketAddress().sin_addr.s_addr == htonl(INADDR_LOOPBACK)) {
        std::snprintf(command, sizeof command, "PORT 127,0,0,1,%d,%d", listenPort / 256, listenPort % 256);
    } else {
        std::snprintf(command, sizeof command, "PORT %d,%d,%d,%d,%d,%d", a[0], a[1], a[2], a[3], listenPort / 256,
                      listenPort % 256);
    }
    currentStep_ = TFtpStep::Port;
    ExecuteCommand(ftpReqPort, command, {200, 227});
}

// Anyone who can reach the listening socket could race the server to it and
// supply a download or take an upload: a connection from another address
// is refused and logged, and the socket listens on until the time-out.
bool TCustomFtpCli::FromControlPeer(platform::SocketHandle Accepted) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    std::string text = "?";
    if (getpeername(Accepted, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
        text = platform::WsAddressText(reinterpret_cast<const sockaddr*>(&peer));
    if (text != "?" && text == controlSocket_->PeerAddressText()) return true;
    Display("! Refused a data connection from " + text + ": it is not the server's address");
    (void)platform::WsCloseSocket(Accepted);
    return false;
}

// The listening socket is closed once the server's connection is taken from
// it; a failed accept ends the transfer.
platform::SocketHandle TCustomFtpCli::AcceptDataConnection() {
    const platform::SocketHandle accepted = dataSocket_->Accept();
    if (accepted != platform::kInvalidSocket && !FromControlPeer(accepted)) return platform::kInvalidSocket;
    dataSocket_->Close();
    if (accepted == platform::kInvalidSocket)
        FailDataConnection("Unable to establish data connection, error #" + std::to_string(dataSocket_->LastError()));
    return accepted;
}

void TCustomFtpCli::BindDataAccept(Handler Accept) {
    dataSocket_->OnSessionAvailable = [this, Accept](TCustomWSocket*, std::uint16_t) {
        DataEvent([this, Accept] { (this->*Accept)(); });
    };
}

// Once the transfer step has completed (well or not), the data socket's
// late events must not touch its result or its files.
void TCustomFtpCli::DataEvent(const std::function<void()>& Body) {
    if (transferLive_) Guarded(Body);
}

// The data connection always goes to the address the control connection was
// made to; the address numbers of the 227 reply are not trusted.
bool TCustomFtpCli::PassivePort(int& PortNumber) {
    if (ParsePasvPort(savedPasvReply_, PortNumber) || ParseEpsvPort(savedPasvReply_, PortNumber)) return true;
    FailDataConnection("Unable to establish data connection, bad passive reply: " + savedPasvReply_);
    return false;
}

bool TCustomFtpCli::ConnectPassive(int PortNumber) {
    try {
        dataSocket_->SetPort(std::to_string(PortNumber));
        dataSocket_->SetAddr(controlSocket_->Addr());
        dataSocket_->SetLingerOnOff(wsLingerOff);
        dataSocket_->SetLingerTimeout(0);
        ApplyProxy(*dataSocket_);
        dataSocket_->Connect();
        return true;
    } catch (const ESocketException&) {
        FailDataConnection("Unable to establish data connection, error #" + std::to_string(dataSocket_->LastError()));
        return false;
    }
}

void TCustomFtpCli::FailDataConnection(const std::string& Line) {
    SetFailure(550, Line);
    dataFailed_ = true;
    // The server answers the transfer command whatever happened to the data
    // connection; ending before that reply would make it the answer to the
    // next command. The wait is bounded by the caller's time-out.
    const bool replyAwaited = transferCommandSent_ && controlConnected_ && fNext_ != nullptr && !finalReplyOk_;
    const std::weak_ptr<bool> alive = alive_;
    CloseLocalStream();
    CloseDataSocket();
    if (alive.expired() || replyAwaited) return;
    FinishStep(550);
}

// The transfer command's reply has come after the data connection failed.
void TCustomFtpCli::FinishAfterDataFailure() {
    fNext_ = nullptr;
    resultCode_ = 550;
    FinishStep(550);
}

void TCustomFtpCli::TryFinishTransfer(bool DataClosed) {
    if (!finalReplyOk_ || !DataClosed) return;
    if (dataFailed_) {
        FinishAfterDataFailure();
        return;
    }
    DisplayTransferStats();
    request_.ResumeAt = 0;
    int error = dataCloseError_;
    if (!localFailure_.empty()) {
        // The server saw a complete transfer, but the local side did not.
        if (errorMessage_.empty()) errorMessage_ = localFailure_;
        error = 426;
    }
    resultCode_ = error;
    FinishStep(static_cast<std::uint16_t>(error));
}

// The transfer command itself was refused (no 125 or 150).
void TCustomFtpCli::FailFirstTransferReply() {
    if (dataFailed_) {
        FinishAfterDataFailure();
        return;
    }
    RecordFailure();
    fNext_ = nullptr;
    CloseDataSocket();
    CloseLocalStream();
    request_.ResumeAt = 0;
    resultCode_ = statusCode_;
    FinishStep(static_cast<std::uint16_t>(statusCode_));
}

void TCustomFtpCli::FailFinalTransferReply(const char* Shown) {
    RecordFailure();
    CloseLocalStream();
    CloseDataSocket();
    Display(Shown);
    resultCode_ = statusCode_;
    FinishStep(static_cast<std::uint16_t>(statusCode_));
}

void TCustomFtpCli::RecordLocalFailure(const std::string& Line) {
    if (localFailure_.empty()) localFailure_ = Line;
}

void TCustomFtpCli::CloseLocalStream() {
    if (!localStream_) return;
    if (pendingTruncate_) {
        // The server never accepted the download: the file stays as it was.
        pendingTruncate_ = false;
        localStream_->Discard();
        localStream_.reset();
        return;
    }
    const bool closed = localStream_->Close();
    localStream_.reset();
    if (!closed) RecordLocalFailure("426 Error writing local file " + request_.LocalFileName);
}

// A download from the start empties its local file only now that the server
// has accepted it (its 125 or 150, or its first data): a refusal leaves the
// user's file whole.
bool TCustomFtpCli::StartLocalWrite() {
    if (!pendingTruncate_) return true;
    pendingTruncate_ = false;
    if (!localStream_ || localStream_->Truncate()) return true;
    Display("! Error writing local file");
    RecordLocalFailure("426 Error writing local file " + request_.LocalFileName);
    CloseDataSocket();
    return false;
}

void TCustomFtpCli::CloseDataSocket() {
    if (dataSocket_->State() != wsClosed) dataSocket_->Close();
}

bool TCustomFtpCli::NotifyProgress() {
    if (!OnProgress) return true;
    progressCount_ = byteCount_ + request_.ResumeAt;
    bool abort = false;
    const std::weak_ptr<bool> alive = alive_;
    OnProgress(this, byteCount_ + request_.ResumeAt, abort);
    if (alive.expired()) return false;
    if (!abort) return true;
    Display("! Abort requested");
    RecordLocalFailure("426 Operation aborted.");
    CloseDataSocket();
    return false;
}

void TCustomFtpCli::AbortTransfer() {
    if (dataSocket_->State() == wsClosed) return;
    Display("! Abort requested");
    RecordLocalFailure("426 Operation aborted.");
    CloseDataSocket();
}

std::string TCustomFtpCli::TransferStatsLine(std::int64_t Bytes, std::uint32_t ElapsedMs) {
    const std::int64_t elapsed = ElapsedMs;
    std::string line = "! " + std::to_string(Bytes) + " bytes received/sent in " + std::to_string(elapsed / 1000) + " seconds";
    if (elapsed != 0) {
        // Dividing first for larger counts is the established formula; it
        // rounds the rate down to whole kilobytes per second.
        const std::int64_t rate = Bytes <= 32767 ? Bytes * 1000 / elapsed : (Bytes / elapsed) * 1000;
        line += " (" + std::to_string(rate) + " Bytes/sec)";
    }
    return line;
}

void TCustomFtpCli::DisplayTransferStats() {
    endTick_ = platform::GetTickCount();
    Display(TransferStatsLine(byteCount_, endTick_ - startTick_));
}

// The state every transfer starts from, whichever way its bytes go.
void TCustomFtpCli::BeginTransferState() {
    finalReplyOk_ = false;
    doneSignalled_ = false;
    byteCount_ = 0;
    progressCount_ = -1;
    dataCloseError_ = 0;
    localFailure_.clear();
    transferRequest_ = true;
    transferLive_ = true;
    transferCommandSent_ = false;
    dataFailed_ = false;
    pendingTruncate_ = false;
    transferAccepted_ = false;
    announcedSize_ = -1;
    resumedAt_ = std::max<std::int64_t>(request_.ResumeAt, 0);
}
