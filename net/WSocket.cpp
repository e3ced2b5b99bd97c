// Construction, properties, state, error reporting and message dispatch of
// TCustomWSocket.
#include "net/WSocket.h"

#include <sys/socket.h>

#include <cstdarg>
#include <cstdio>

#include "net/WSocketText.h"

bool WinsockStarted = false;
int LiveSocketCount = 0;

TCustomWSocket::TCustomWSocket() : window_(std::make_unique<platform::MessageWindow>(this)) {
    TCustomWSocket::ResetToDefaults();
    ++LiveSocketCount;
    // Socket library start-up is a no-op here; the flag is kept because
    // callers look at it.
    WinsockStarted = true;
}

TCustomWSocket::~TCustomWSocket() {
    destroying_ = true;
    try {
        CancelLookup();
    } catch (...) {
    }
    if (state_ != wsClosed || hSocket_ != platform::kInvalidSocket) {
        try {
            CloseConnection(true, 0);
        } catch (...) {
        }
        if (hSocket_ != platform::kInvalidSocket) (void)platform::WsCloseSocket(hSocket_);
    }
    if (--LiveSocketCount <= 0) {
        WinsockStarted = false;
        LiveSocketCount = 0;
    }
    ClearSendBuffer();
    *alive_ = false;
    alive_.reset();
    window_.reset();
}

void TCustomWSocket::ResetToDefaults() {
    sin_ = sockaddr_in{};
    sin_.sin_family = AF_INET;
    sin6_ = sockaddr_in6{};
    sin6_.sin6_family = AF_INET6;
    ipv6_ = false;
    addrAssigned_ = addrResolved_ = false;
    portAssigned_ = portResolved_ = false;
    protoStr_ = "tcp";
    protoAssigned_ = protoResolved_ = true;
    protoNumber_ = 6;
    socketType_ = SOCK_STREAM;
    lingerOnOff_ = wsLingerOn;
    lingerTimeout_ = 0;
    hSocket_ = platform::kInvalidSocket;
    writeNoticeFor_ = platform::kInvalidSocket;
    readNoticeFor_ = platform::kInvalidSocket;
    state_ = wsClosed;
    allSent_ = true;
    paused_ = false;
    readCount_ = 0;
    closeReported_ = false;
    stalled_.clear();
}

// ---- property setters ------------------------------------------------------

bool TCustomWSocket::AcceptTextProperty(const std::string& Value, std::string& Stored, bool Assigned, const char* Name) {
    if (Assigned && Value == Stored) return false;
    if (state_ != wsClosed) {
        ReportError(std::string("Cannot change ") + Name + " if not closed");
        return false;
    }
    Stored = net::Trim(Value);
    return true;
}

void TCustomWSocket::SetAddr(const std::string& Value) {
    if (!AcceptTextProperty(Value, addrStr_, addrAssigned_, "Addr")) return;
    addrAssigned_ = !addrStr_.empty();
    addrResolved_ = false;
}

void TCustomWSocket::SetPort(const std::string& Value) {
    if (!AcceptTextProperty(Value, portStr_, portAssigned_, "Port")) return;
    portAssigned_ = !portStr_.empty();
    portResolved_ = false;
}

void TCustomWSocket::SetProto(const std::string& Value) {
    if (!AcceptTextProperty(Value, protoStr_, protoAssigned_, "Proto")) return;
    protoAssigned_ = !protoStr_.empty();
    protoResolved_ = false;
}

TSocketSendFlags TCustomWSocket::SendFlags() {
    if (sendFlags_ == 0) return wsSendNormal;
    if (sendFlags_ == MSG_OOB) return wsSendUrgent;
    ReportError("Invalid internal SendFlags");
    return wsSendNormal;
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags Value) {
    switch (Value) {
        case wsSendNormal: sendFlags_ = 0; return;
        case wsSendUrgent: sendFlags_ = MSG_OOB; return;
    }
    ReportError("Invalid SendFlags");
}

void TCustomWSocket::SetState(TSocketState NewState) {
    const TSocketState oldState = state_;
    state_ = NewState;
    NotifyChangeState(oldState, NewState);
}

// ---- error reporting -------------------------------------------------------

void TCustomWSocket::ReportError(const std::string& Msg) {
    if (OnError) {
        NotifyError();
        return;
    }
    throw ESocketException(Msg);
}

