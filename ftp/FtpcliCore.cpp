// The engine object itself: construction, properties, state, display and
// completion signalling.
#include <algorithm>

#include "ftp/Ftpcli.h"
#include "platform/Ticks.h"

TCustomFtpCli::TCustomFtpCli()
    : window_(std::make_unique<platform::MessageWindow>(this)),
      controlSocket_(std::make_unique<TWSocket>()),
      dataSocket_(std::make_unique<TWSocket>()) {
    controlSocket_->OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t Error) { ControlDnsLookupDone(Error); };
    controlSocket_->OnSessionConnected = [this](TCustomWSocket*, std::uint16_t Error) { ControlSessionConnected(Error); };
    controlSocket_->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t Error) { ControlDataAvailable(Error); };
    controlSocket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t Error) { ControlSessionClosed(Error); };
    controlSocket_->OnSslHandshakeDone = [this](TCustomWSocket*, std::uint16_t Error) { ControlSslHandshakeDone(Error); };
    // The proxy's own words say more than the error number that follows.
    controlSocket_->OnSocksError = [this](TCustomWSocket*, int, const std::string& Msg) {
        socksFailure_ = Msg;
        Display("! SOCKS 5 proxy: " + Msg);
    };
    dataSocket_->OnSocksError = [this](TCustomWSocket*, int, const std::string& Msg) { Display("! SOCKS 5 proxy: " + Msg); };
}

TCustomFtpCli::~TCustomFtpCli() {
    // Messages still queued for the window are dropped from here on, and the
    // sockets must not call back into a half-destroyed engine.
    window_.reset();
    for (TWSocket* socket : {controlSocket_.get(), dataSocket_.get()}) {
        socket->OnDnsLookupDone = nullptr;
        socket->OnSessionConnected = nullptr;
        socket->OnSessionAvailable = nullptr;
        socket->OnDataAvailable = nullptr;
        socket->OnDataSent = nullptr;
        socket->OnSessionClosed = nullptr;
        socket->OnSslHandshakeDone = nullptr;
        socket->OnSocksError = nullptr;
    }
    localStream_.reset();
}

TFtpShareMode TCustomFtpCli::ShareMode() const {
    switch (shareFlags_) {
        case 0x00: return ftpShareCompat;
        case 0x20: return ftpShareDenyWrite;
        case 0x30: return ftpShareDenyRead;
        case 0x40: return ftpShareDenyNone;
        default: return ftpShareExclusive;
    }
}

void TCustomFtpCli::SetShareMode(TFtpShareMode Value) {
    switch (Value) {
        case ftpShareCompat: shareFlags_ = 0x00; break;
        case ftpShareDenyWrite: shareFlags_ = 0x20; break;
        case ftpShareDenyRead: shareFlags_ = 0x30; break;
        case ftpShareDenyNone: shareFlags_ = 0x40; break;
        default: shareFlags_ = 0x10; break;
    }
}

platform::LParam TCustomFtpCli::HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam) {
    if (Msg == RequestDoneMessage) {
        // The request type is read now, not when the request ended: a caller
        // that starts the next request first sees that one's type here.
        if (OnRequestDone) OnRequestDone(this, requestType_, static_cast<std::uint16_t>(wParam));
    } else if (Msg == NextAddressMessage) {
        if (!nextAddressPosted_ || state_ != ftpStateConnecting) return 0;
        nextAddressPosted_ = false;
        ConnectControlTo(addressIndex_ + 1);
    } else if (Msg == StartSendMessage) {
        DataEvent([this] {
            startTick_ = platform::GetTickCount();
            SendNextBlock(0);
        });
    }
    return 0;
}

bool TCustomFtpCli::SetState(TFtpState NewState) {
    if (NewState == state_) return true;
    state_ = NewState;
    if (!OnStateChange) return true;
    const std::weak_ptr<bool> alive = alive_;
    OnStateChange(this);
    return !alive.expired();
}

