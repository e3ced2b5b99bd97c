// The control connection: opening (lookup, connect, greeting), turning its
// bytes into reply lines, its close, and the local abort.
#include "ftp/Ftpcli.h"

std::string TCustomFtpCli::WinsockFailureLine(int Error) const {
    return "500 " + SocketErrorText(Error) + " (Winsock error #" + std::to_string(Error) + ")";
}

namespace {

// RFC 959 replies carry three-digit codes from 1yz to 5yz. Anything else is
// no reply, and must never pass for success through its low 16 bits.
bool IsReplyCode(int Code) { return Code >= 100 && Code <= 599; }

}  // namespace

void TCustomFtpCli::BeginOpen() {
    if (state_ != ftpStateReady && state_ != ftpStateBetweenSteps) throw FtpException("FTP component not ready");
    if (controlConnected_) throw FtpException("FTP component already connected");
    if (!inSequence_) requestType_ = ftpReqOpen;
    doneSignalled_ = false;
    receiveBuffer_.Clear();
    multiLineCode_ = 0;
    closePending_ = false;
    closeAfterTransfer_ = false;
    closingControl_ = false;
    resultCode_ = 0;
    nextAddressPosted_ = false;
    socksFailure_.clear();
    if (OpenThroughProxy()) return;
    if (!SetState(ftpStateResolving)) return;
    try {
        // A dotted address is answered inside this call.
        controlSocket_->StartDnsLookup(HostName);
    } catch (const ESocketException& error) {
        // An empty host name is refused by the socket; without this the
        // engine would stay in the resolving state for good.
        if (!SetState(ftpStateReady)) return;
        throw FtpException(error.what());
    }
}

void TCustomFtpCli::ControlDnsLookupDone(std::uint16_t Error) {
    if (Error != 0) {
        lastResponse_ = WinsockFailureLine(Error);
        statusCode_ = 500;
        RecordFailure();
        FinishStep(Error);
        return;
    }
    addresses_ = controlSocket_->DnsResultAll();
    if (addresses_.empty()) addresses_ = {controlSocket_->DnsResult()};
    ConnectControlTo(0);
}

void TCustomFtpCli::ConnectControlTo(std::size_t Index) {
    addressIndex_ = Index;
    try {
        controlSocket_->SetAddr(addresses_[Index]);
        controlSocket_->SetProto("tcp");
        controlSocket_->SetPort(Port);
        ApplyProxy(*controlSocket_);
        if (!SetState(ftpStateConnecting)) return;
        controlSocket_->Connect();
    } catch (const ESocketException& error) {
        // A port that does not resolve or a connect refused at once: reported
        // like a failed connection instead of escaping the lookup event.
        const int code = controlSocket_->LastError() != 0 ? controlSocket_->LastError() : platform::WSAEINVAL;
        Display(std::string("! ") + error.what());
        if (PostNextAddress(static_cast<std::uint16_t>(code))) return;
        ControlConnectFailed(static_cast<std::uint16_t>(code));
    }
}

void TCustomFtpCli::ControlSessionConnected(std::uint16_t Error) {
    if (Error != 0) {
        if (PostNextAddress(Error)) return;
        ControlConnectFailed(Error);
        return;
    }
    controlConnected_ = true;
    epsvRefused_ = false;
    wireType_ = 'A';  // RFC 959: every session starts in ASCII
    dataProtected_ = false;
    controlCertificate_.clear();
    if (Encryption == ftpTlsImplicit) StartControlTls();
}

void TCustomFtpCli::ControlConnectFailed(std::uint16_t Error) {
    lastResponse_ = socksFailure_.empty() ? WinsockFailureLine(Error) : "500 SOCKS 5 proxy: " + socksFailure_;
    statusCode_ = 500;
    sequenceContinuation_ = false;
    const std::weak_ptr<bool> alive = alive_;
    FinishStep(Error);
    if (alive.expired()) return;
    CloseControl();
    if (alive.expired()) return;
    (void)SetState(ftpStateReady);
}