void TCustomWSocket::ReportErrorFmt(const char* Format, ...) {
    char text[1024];
    va_list args;
    va_start(args, Format);
    std::vsnprintf(text, sizeof text, Format, args);
    va_end(args);
    ReportError(text);
}

void TCustomWSocket::ReportSocketError(const std::string& Label) {
    const int code = platform::WSAGetLastError();
    const std::string text = net::SocketErrorMessage(code, Label);
    if (code == platform::WSAECONNRESET || code == platform::WSAENOTCONN) {
        if (hSocket_ != platform::kInvalidSocket) (void)platform::WsCloseSocket(hSocket_);
        hSocket_ = platform::kInvalidSocket;
        const auto alive = AliveToken();
        SetState(wsClosed);
        if (alive.expired()) return;
    }
    lastError_ = code;
    ReportError(text);
}

// ---- notification hooks ----------------------------------------------------

bool TCustomWSocket::NotifyDataAvailable(std::uint16_t Error) {
    if (!OnDataAvailable) return false;
    OnDataAvailable(this, Error);
    return true;
}

void TCustomWSocket::NotifySessionAvailable(std::uint16_t Error) {
    if (OnSessionAvailable) OnSessionAvailable(this, Error);
}

void TCustomWSocket::NotifySessionConnected(std::uint16_t Error) {
    if (OnSessionConnected) OnSessionConnected(this, Error);
}

void TCustomWSocket::NotifySessionClosed(std::uint16_t Error) {
    if (OnSessionClosed) OnSessionClosed(this, Error);
}

void TCustomWSocket::NotifyDataSent(std::uint16_t Error) {
    if (OnDataSent) OnDataSent(this, Error);
}

// A socket being destroyed has already lost its derived parts; handlers must
// not see it half-gone.
void TCustomWSocket::NotifyChangeState(TSocketState OldState, TSocketState NewState) {
    if (OnChangeState && !destroying_) OnChangeState(this, OldState, NewState);
}

void TCustomWSocket::NotifyDnsLookupDone(std::uint16_t Error) {
    if (OnDnsLookupDone) OnDnsLookupDone(this, Error);
}

void TCustomWSocket::NotifyError() {
    if (OnError) OnError(this);
}

// ---- message dispatch ------------------------------------------------------

platform::LParam TCustomWSocket::HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) {
    switch (Msg) {
        case SocketEventMessage: HandleSocketEvent(wParam, lParam); break;
        case LookupDoneMessage: HandleLookupDone(wParam, lParam, false); break;
        case ReverseLookupDoneMessage: HandleLookupDone(wParam, lParam, true); break;
        default: break;
    }
    return 0;
}

// Every step re-checks that the object still exists and still owns the handle
// the event was for: a handler may have destroyed, closed or reconnected it.
void TCustomWSocket::HandleSocketEvent(platform::WParam Handle, platform::LParam Events) {
    const auto handle = static_cast<platform::SocketHandle>(Handle);
    const long bits = platform::LowWord(Events);
    if ((bits & platform::FD_WRITE) && handle == writeNoticeFor_) writeNoticeFor_ = platform::kInvalidSocket;
    if ((bits & platform::FD_READ) && handle == readNoticeFor_) readNoticeFor_ = platform::kInvalidSocket;
    if (handle != hSocket_ || hSocket_ == platform::kInvalidSocket || paused_) return;
    const std::uint16_t error = platform::HighWord(Events);
    const auto alive = AliveToken();
    const auto lost = [&] { return alive.expired() || hSocket_ != handle; };

    if (bits & platform::FD_CONNECT) {
        SetState(wsConnected);
        if (lost()) return;
        NotifySessionConnected(error);
        if (lost()) return;
        if (error != 0 && state_ != wsClosed) Close();
        if (lost()) return;
    }
    if (bits & platform::FD_READ) {
        ReceiveLoop(error, true);
        if (lost()) return;
    }
    if (bits & platform::FD_WRITE) {
        TryToSend();
        if (lost()) return;
        if (allSent_) NotifyDataSent(error);
        if (lost()) return;
    }
    if (bits & platform::FD_ACCEPT) {
        NotifySessionAvailable(error);
        if (lost()) return;
    }
    if ((bits & platform::FD_CLOSE) && state_ != wsConnecting) {
        ReceiveLoop(0);
        if (lost()) return;
        if (OnSessionClosed && !closeReported_) {
            closeReported_ = true;
            NotifySessionClosed(error);
            if (lost()) return;
        }
        if (state_ != wsClosed) Close();
    }
}
