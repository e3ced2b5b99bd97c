// Opening and closing: Connect, Listen, Accept, Dup, Close and their helpers.
#include <arpa/inet.h>
#include <sys/socket.h>

#include "net/WSocket.h"
#include "net/WSocketText.h"
#include "platform/MessageLoop.h"

namespace {
constexpr long kConnectEvents =
    platform::FD_READ | platform::FD_WRITE | platform::FD_ACCEPT | platform::FD_CONNECT | platform::FD_CLOSE;
constexpr long kListenEvents = platform::FD_READ | platform::FD_WRITE | platform::FD_ACCEPT | platform::FD_CLOSE;
constexpr long kDupEvents = platform::FD_READ | platform::FD_WRITE | platform::FD_CONNECT | platform::FD_CLOSE;
constexpr int kCloseRetries = 100;
}  // namespace

void TCustomWSocket::ResolveForConnect() {
    if (!protoResolved_) {
        protoNumber_ = WSocketResolveProto(protoStr_);
        socketType_ = protoNumber_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
        protoResolved_ = true;
    }
    if (!portResolved_) {
        portNumber_ = WSocketResolvePort(portStr_, protoStr_);
        sin_.sin_port = htons(portNumber_);
        portResolved_ = true;
    }
    if (!addrResolved_) {
        // IPv6 text selects the other family; names still resolve to IPv4
        // here (callers that want both look the name up and pass each
        // address in turn).
        ipv6_ = platform::WsInet6Addr(net::Trim(addrStr_), sin6_);
        if (!ipv6_) sin_.sin_addr.s_addr = WSocketResolveHost(addrStr_);
        addrResolved_ = true;
    }
    sin6_.sin6_port = sin_.sin_port;
}

platform::SocketHandle TCustomWSocket::NewHandle() const {
    return ipv6_ ? platform::WsSocketOf(AF_INET6, socketType_, protoNumber_) : platform::WsSocket(socketType_, protoNumber_);
}

const sockaddr* TCustomWSocket::TargetAddress(socklen_t& Length) const {
    Length = ipv6_ ? sizeof sin6_ : sizeof sin_;
    return ipv6_ ? reinterpret_cast<const sockaddr*>(&sin6_) : reinterpret_cast<const sockaddr*>(&sin_);
}

