#pragma once
// Thin wrappers over the POSIX socket calls with the conventions of the socket
// interface the system was designed for: handles are non-blocking from birth,
// failures return -1 (or kInvalidSocket) and leave a socket error number in
// WSAGetLastError(), and each call tells the event monitor what it means for
// the re-enabling of event messages (a receive re-arms FD_READ, a refused send
// re-arms FD_WRITE, an accept re-arms FD_ACCEPT).

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

#include "platform/Messages.h"

namespace platform {

using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
inline constexpr int kSocketError = -1;

SocketHandle WsSocket(int type, int protocol);  // IPv4
int WsCloseSocket(SocketHandle handle);
int WsConnect(SocketHandle handle, const sockaddr_in& address);
int WsBind(SocketHandle handle, const sockaddr_in& address);
int WsListen(SocketHandle handle, int backlog);
SocketHandle WsAccept(SocketHandle handle, sockaddr_in* peer);
int WsRecv(SocketHandle handle, void* buffer, int length, int flags);
int WsRecvFrom(SocketHandle handle, void* buffer, int length, int flags, sockaddr_in* from, socklen_t* fromLength);
// Moves up to `length` received bytes into the pipe `pipeFd` without copying
// them through the process (splice(2)); re-arms the read notification as
// WsRecv does. 0 when the peer has closed.
int WsSpliceToPipe(SocketHandle handle, int pipeFd, int length);
int WsSend(SocketHandle handle, const void* data, int length, int flags);
int WsSendTo(SocketHandle handle, const void* data, int length, int flags, const sockaddr_in& to);
int WsShutdown(SocketHandle handle, int how);
int WsBytesWaiting(SocketHandle handle, unsigned long* count);
// Whether the peer has ended its sending half (its FIN is here), even while
// the bytes it sent before still wait to be read.
bool WsPeerFinishedSending(SocketHandle handle);
int WsSetSockOpt(SocketHandle handle, int level, int name, const void* value, socklen_t length);
int WsGetSockName(SocketHandle handle, sockaddr_in* address, socklen_t* length);
int WsGetPeerName(SocketHandle handle, sockaddr_in* address, socklen_t* length);
// Selects the event messages reported for the handle; events == 0 cancels.
int WsAsyncSelect(SocketHandle handle, WindowHandle window, std::uint32_t message, long events);

// Dotted-quad parsing in the lenient classic form ("127.1" is 127.0.0.1);
// INADDR_NONE for text that is not an address.
std::uint32_t WsInetAddr(const char* text);
// Dotted text of an address given in network byte order.
const char* WsInetNtoa(std::uint32_t addressNetworkOrder);

// ---- either address family: IPv6 beside the IPv4 forms above ----------------
SocketHandle WsSocketOf(int family, int type, int protocol);
int WsConnectTo(SocketHandle handle, const sockaddr* address, socklen_t length);
int WsBindTo(SocketHandle handle, const sockaddr* address, socklen_t length);
// The peer's address of either family into `peer` (may be null).
SocketHandle WsAcceptFrom(SocketHandle handle, sockaddr_storage* peer);
// An IPv6 address in text ("::1", "[::1]", "fe80::1%lo") into `address`
// (port 0); false for anything else, IPv4 text included.
bool WsInet6Addr(const std::string& text, sockaddr_in6& address);
// Numeric text of an address of either family ("127.0.0.1", "::1"); empty
// for other families.
std::string WsAddressText(const sockaddr* address);

}  // namespace platform
