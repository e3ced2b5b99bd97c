// The control connection: opening (lookup, connect, greeting), turning its
// bytes into reply lines, its close, and the local abort.
#include "ftp/Ftpcli.h"

std::string TCustomFtpCli::WinsockFailureLine(int Error) const {
    return "500 " + SocketErrorText(Error) + " (Winsock error #" + std::to_string(Error) + ")";
}

void TCustomFtpCli::BeginOpen() {
    if (state_ != ftpStateReady && state_ != ftpStateBetweenSteps) throw FtpException("FTP component not ready");
    if (controlConnected_) throw FtpException("FTP component already connected");
    if (!inSequence_) requestType_ = ftpReqOpen;
    doneSignalled_ = false;
    receiveBuffer_.Clear();
    resultCode_ = 0;
    SetState(ftpStateResolving);
    try {
        // A dotted address is answered inside this call.
        controlSocket_->StartDnsLookup(HostName);
    } catch (const ESocketException& error) {
        // An empty host name is refused by the socket; without this the
        // engine would stay in the resolving state for good.
        SetState(ftpStateReady);
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
    try {
        controlSocket_->SetAddr(controlSocket_->DnsResult());
        controlSocket_->SetProto("tcp");
        controlSocket_->SetPort(Port);
        SetState(ftpStateConnecting);
        controlSocket_->Connect();
    } catch (const ESocketException& error) {
        // A port that does not resolve or a connect refused at once: reported
        // like a failed connection instead of escaping the lookup event.
        const int code = controlSocket_->LastError() != 0 ? controlSocket_->LastError() : platform::WSAEINVAL;
        Display(std::string("! ") + error.what());
        ControlConnectFailed(static_cast<std::uint16_t>(code));
    }
}

void TCustomFtpCli::ControlSessionConnected(std::uint16_t Error) {
    if (Error != 0) {
        ControlConnectFailed(Error);
        return;
    }
    controlConnected_ = true;
}

void TCustomFtpCli::ControlConnectFailed(std::uint16_t Error) {
    lastResponse_ = WinsockFailureLine(Error);
    statusCode_ = 500;
    sequenceContinuation_ = false;
    FinishStep(Error);
    if (controlSocket_->State() != wsClosed) controlSocket_->Close();
    SetState(ftpStateReady);
}

void TCustomFtpCli::ControlDataAvailable(std::uint16_t Error) {
    if (receiveBuffer_.FreeCount() == 0) {
        controlSocket_->Close();
        return;
    }
    const int received = controlSocket_->Receive(receiveBuffer_.FreeSpace(), receiveBuffer_.FreeCount());
    if (received == 0) {
        controlSocket_->Close();
        return;
    }
    if (received < 0) return;
    receiveBuffer_.Commit(received);
    const std::weak_ptr<bool> alive = alive_;
    while (receiveBuffer_.TakeLine(lastResponse_)) {
        if (OnResponse) OnResponse(this);
        if (alive.expired()) return;
        DispatchReplyLine(Error);
        if (alive.expired()) return;
        if (controlSocket_->State() == wsClosed) {
            // Nothing that was buffered behind a refused greeting or the
            // reply to QUIT belongs to a later session.
            receiveBuffer_.Clear();
            return;
        }
    }
    // A full buffer without a line end cannot become a reply: the server is
    // not speaking FTP.
    if (receiveBuffer_.FreeCount() == 0) controlSocket_->Close();
}

void TCustomFtpCli::DispatchReplyLine(std::uint16_t Error) {
    switch (state_) {
        case ftpStateConnecting: GreetingLine(Error); break;
        case ftpStateWaitingReply:
            if (fNext_ == nullptr) throw FtpException("Program error: FNext is nil");
            try {
                (this->*fNext_)();
            } catch (const std::exception& error) {
                FailFromException(error);
            }
            break;
        default: Display("< " + lastResponse_); break;
    }
}

void TCustomFtpCli::GreetingLine(std::uint16_t Error) {
    Display("< " + lastResponse_);
    if (!IsFinalLine()) return;
    if (statusCode_ != 220) {
        RecordFailure();
        resultCode_ = statusCode_;
        controlSocket_->Close();
        return;
    }
    SetState(ftpStateConnected);
    if (OnSessionConnected) OnSessionConnected(this, Error);
    FinishStep(0);
}

void TCustomFtpCli::ControlSessionClosed(std::uint16_t Error) {
    // A close while a greeting or a reply is still awaited must not end the
    // request with the previous command's success.
    const bool replyAwaited =
        (state_ == ftpStateWaitingReply && fNext_ != nullptr) || (state_ == ftpStateConnecting && controlConnected_);
    if (replyAwaited && resultCode_ == 0) {
        lastResponse_ = "421 Connection closed by server";
        statusCode_ = 421;
        RecordFailure();
        resultCode_ = 421;
    }
    if (controlConnected_) {
        controlConnected_ = false;
        if (state_ != ftpStateAborting) SetState(ftpStateDisconnected);
        if (OnSessionClosed) OnSessionClosed(this, Error);
    }
    if (state_ != ftpStateAborting) SetState(ftpStateBetweenSteps);
    FinishStep(static_cast<std::uint16_t>(resultCode_));
}

void TCustomFtpCli::AbortSession() {
    const bool wasResolving = state_ == ftpStateResolving;
    SetState(ftpStateAborting);
    if (wasResolving) controlSocket_->CancelLookup();
    if (controlSocket_->State() != wsClosed) controlSocket_->Close();
    CloseDataSocket();
    localStream_.reset();
    controlConnected_ = false;
    SetState(ftpStateReady);
}
