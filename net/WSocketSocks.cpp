// SOCKS 5 negotiation (RFC 1928, user/password per RFC 1929) layered on the
// asynchronous socket.
#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "net/WSocket.h"
#include "net/WSocketText.h"

namespace {

// The protocol's length fields are one byte each.
constexpr std::size_t kMaxSocksField = 255;

std::string ConnectReplyText(int code) {
    static const char* const texts[] = {"general SOCKS server failure", "connection not allowed by ruleset",
                                        "network unreachable",          "host unreachable",
                                        "connection refused",           "time to live expired",
                                        "command not supported",        "address type not supported"};
    if (code >= 1 && code <= 8) return texts[code - 1];
    return "unassigned error #" + std::to_string(code);
}

int ConnectReplyError(int code) { return code >= 1 && code <= 8 ? 20003 + code : 20012; }

}  // namespace

TCustomSocksWSocket::TCustomSocksWSocket() { TCustomSocksWSocket::ResetToDefaults(); }

void TCustomSocksWSocket::ResetToDefaults() {
    TCustomWSocket::ResetToDefaults();
    socksState_ = SocksIdle;
    socksServer_.clear();
    socksPort_.clear();
    socksServerAssigned_ = socksPortAssigned_ = false;
    rcvdCnt_ = 0;
    rcvdPtr_ = 0;
}

void TCustomSocksWSocket::SetSocksServer(const std::string& Value) {
    if (State() != wsClosed) return ReportError("Can't change socks server if not closed");
    socksServer_ = net::Trim(Value);
    socksServerAssigned_ = !socksServer_.empty();
}

void TCustomSocksWSocket::SetSocksPort(const std::string& Value) {
    if (State() != wsClosed) return ReportError("Can't change socks port if not closed");
    socksPort_ = net::Trim(Value);
    socksPortAssigned_ = !socksPort_.empty();
}

// The requests carry one-byte lengths: longer texts cannot be sent at all,
// so they are refused before any connection is made.
std::string TCustomSocksWSocket::ValidateSocksRequest() const {
    if (Addr().size() > kMaxSocksField) return "socks: Addr longer than 255 bytes";
    if (socksAuthentication_ == socksAuthenticateUsercode &&
        (socksUsercode_.size() > kMaxSocksField || socksPassword_.size() > kMaxSocksField))
        return "socks: user code or password longer than 255 bytes";
    return {};
}

void TCustomSocksWSocket::Connect() {
    if (!socksServerAssigned_) return TCustomWSocket::Connect();
    std::string proto = Proto();
    std::transform(proto.begin(), proto.end(), proto.begin(), [](unsigned char c) { return std::tolower(c); });
    if (proto != "tcp") return ReportError("tcp is the only protocol supported thru socks server");
    if (const std::string refusal = ValidateSocksRequest(); !refusal.empty()) return ReportError(refusal);
    try {
        if (!PortResolved()) {
            MutableSocketAddress().sin_port = htons(WSocketResolvePort(socksPort_, Proto()));
            SetPortResolved(true);
        }
        if (!AddrResolved()) {
            MutableSocketAddress().sin_addr.s_addr = WSocketResolveHost(socksServer_);
            SetAddrResolved(true);
        }
        SetPortNumber(WSocketResolvePort(Port(), Proto()));
        socksState_ = SocksAwaitMethod;
        rcvCnt_ = 0;
    } catch (const ESocketException& e) {
        return ReportError(std::string("connect: ") + e.what());
    }
    const auto alive = AliveToken();
    TCustomWSocket::Connect();
    if (!alive.expired() && State() == wsClosed) socksState_ = SocksIdle;
}

void TCustomSocksWSocket::Listen() {
    if (socksServerAssigned_) return ReportError("listening is not supported thru socks server");
    TCustomWSocket::Listen();
}

int TCustomSocksWSocket::RcvdCount() { return rcvdCnt_ > 0 ? rcvdCnt_ : TCustomWSocket::RcvdCount(); }

int TCustomSocksWSocket::RawReceive(void* Buffer, int BufferSize) {
    if (rcvdCnt_ <= 0) return TCustomWSocket::RawReceive(Buffer, BufferSize);
    const int count = std::max(0, std::min(BufferSize, rcvdCnt_));
    std::memcpy(Buffer, rcvBuf_ + rcvdPtr_, static_cast<std::size_t>(count));
    rcvdPtr_ += count;
    rcvdCnt_ -= count;
    return count;
}

