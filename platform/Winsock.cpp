#include "platform/Winsock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/MessageLoop.h"
#include "platform/SocketErrors.h"
#include "platform/SocketEventMonitor.h"

namespace platform {

namespace {

SocketEventMonitor& Monitor() { return MessageLoop::Instance().Sockets(); }

int Fail() {
    WSASetLastError(ErrnoToSocketError(errno));
    return kSocketError;
}

const sockaddr* AsGeneric(const sockaddr_in& address) { return reinterpret_cast<const sockaddr*>(&address); }

}  // namespace

SocketHandle WsSocket(int type, int protocol) {
    const int handle = socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (handle < 0) return Fail();
    return handle;
}

int WsCloseSocket(SocketHandle handle) {
    Monitor().NoteClosed(handle);
    if (close(handle) != 0 && errno != EINTR) return Fail();
    return 0;
}

int WsConnect(SocketHandle handle, const sockaddr_in& address) { return WsConnectTo(handle, AsGeneric(address), sizeof address); }

int WsConnectTo(SocketHandle handle, const sockaddr* address, socklen_t length) {
    if (connect(handle, address, length) == 0) {
        Monitor().NoteConnected(handle);
        return 0;
    }
    if (errno == EINPROGRESS) {
        Monitor().NoteConnectStarted(handle);
        WSASetLastError(WSAEWOULDBLOCK);
        return kSocketError;
    }
    return Fail();
}

int WsBind(SocketHandle handle, const sockaddr_in& address) {
    return bind(handle, AsGeneric(address), sizeof address) == 0 ? 0 : Fail();
}

int WsListen(SocketHandle handle, int backlog) {
    if (listen(handle, backlog) != 0) return Fail();
    Monitor().NoteListening(handle);
    return 0;
}

SocketHandle WsAccept(SocketHandle handle, sockaddr_in* peer) {
    sockaddr_storage scratch{};
    const SocketHandle accepted = WsAcceptFrom(handle, &scratch);
    // An IPv4 peer only: the caller's room holds no other family.
    if (peer != nullptr && accepted != kInvalidSocket && scratch.ss_family == AF_INET)
        *peer = *reinterpret_cast<const sockaddr_in*>(&scratch);
    return accepted;
}

SocketHandle WsAcceptFrom(SocketHandle handle, sockaddr_storage* peer) {
    sockaddr_storage scratch{};
    socklen_t length = sizeof scratch;
    const int accepted =
        accept4(handle, reinterpret_cast<sockaddr*>(peer ? peer : &scratch), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int savedErrno = errno;
    Monitor().NoteAccepted(handle);
    if (accepted < 0) {
        errno = savedErrno;
        return Fail();
    }
    Monitor().NoteConnected(accepted);
    return accepted;
}

namespace {

// Retries a call interrupted by a signal.
template <typename Call>
ssize_t Uninterrupted(Call call) {
    ssize_t result = 0;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// Any receive, successful or not, re-arms the read notification, as the
// selection model the code follows does.
int AfterReceive(SocketHandle handle, ssize_t received) {
    const int savedErrno = errno;
    Monitor().NoteReceived(handle);
    if (received >= 0) return static_cast<int>(received);
    errno = savedErrno;
    return Fail();
}

// Only a send refused with would-block re-arms the write notification.
int AfterSend(SocketHandle handle, ssize_t sent) {
    if (sent >= 0) return static_cast<int>(sent);
    const int savedErrno = errno;
    if (savedErrno == EAGAIN || savedErrno == EWOULDBLOCK) Monitor().NoteSendBlocked(handle);
    errno = savedErrno;
    return Fail();
}

size_t Length(int length) { return static_cast<size_t>(length < 0 ? 0 : length); }

}  // namespace

int WsRecv(SocketHandle handle, void* buffer, int length, int flags) {
    return AfterReceive(handle, Uninterrupted([&] { return recv(handle, buffer, Length(length), flags); }));
}

int WsRecvFrom(SocketHandle handle, void* buffer, int length, int flags, sockaddr_in* from, socklen_t* fromLength) {
    return AfterReceive(handle, Uninterrupted([&] {
                            return recvfrom(handle, buffer, Length(length), flags, reinterpret_cast<sockaddr*>(from), fromLength);
                        }));
}

int WsSpliceToPipe(SocketHandle handle, int pipeFd, int length) {
    return AfterReceive(handle, Uninterrupted([&] {
                            return splice(handle, nullptr, pipeFd, nullptr, Length(length), SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
                        }));
}

int WsSend(SocketHandle handle, const void* data, int length, int flags) {
    return AfterSend(handle, Uninterrupted([&] { return send(handle, data, Length(length), flags | MSG_NOSIGNAL); }));
}

int WsSendTo(SocketHandle handle, const void* data, int length, int flags, const sockaddr_in& to) {
    return AfterSend(handle, Uninterrupted([&] {
                         return sendto(handle, data, Length(length), flags | MSG_NOSIGNAL, AsGeneric(to), sizeof to);
                     }));
}

int WsShutdown(SocketHandle handle, int how) {
    const int modes[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
    if (how < 0 || how > 2) {
        WSASetLastError(WSAEINVAL);
        return kSocketError;
    }
    return shutdown(handle, modes[how]) == 0 ? 0 : Fail();
}

int WsBytesWaiting(SocketHandle handle, unsigned long* count) {
    int waiting = 0;
    if (ioctl(handle, FIONREAD, &waiting) != 0) return Fail();
    *count = static_cast<unsigned long>(waiting < 0 ? 0 : waiting);
    return 0;
}

bool WsPeerFinishedSending(SocketHandle handle) {
    pollfd watched{handle, POLLRDHUP, 0};
    return poll(&watched, 1, 0) == 1 && (watched.revents & (POLLRDHUP | POLLHUP)) != 0;
}

int WsSetSockOpt(SocketHandle handle, int level, int name, const void* value, socklen_t length) {
    return setsockopt(handle, level, name, value, length) == 0 ? 0 : Fail();
}

int WsGetSockName(SocketHandle handle, sockaddr_in* address, socklen_t* length) {
    return getsockname(handle, reinterpret_cast<sockaddr*>(address), length) == 0 ? 0 : Fail();
}

int WsGetPeerName(SocketHandle handle, sockaddr_in* address, socklen_t* length) {
    return getpeername(handle, reinterpret_cast<sockaddr*>(address), length) == 0 ? 0 : Fail();
}

int WsAsyncSelect(SocketHandle handle, WindowHandle window, std::uint32_t message, long events) {
    if (handle < 0) {
        WSASetLastError(WSAENOTSOCK);
        return kSocketError;
    }
    return Monitor().Select(handle, window, message, events);
}

std::uint32_t WsInetAddr(const char* text) {
    in_addr address{};
    if (text == nullptr || inet_aton(text, &address) == 0) return INADDR_NONE;
    return address.s_addr;
}

const char* WsInetNtoa(std::uint32_t addressNetworkOrder) {
    in_addr address{};
    address.s_addr = addressNetworkOrder;
    return inet_ntoa(address);
}

}  // namespace platform