void TCustomFtpCli::ControlDataAvailable(std::uint16_t Error) {
    if (receiving_) {
        // Raised again from a handler that pumps messages while a line is
        // being handled: the bytes wait in the buffer until that line is done.
        (void)ReceiveReplyBytes();
        return;
    }
    if (!ReceiveReplyBytes()) {
        if (receiveBuffer_.FreeCount() != 0) {
            // The server's end of the session, closed on our side as its close.
            controlSocket_->Close();
            return;
        }
        CloseForOverlongLine();
        CloseControl();
        return;
    }
    HandleBufferedReplies(Error);
}

// The reply lines waiting in the buffer, with the hold on nested receives
// set while they are handled.
void TCustomFtpCli::HandleBufferedReplies(std::uint16_t Error) {
    const std::weak_ptr<bool> alive = alive_;
    receiving_ = true;
    bool kept = false;
    try {
        kept = HandleReplyLines(Error);
    } catch (...) {
        if (!alive.expired()) receiving_ = false;
        throw;
    }
    if (!kept) return;
    receiving_ = false;
    if (closePending_) {
        closePending_ = false;
        ControlSessionClosed(closePendingError_);
        return;
    }
    // A full buffer without a line end cannot become a reply: the server is
    // not speaking FTP.
    if (receiveBuffer_.FreeCount() == 0) {
        CloseForOverlongLine();
        CloseControl();
    }
}

// The close is ours, not the server's: the failure says why.
void TCustomFtpCli::CloseForOverlongLine() {
    if (receiveBuffer_.FreeCount() != 0 || resultCode_ != 0) return;
    lastResponse_ = "500 The server's reply line is longer than " + std::to_string(FtpReplyBuffer::kCapacity) +
                    " bytes: the connection is closed";
    statusCode_ = 500;
    Display("! " + lastResponse_);
    RecordFailure();
    resultCode_ = 500;
}

bool TCustomFtpCli::ReceiveReplyBytes() {
    if (receiveBuffer_.FreeCount() == 0) return false;
    const int received = controlSocket_->Receive(receiveBuffer_.FreeSpace(), receiveBuffer_.FreeCount());
    if (received == 0) return false;
    if (received > 0) receiveBuffer_.Commit(received);
    return true;
}

bool TCustomFtpCli::HandleReplyLines(std::uint16_t Error) {
    const std::weak_ptr<bool> alive = alive_;
    while (receiveBuffer_.TakeLine(lastResponse_)) {
        lineFinal_ = ClassifyReplyLine(lastResponse_, statusCode_, multiLineCode_);
        NotifyReplyLine();
        if (OnResponse) OnResponse(this);
        if (alive.expired()) return false;
        DispatchReplyLine(Error);
        if (alive.expired()) return false;
        if (controlSocket_->State() == wsClosed && !closePending_) {
            // Nothing that was buffered behind a refused greeting or the
            // reply to QUIT belongs to a later session.
            receiveBuffer_.Clear();
            multiLineCode_ = 0;
            break;
        }
    }
    return true;
}

void TCustomFtpCli::DispatchReplyLine(std::uint16_t Error) {
    switch (state_) {
        case ftpStateConnecting: GreetingLine(Error); break;
        case ftpStateWaitingReply:
            if (fNext_ == nullptr) return UnexpectedReplyLine();
            try {
                if (lineFinal_ && !IsReplyCode(statusCode_))
                    RejectReplyCode();
                else
                    (this->*fNext_)();
            } catch (const std::exception& error) {
                FailFromException(error);
            }
            break;
        default: UnexpectedReplyLine(); break;
    }
}

void TCustomFtpCli::UnexpectedReplyLine() {
    Display("< " + lastResponse_);
    if (!Encrypted() || !controlConnected_) return;
    FailTls("500 The server sent a reply no command asked for: the session ends");
}