bool TCustomWSocket::OpenStreamOptions() {
    if (!ApplyLingerChecked()) return false;
    const int on = 1;
    if (platform::WsSetSockOpt(hSocket_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) {
        ReportSocketError("setsockopt(SO_KEEPALIVE)");
        return false;
    }
    if (platform::WsSetSockOpt(hSocket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        ReportSocketError("setsockopt(SO_REUSEADDR)");
        return false;
    }
    return true;
}

void TCustomWSocket::Connect() {
    if (hSocket_ != platform::kInvalidSocket && state_ != wsClosed) return ReportError("Connect: Socket already in use");
    if (!portAssigned_) return ReportError("Connect: No Port Specified");
    if (!addrAssigned_) return ReportError("Connect: No IP Address Specified");
    if (!protoAssigned_) return ReportError("Connect: No Protocol Specified");
    try {
        ResolveForConnect();
    } catch (const ESocketException& e) {
        return ReportError(std::string("connect: ") + e.what());
    }
    ClearSendBuffer();
    hSocket_ = NewHandle();
    writeNoticeFor_ = platform::kInvalidSocket;
    readNoticeFor_ = platform::kInvalidSocket;
    if (hSocket_ == platform::kInvalidSocket) return ReportSocketError("Connect (socket)");
    const auto alive = AliveToken();
    const auto handle = hSocket_;
    SetState(wsOpened);
    if (alive.expired() || hSocket_ != handle) return;

    if (socketType_ == SOCK_DGRAM) {
        BindLocal();
        if (hSocket_ != handle) return;
        if (sin_.sin_addr.s_addr == INADDR_BROADCAST) {
            const int on = 1;
            if (platform::WsSetSockOpt(hSocket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
                return ReportSocketError("setsockopt(SO_BROADCAST)");
        }
        // Fixing the peer lets the event monitor report arriving datagrams;
        // sends still name the address explicitly.
        (void)platform::WsConnect(hSocket_, sin_);
    } else if (!OpenStreamOptions()) {
        return;
    }
    if (platform::WsAsyncSelect(hSocket_, window_->Handle(), SocketEventMessage, kConnectEvents) != 0)
        return ReportSocketError("WSAAsyncSelect");

    if (socketType_ == SOCK_DGRAM) {
        SetState(wsConnected);
        if (alive.expired() || hSocket_ != handle) return;
        NotifySessionConnected(0);
        return;
    }
    socklen_t targetLength = 0;
    const sockaddr* target = TargetAddress(targetLength);
    if (platform::WsConnectTo(hSocket_, target, targetLength) == 0 || platform::WSAGetLastError() == platform::WSAEWOULDBLOCK) {
        SetState(wsConnecting);
        return;
    }
    lastError_ = platform::WSAGetLastError();
    ReportSocketError("Connect");
}

void TCustomWSocket::BindLocal() {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (platform::WsBind(hSocket_, local) != 0)
        return ReportErrorFmt("winsock.bind failed, error #%d", platform::WSAGetLastError());
    socklen_t length = sizeof local;
    if (platform::WsGetSockName(hSocket_, &local, &length) != 0)
        return ReportErrorFmt("winsock.getsockname failed, error #%d", platform::WSAGetLastError());
}

void TCustomWSocket::Listen() {
    const auto refuse = [this](const char* label) {
        platform::WSASetLastError(platform::WSAEINVAL);
        ReportSocketError(label);
    };
    if (!portAssigned_) return refuse("listen: port not assigned");
    if (!protoAssigned_) return refuse("listen: protocol not assigned");
    if (!addrAssigned_) return refuse("listen: address not assigned");
    try {
        ResolveForConnect();
    } catch (const ESocketException& e) {
        return ReportError(std::string("listen: ") + e.what());
    }
    ClearSendBuffer();
    hSocket_ = NewHandle();
    writeNoticeFor_ = platform::kInvalidSocket;
    readNoticeFor_ = platform::kInvalidSocket;
    if (hSocket_ == platform::kInvalidSocket) return ReportSocketError("socket");
    socklen_t ownLength = 0;
    const sockaddr* own = TargetAddress(ownLength);
    if (platform::WsBindTo(hSocket_, own, ownLength) != 0) {
        // The state is still wsClosed here, so Close would leave the fresh
        // handle open: release it directly.
        const int error = platform::WSAGetLastError();
        (void)platform::WsCloseSocket(hSocket_);
        hSocket_ = platform::kInvalidSocket;
        platform::WSASetLastError(error);
        return ReportSocketError("Bind");
    }
    const auto alive = AliveToken();
    const auto handle = hSocket_;
    const auto gone = [&] { return alive.expired() || hSocket_ != handle; };
    SetState(wsBound);
    if (gone()) return;
    if (socketType_ == SOCK_DGRAM) {
        SetState(wsListening);
        if (gone()) return;
        SetState(wsConnected);
        if (gone()) return;
        NotifySessionConnected(0);
        if (gone()) return;
    } else {
        if (platform::WsListen(hSocket_, 5) != 0) return ReportSocketError("Listen");
        SetState(wsListening);
        if (gone()) return;
    }
    if (platform::WsAsyncSelect(hSocket_, window_->Handle(), SocketEventMessage, kListenEvents) != 0)
        ReportSocketError("WSAASyncSelect");
}

platform::SocketHandle TCustomWSocket::Accept() {
    if (state_ != wsListening) {
        platform::WSASetLastError(platform::WSAEINVAL);
        ReportSocketError("not a listening socket");
        return platform::kInvalidSocket;
    }
    sockaddr_storage peer{};
    const platform::SocketHandle accepted = platform::WsAcceptFrom(hSocket_, &peer);
    if (peer.ss_family == AF_INET6) sin6_ = *reinterpret_cast<const sockaddr_in6*>(&peer);
    if (peer.ss_family == AF_INET) sin_ = *reinterpret_cast<const sockaddr_in*>(&peer);
    if (accepted == platform::kInvalidSocket) ReportSocketError("Accept");
    return accepted;
}

void TCustomWSocket::Dup(platform::SocketHandle NewHSocket) {
    if (NewHSocket == 0 || NewHSocket == platform::kInvalidSocket) {
        platform::WSASetLastError(platform::WSAEINVAL);
        return ReportSocketError("Dup");
    }
    const auto alive = AliveToken();
    if (state_ != wsClosed) {
        if (hSocket_ != platform::kInvalidSocket && platform::WsCloseSocket(hSocket_) != 0)
            return ReportSocketError("Dup (closesocket)");
        hSocket_ = platform::kInvalidSocket;
        SetState(wsClosed);
        if (alive.expired()) return;
    }
    hSocket_ = NewHSocket;
    writeNoticeFor_ = platform::kInvalidSocket;
    readNoticeFor_ = platform::kInvalidSocket;
    if (!ApplyLingerChecked()) return;
    if (platform::WsAsyncSelect(hSocket_, window_->Handle(), SocketEventMessage, kDupEvents) != 0)
        return ReportSocketError("WSAAsyncSelect");
    SetState(wsConnected);
}

void TCustomWSocket::Shutdown(int How) {
    if (hSocket_ != platform::kInvalidSocket) (void)platform::WsShutdown(hSocket_, How);
}

void TCustomWSocket::Close() { CloseConnection(true, 0); }

void TCustomWSocket::AbortConnection() {
    CancelLookup();
    ClearSendBuffer();
    if (state_ == wsConnected) {
        lingerOnOff_ = wsLingerOff;
        ApplyLinger();
    }
    CloseConnection(false, 0);
}

bool TCustomWSocket::CloseHandleRetrying() {
    for (int attempt = 0; attempt < kCloseRetries; ++attempt) {
        if (platform::WsCloseSocket(hSocket_) == 0) return true;
        lastError_ = platform::WSAGetLastError();
        if (lastError_ == platform::WSANOTINITIALISED) return true;
        if (lastError_ != platform::WSAEWOULDBLOCK) break;
        PumpOnce();
    }
    ReportSocketError("Disconnect (closesocket)");
    return false;
}

// A handler raised here may start a new connection on this object (a fresh
// handle): the reset is skipped then, or it would orphan that handle.
void TCustomWSocket::CloseConnection(bool ShutdownFirst, std::uint16_t Error) {
    const auto alive = AliveToken();
    const auto reopened = [&] { return alive.expired() || hSocket_ != platform::kInvalidSocket; };
    if (hSocket_ == platform::kInvalidSocket) {
        if (state_ == wsClosed) return;
        SetState(wsClosed);
        if (reopened()) return;
        ResetToDefaults();
        return;
    }
    if (state_ == wsClosed) return;
    if (ShutdownFirst) Shutdown(1);
    if (!CloseHandleRetrying()) return;
    hSocket_ = platform::kInvalidSocket;
    SetState(wsClosed);
    if (reopened()) return;
    if (!destroying_ && !closeReported_ && OnSessionClosed) {
        closeReported_ = true;
        NotifySessionClosed(Error);
        if (reopened()) return;
    }
    try {
        ResetToDefaults();
    } catch (...) {
    }
}

bool TCustomWSocket::ApplyLingerChecked() {
    if (lingerOnOff_ == wsLingerNoSet) return true;
    if (hSocket_ == platform::kInvalidSocket) {
        ReportError("Cannot set linger option at this time");
        return false;
    }
    linger value{};
    value.l_onoff = lingerOnOff_ == wsLingerOn ? 1 : 0;
    value.l_linger = lingerTimeout_ & 0xFFFF;
    if (platform::WsSetSockOpt(hSocket_, SOL_SOCKET, SO_LINGER, &value, sizeof value) != 0) {
        ReportSocketError("setsockopt(SO_LINGER)");
        return false;
    }
    return true;
}

void TCustomWSocket::ApplyLinger() { (void)ApplyLingerChecked(); }

int TCustomWSocket::PauseEvents() {
    paused_ = true;
    return platform::WsAsyncSelect(hSocket_, window_->Handle(), 0, 0);
}

int TCustomWSocket::ResumeEvents() {
    paused_ = false;
    return platform::WsAsyncSelect(hSocket_, window_->Handle(), SocketEventMessage, kDupEvents);
}

std::string TCustomWSocket::PeerAddressText() {
    if (state_ != wsConnected) return "error";
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (platform::WsGetPeerName(hSocket_, reinterpret_cast<sockaddr_in*>(&peer), &length) != 0) {
        ReportSocketError("GetPeerName");
        return "error";
    }
    return platform::WsAddressText(reinterpret_cast<const sockaddr*>(&peer));
}

std::string TCustomWSocket::LocalAddressText() {
    if (hSocket_ == platform::kInvalidSocket) return {};
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (platform::WsGetSockName(hSocket_, reinterpret_cast<sockaddr_in*>(&local), &length) != 0) return {};
    return platform::WsAddressText(reinterpret_cast<const sockaddr*>(&local));
}

int TCustomWSocket::PeerSocketAddress(sockaddr_in& Addr, socklen_t& AddrLen) {
    if (state_ != wsConnected) return -1;
    return platform::WsGetPeerName(hSocket_, &Addr, &AddrLen);
}

std::string TCustomWSocket::LocalPortText() {
    if (state_ != wsBound && state_ != wsConnected && state_ != wsListening) return "error";
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (platform::WsGetSockName(hSocket_, &local, &length) != 0) return "error";
    return std::to_string(ntohs(local.sin_port));
}

int TCustomWSocket::LocalSocketAddress(sockaddr_in& Addr, socklen_t& AddrLen) {
    return platform::WsGetSockName(hSocket_, &Addr, &AddrLen);
}