void TCustomSocksWSocket::NotifySocksConnected(std::uint16_t Error) {
    if (OnSocksConnected) OnSocksConnected(this, Error);
}

void TCustomSocksWSocket::NotifySocksError(int Error, const std::string& Msg) {
    if (OnSocksError) OnSocksError(this, Error, Msg);
}

void TCustomSocksWSocket::NotifyAuthState(TSocksAuthState AuthState) {
    if (OnSocksAuthState) OnSocksAuthState(this, AuthState);
}

// Reported three ways, in this order: OnSocksError, OnSessionConnected, then
// OnSessionClosed through the close.
void TCustomSocksWSocket::SocksError(int Error, const std::string& Msg) {
    const auto alive = AliveToken();
    NotifySocksError(Error, Msg);
    if (alive.expired()) return;
    TCustomWSocket::NotifySessionConnected(static_cast<std::uint16_t>(Error));
    if (alive.expired()) return;
    CloseConnection(true, static_cast<std::uint16_t>(Error));
}

void TCustomSocksWSocket::NotifySessionConnected(std::uint16_t Error) {
    if (socksState_ != SocksAwaitMethod) return TCustomWSocket::NotifySessionConnected(Error);
    const auto alive = AliveToken();
    NotifySocksConnected(Error);
    if (alive.expired()) return;
    if (Error != 0) return TCustomWSocket::NotifySessionConnected(Error);
    authMethod_ = socksAuthentication_ == socksAuthenticateUsercode ? 2 : 0;
    SendSocksRequest({0x05, 0x01, static_cast<std::uint8_t>(authMethod_)});
}

void TCustomSocksWSocket::NotifySessionClosed(std::uint16_t Error) {
    // Still connected here means the proxy hung up, not our own Close.
    const bool proxyHungUp = socksState_ != SocksIdle && State() != wsClosed;
    const auto alive = AliveToken();
    if (socksState_ == SocksAwaitAuth) {
        NotifyAuthState(socksAuthRefused);
        if (alive.expired()) return;
    }
    if (proxyHungUp) {
        // The application still waits to learn how its connect ended: tell
        // it as every other negotiation failure, before the close.
        socksState_ = SocksIdle;
        const auto code = static_cast<std::uint16_t>(Error != 0 ? Error : platform::WSAECONNRESET);
        NotifySocksError(code, "socks server closed the connection");
        if (alive.expired()) return;
        TCustomWSocket::NotifySessionConnected(code);
        if (alive.expired()) return;
        Error = code;
    }
    TCustomWSocket::NotifySessionClosed(Error);
}

void TCustomSocksWSocket::SendSocksRequest(const std::vector<std::uint8_t>& Request) {
    try {
        Send(Request.data(), static_cast<int>(Request.size()));
    } catch (const ESocketException&) {
    }
}

void TCustomSocksWSocket::SocksDoAuthenticate() {
    socksState_ = SocksAwaitAuth;
    const auto alive = AliveToken();
    NotifyAuthState(socksAuthBegun);
    if (alive.expired() || socksState_ != SocksAwaitAuth) return;
    std::vector<std::uint8_t> request{0x01, static_cast<std::uint8_t>(socksUsercode_.size())};
    request.insert(request.end(), socksUsercode_.begin(), socksUsercode_.end());
    request.push_back(static_cast<std::uint8_t>(socksPassword_.size()));
    request.insert(request.end(), socksPassword_.begin(), socksPassword_.end());
    SendSocksRequest(request);
}

void TCustomSocksWSocket::SocksDoConnect() {
    socksState_ = SocksAwaitConnect;
    const std::string& target = Addr();
    std::vector<std::uint8_t> request{0x05, 0x01, 0x00, 0x03, static_cast<std::uint8_t>(target.size())};
    request.insert(request.end(), target.begin(), target.end());
    request.push_back(static_cast<std::uint8_t>(PortNumber() >> 8));
    request.push_back(static_cast<std::uint8_t>(PortNumber() & 0xFF));
    SendSocksRequest(request);
}

// Adds what the socket holds to the reply being gathered. False when nothing
// could be read (the next notification continues).
bool TCustomSocksWSocket::GatherReply() {
    const int room = static_cast<int>(sizeof rcvBuf_) - 1 - rcvCnt_;
    if (room <= 0) return false;
    const int count = Receive(rcvBuf_ + rcvCnt_, room);
    if (count <= 0) return false;
    rcvCnt_ += count;
    return true;
}

