#pragma once
// Turns epoll readiness into the socket event messages of asynchronous socket
// selection, with its re-enabling rules:
//   FD_READ    posted when data waits; re-armed by the next receive.
//   FD_WRITE   posted once when a connection becomes writable, then again only
//              after a send was refused with would-block.
//   FD_CONNECT posted once with the outcome of a connection attempt.
//   FD_ACCEPT  posted when a connection is pending; re-armed by accept.
//   FD_CLOSE   posted once when the peer has closed (0 graceful, 10054 reset).
// Each message carries the handle in wParam and MakeLParam(event, error).
// The socket wrappers in Winsock.h call the Note* functions; nothing else does.

#include <cstdint>
#include <unordered_map>

#include "platform/Messages.h"

namespace platform {

class SocketEventMonitor {
public:
    explicit SocketEventMonitor(int epollFd) : epollFd_(epollFd) {}

    // Selects the events to report for `fd` to `window` with `message`;
    // events == 0 cancels. Returns 0 or a socket error number.
    int Select(int fd, WindowHandle window, std::uint32_t message, long events);

    void NoteConnectStarted(int fd);
    void NoteConnected(int fd);  // an immediate connect, or an accepted handle
    void NoteListening(int fd);
    void NoteReceived(int fd);
    void NoteSendBlocked(int fd);
    void NoteAccepted(int fd);
    void NoteClosed(int fd);

    void OnReady(int fd, std::uint32_t epollEvents);

private:
    enum class Phase { Fresh, Connecting, Connected, Listening };
    struct Watch {
        Phase phase = Phase::Fresh;
        WindowHandle window = 0;
        std::uint32_t message = 0;
        long selected = 0;
        bool readArmed = false;
        bool writeArmed = false;
        bool acceptArmed = false;
        bool closeArmed = false;
        std::uint32_t epollMask = 0;
        bool inEpoll = false;
    };

    void ArmForPhase(Watch& watch);
    // Re-enables one event after the call that re-arms it (a receive, a
    // refused send, an accept), if it is selected and the socket is in `phase`.
    void Rearm(int fd, Phase phase, long event, bool Watch::*armed);
    void Post(int fd, const Watch& watch, long event, int error);
    void OnConnectReady(int fd, Watch& watch);
    std::uint32_t StillQueued(int fd, const Watch& watch) const;
    // Returns the epoll bits whose notifications it posted.
    std::uint32_t OnConnectedReady(int fd, Watch& watch, std::uint32_t epollEvents);
    // Brings the kernel's mask in line with the armed events; bits in `keep`
    // that are in the mask already may stay although disarmed.
    void UpdateEpoll(int fd, Watch& watch, std::uint32_t keep = 0);

    int epollFd_;
    std::unordered_map<int, Watch> watches_;
};

}  // namespace platform