void TCustomFtpCli::SendCommand(std::string Cmd) {
    if (OnCommand) OnCommand(this, Cmd);
    NotifyDisplay("> " + Cmd);
    if (controlSocket_->State() == wsConnected) (void)controlSocket_->SendText(Cmd + "\r\n");
}

void TCustomFtpCli::NotifyDisplay(const std::string& Msg) {
    if (!OnDisplay) return;
    std::string text = Msg;
    OnDisplay(this, text);
}

void TCustomFtpCli::NotifyDisplayFile(const std::string& Msg) {
    if (!OnDisplayFile) return;
    std::string text = Msg;
    OnDisplayFile(this, text);
}

bool TCustomFtpCli::NotifyReadyToTransmit() {
    bool cancel = false;
    if (OnReadyToTransmit) OnReadyToTransmit(this, cancel);
    return cancel;
}

void TCustomFtpCli::RecordFailure() {
    if (errorMessage_.empty()) errorMessage_ = lastResponse_;
}

void TCustomFtpCli::SetFailure(int Code, const std::string& Line) {
    lastResponse_ = Line;
    statusCode_ = Code;
    RecordFailure();
    resultCode_ = Code;
}

bool TCustomFtpCli::TakeFinalReply() {
    const std::uint32_t request = requestSerial_;
    Display("< " + lastResponse_);
    return lineFinal_ && request == requestSerial_;
}

void TCustomFtpCli::FinishStep(std::uint16_t Error) {
    if (doneSignalled_) return;
    doneSignalled_ = true;
    if (!CloseLeftForTheTransferEnd()) return;
    // Whatever the data socket reports from here on is no longer this
    // step's business.
    transferLive_ = false;
    if (Error == 0 && sequenceContinuation_) {
        if (state_ != ftpStateAborting && !SetState(ftpStateBetweenSteps)) return;
        NextStep();
        return;
    }
    // Everything is settled before the state says ready, so that a handler
    // of that change sees an ended request and no later event can alter it.
    ++requestSerial_;
    CloseDataSocket();
    ReleaseTransfer();
    if (inSequence_ && savedStatusCode_ >= 0) {
        lastResponse_ = savedReply_;
        statusCode_ = savedStatusCode_;
    }
    inSequence_ = false;
    pendingSteps_ = 0;
    sequenceContinuation_ = false;
    if (!SetState(ftpStateReady)) return;
    (void)window_->Post(RequestDoneMessage, Error, 0);
}

void TCustomFtpCli::ReleaseTransfer() {
    CloseLocalStream();
    transferBlock_.reset();
    textBlock_.reset();
    pipe_.reset();
    transferLive_ = false;
    if (transferRequest_) ResumeAt = request_.ResumeAt = 0;
    transferRequest_ = false;
}

char* TCustomFtpCli::TransferBlock() {
    if (!transferBlock_) transferBlock_ = std::make_unique_for_overwrite<char[]>(std::max(kReceiveBlock, kSendBlock));
    return transferBlock_.get();
}

char* TCustomFtpCli::TextBlock() {
    // A CR held back from the block before, or every LF doubled.
    if (!textBlock_) textBlock_ = std::make_unique_for_overwrite<char[]>(std::max(kReceiveBlock + 1, 2 * kSendBlock));
    return textBlock_.get();
}

void TCustomFtpCli::Guarded(const std::function<void()>& Body) {
    try {
        Body();
    } catch (const std::exception& error) {
        FailFromException(error);
    }
}

void TCustomFtpCli::FailFromException(const std::exception& Error) {
    Display(std::string("! ") + Error.what());
    transferLive_ = false;
    CloseLocalStream();
    CloseDataSocket();
    // A sequence whose first step raised is still ready, but it was started
    // and must end, or its remaining steps would run inside a later request.
    if (state_ == ftpStateReady && !inSequence_) return;
    EndWithLocalFailure(500, std::string("500 ") + Error.what());
}

void TCustomFtpCli::EndWithLocalFailure(int Code, const std::string& Line) {
    SetFailure(Code, Line);
    doneSignalled_ = false;
    sequenceContinuation_ = false;
    FinishStep(static_cast<std::uint16_t>(Code));
}