void TCustomFtpCli::GreetingLine(std::uint16_t Error) {
    if (!TakeFinalReply()) return;
    if (statusCode_ != 220) {
        RecordFailure();
        resultCode_ = IsReplyCode(statusCode_) ? statusCode_ : 500;
        CloseControl();
        return;
    }
    if (!SetState(ftpStateConnected)) return;
    if (OnSessionConnected) {
        const std::weak_ptr<bool> alive = alive_;
        OnSessionConnected(this, Error);
        if (alive.expired()) return;
    }
    AfterGreeting();
}

// A final line whose code is no FTP reply code fails the command it answers
// as a protocol failure.
void TCustomFtpCli::RejectReplyCode() {
    if (!TakeFinalReply()) return;
    RecordFailure();
    fNext_ = nullptr;
    resultCode_ = 500;
    FinishStep(500);
}

void TCustomFtpCli::CloseControl() {
    if (controlSocket_->State() == wsClosed) return;
    closingControl_ = true;
    controlSocket_->Close();
}

void TCustomFtpCli::ControlSessionClosed(std::uint16_t Error) {
    // A failed attempt on one of the host's addresses, given up for the next.
    if (switchingAddress_) return;
    const bool ours = closingControl_;
    closingControl_ = false;
    if (receiving_ && !ours) {
        // The server's close arrived while a handler pumped messages: the
        // lines it sent before closing are handled first.
        closePending_ = true;
        closePendingError_ = Error;
        return;
    }
    if (!ours && TransferEndAlreadyArrived()) {
        closeAfterTransfer_ = true;
        closeAfterTransferError_ = Error;
        return;
    }
    // A close while a greeting or a reply is still awaited must not end the
    // request with the previous command's success; a close in answer to QUIT
    // is how some servers end the session.
    const bool replyAwaited = (state_ == ftpStateWaitingReply && fNext_ != nullptr && currentStep_ != TFtpStep::Quit) ||
                              (state_ == ftpStateConnecting && controlConnected_);
    if (replyAwaited && resultCode_ == 0) {
        SetFailure(421, "421 Connection closed by server");
    }
    if (!MarkControlClosed(Error)) return;
    if (state_ != ftpStateAborting && !SetState(ftpStateBetweenSteps)) return;
    FinishStep(static_cast<std::uint16_t>(resultCode_));
}

// False when a handler ended the engine or refused the state change.
bool TCustomFtpCli::MarkControlClosed(std::uint16_t Error) {
    if (!controlConnected_) return true;
    controlConnected_ = false;
    if (state_ != ftpStateAborting && !SetState(ftpStateDisconnected)) return false;
    if (!OnSessionClosed) return true;
    const std::weak_ptr<bool> alive = alive_;
    OnSessionClosed(this, Error);
    return !alive.expired();
}

// A server may end the data connection, say 226 and close the session at
// once; the close then overtakes the data still on its way. The download
// goes on to its end when that end is known: the data connection's own end
// has arrived, or the 150 announced the size that the end is checked
// against. Otherwise the close stays a failure: with no 226 to trust on a
// closed session, a short file could not be told from a whole one.
bool TCustomFtpCli::TransferEndAlreadyArrived() const {
    if (!transferLive_ || !finalReplyOk_ || dataFailed_ || dataSocket_->State() == wsClosed) return false;
    return announcedSize_ >= 0 || platform::WsPeerFinishedSending(dataSocket_->SocketHandle());
}

void TCustomFtpCli::AbortSession() {
    const std::weak_ptr<bool> alive = alive_;
    const bool wasResolving = state_ == ftpStateResolving;
    nextAddressPosted_ = false;
    if (!SetState(ftpStateAborting)) return;
    if (wasResolving) controlSocket_->CancelLookup();
    if (alive.expired()) return;
    CloseControl();
    if (alive.expired()) return;
    CloseDataSocket();
    ReleaseTransfer();
    controlConnected_ = false;
    (void)SetState(ftpStateReady);
}