bool TCustomSocksWSocket::NotifyDataAvailable(std::uint16_t Error) {
    if (socksState_ == SocksIdle) {
        // Bytes that came with the CONNECT reply are offered until taken.
        const auto alive = AliveToken();
        for (;;) {
            const int before = rcvdCnt_;
            const bool handled = TCustomWSocket::NotifyDataAvailable(Error);
            if (alive.expired() || !handled || rcvdCnt_ == 0 || rcvdCnt_ == before) return handled;
        }
    }
    if (Error != 0) {
        SocksError(Error, "data receive error");
        return false;
    }
    if (!GatherReply()) return true;
    switch (socksState_) {
        case SocksAwaitMethod: return HandleMethodReply();
        case SocksAwaitAuth: return HandleAuthReply();
        case SocksAwaitConnect: return HandleConnectReply();
        default: break;
    }
    SocksError(20013, "internal error");
    return false;
}

bool TCustomSocksWSocket::HandleMethodReply() {
    if (rcvCnt_ < 2) return true;
    if (rcvCnt_ > 2) {
        SocksError(20001, "too much data availaible");
        return true;
    }
    rcvCnt_ = 0;
    if (rcvBuf_[0] != 0x05) {
        SocksError(20002, "socks version error");
    } else if (rcvBuf_[1] == 0x00) {
        if (authMethod_ == 2) {
            const auto alive = AliveToken();
            NotifyAuthState(socksAuthSkipped);
            if (alive.expired() || socksState_ != SocksAwaitMethod) return true;
        }
        SocksDoConnect();
    } else if (rcvBuf_[1] == 0x02) {
        SocksDoAuthenticate();
    } else {
        SocksError(20003, "authentification method not acceptable");
    }
    return true;
}

bool TCustomSocksWSocket::HandleAuthReply() {
    const auto alive = AliveToken();
    // Leaving the waiting state first keeps the close that follows from
    // reporting the refusal a second time.
    const auto refuse = [&](int error, const char* text) {
        socksState_ = SocksIdle;
        NotifyAuthState(socksAuthRefused);
        if (!alive.expired()) SocksError(error, text);
    };
    if (rcvBuf_[0] != 0x01)
        refuse(20002, "socks version error");
    else if (rcvCnt_ < 2)
        return true;
    else if (rcvCnt_ > 2)
        refuse(20001, "too much data availaible");
    else if (rcvBuf_[1] != 0x00)
        refuse(20015, "socks authentication failed");
    else {
        rcvCnt_ = 0;
        NotifyAuthState(socksAuthAccepted);
        if (!alive.expired() && socksState_ == SocksAwaitAuth) SocksDoConnect();
    }
    return true;
}

bool TCustomSocksWSocket::HandleConnectReply() {
    if (rcvBuf_[0] != 0x05) {
        SocksError(20002, "socks version error");
        return true;
    }
    if (rcvCnt_ >= 2 && rcvBuf_[1] != 0x00) {
        SocksError(ConnectReplyError(rcvBuf_[1]), ConnectReplyText(rcvBuf_[1]));
        return true;
    }
    if (rcvCnt_ < 5) return true;
    const int type = rcvBuf_[3];
    const int needed = type == 0x01 ? 10 : type == 0x03 ? 7 + rcvBuf_[4] : 5;
    if (rcvCnt_ < needed) return true;
    if (type == 0x01) {
        char dotted[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, rcvBuf_ + 4, dotted, sizeof dotted);
        boundAddr_ = dotted;
    } else if (type == 0x03) {
        boundAddr_.assign(reinterpret_cast<const char*>(rcvBuf_ + 5), rcvBuf_[4]);
    } else {
        SocksError(20011, "address type not supported");
        return true;
    }
    boundPort_ = std::to_string((rcvBuf_[needed - 2] << 8) | rcvBuf_[needed - 1]);
    return FinishConnect(needed);
}

// The leftover is in place before OnSessionConnected, so even a handler that
// reads right there gets the target's bytes in their order.
bool TCustomSocksWSocket::FinishConnect(int ReplyLength) {
    socksState_ = SocksIdle;
    rcvdCnt_ = rcvCnt_ - ReplyLength;
    rcvdPtr_ = ReplyLength;
    rcvCnt_ = 0;
    const auto alive = AliveToken();
    const auto handle = SocketHandle();
    TCustomWSocket::NotifySessionConnected(0);
    if (alive.expired() || SocketHandle() != handle) return true;
    return NotifyDataAvailable(0);
}
