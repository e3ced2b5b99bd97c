#include "platform/SocketEventMonitor.h"

#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include "platform/MessageLoop.h"
#include "platform/SocketErrors.h"

namespace platform {

namespace {

// Readiness bits that may stay in the kernel's mask after their notification
// was posted (see UpdateEpoll).
constexpr std::uint32_t kLazyBits = EPOLLIN | EPOLLOUT;

int PendingSocketError(int fd) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return ErrnoToSocketError(errno);
    return error == 0 ? 0 : ErrnoToSocketError(error);
}

int BytesWaiting(int fd) {
    int count = 0;
    if (ioctl(fd, FIONREAD, &count) != 0) return -1;
    return count;
}

}  // namespace

int SocketEventMonitor::Select(int fd, WindowHandle window, std::uint32_t message, long events) {
    Watch& watch = watches_[fd];
    watch.window = window;
    watch.message = message;
    watch.selected = events;
    ArmForPhase(watch);
    UpdateEpoll(fd, watch);
    return 0;
}

// (Re)selecting events arms each of them afresh, as a new selection does on the
// platform the design follows: a connected socket reports FD_WRITE at once.
void SocketEventMonitor::ArmForPhase(Watch& watch) {
    const bool connected = watch.phase == Phase::Connected;
    watch.readArmed = connected && (watch.selected & FD_READ);
    watch.writeArmed = connected && (watch.selected & FD_WRITE);
    watch.closeArmed = connected && (watch.selected & FD_CLOSE);
    watch.acceptArmed = watch.phase == Phase::Listening && (watch.selected & FD_ACCEPT);
}

void SocketEventMonitor::NoteConnectStarted(int fd) {
    Watch& watch = watches_[fd];
    watch.phase = Phase::Connecting;
    UpdateEpoll(fd, watch);
}

void SocketEventMonitor::NoteConnected(int fd) {
    Watch& watch = watches_[fd];
    watch.phase = Phase::Connected;
    ArmForPhase(watch);
    if (watch.selected & FD_CONNECT) Post(fd, watch, FD_CONNECT, 0);
    UpdateEpoll(fd, watch);
}

void SocketEventMonitor::NoteListening(int fd) {
    Watch& watch = watches_[fd];
    watch.phase = Phase::Listening;
    ArmForPhase(watch);
    UpdateEpoll(fd, watch);
}

void SocketEventMonitor::NoteReceived(int fd) { Rearm(fd, Phase::Connected, FD_READ, &Watch::readArmed); }

void SocketEventMonitor::NoteSendBlocked(int fd) { Rearm(fd, Phase::Connected, FD_WRITE, &Watch::writeArmed); }

void SocketEventMonitor::NoteAccepted(int fd) { Rearm(fd, Phase::Listening, FD_ACCEPT, &Watch::acceptArmed); }

void SocketEventMonitor::Rearm(int fd, Phase phase, long event, bool Watch::*armed) {
    const auto it = watches_.find(fd);
    if (it == watches_.end() || it->second.phase != phase) return;
    Watch& watch = it->second;
    if (!(watch.selected & event) || watch.*armed) return;
    watch.*armed = true;
    UpdateEpoll(fd, watch, kLazyBits);
}

void SocketEventMonitor::NoteClosed(int fd) {
    const auto it = watches_.find(fd);
    if (it == watches_.end()) return;
    if (it->second.inEpoll) (void)epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    if (it->second.window != 0)
        MessageLoop::Instance().DiscardMessages(it->second.window, it->second.message, static_cast<WParam>(fd));
    watches_.erase(it);
}

void SocketEventMonitor::Post(int fd, const Watch& watch, long event, int error) {
    if (watch.window == 0) return;
    PostMessage(watch.window, watch.message, static_cast<WParam>(fd),
                MakeLParam(static_cast<std::uint16_t>(event), static_cast<std::uint16_t>(error)));
}

void SocketEventMonitor::OnReady(int fd, std::uint32_t epollEvents) {
    const auto it = watches_.find(fd);
    if (it == watches_.end()) return;
    Watch& watch = it->second;
    std::uint32_t posted = 0;
    if (watch.phase == Phase::Connecting) {
        OnConnectReady(fd, watch);
    } else if (watch.phase == Phase::Listening) {
        if (watch.acceptArmed && (epollEvents & EPOLLIN)) {
            watch.acceptArmed = false;
            Post(fd, watch, FD_ACCEPT, 0);
        }
    } else if (watch.phase == Phase::Connected) {
        posted = OnConnectedReady(fd, watch, epollEvents);
    }
    UpdateEpoll(fd, watch, posted | StillQueued(fd, watch));
}

// Kept bits whose notification still waits in the queue: the handler that
// re-arms them has not run yet, so they may stay.
std::uint32_t SocketEventMonitor::StillQueued(int fd, const Watch& watch) const {
    std::uint32_t queued = 0;
    auto& loop = MessageLoop::Instance();
    const auto handle = static_cast<WParam>(fd);
    if ((watch.epollMask & EPOLLIN) && !watch.readArmed && loop.IsQueued(watch.window, watch.message, handle, FD_READ))
        queued |= EPOLLIN;
    if ((watch.epollMask & EPOLLOUT) && !watch.writeArmed && loop.IsQueued(watch.window, watch.message, handle, FD_WRITE))
        queued |= EPOLLOUT;
    return queued;
}

void SocketEventMonitor::OnConnectReady(int fd, Watch& watch) {
    const int error = PendingSocketError(fd);
    if (error != 0) {
        watch.phase = Phase::Fresh;  // nothing more to report on a failed attempt
        if (watch.selected & FD_CONNECT) Post(fd, watch, FD_CONNECT, error);
        return;
    }
    watch.phase = Phase::Connected;
    ArmForPhase(watch);
    if (watch.selected & FD_CONNECT) Post(fd, watch, FD_CONNECT, 0);
}

std::uint32_t SocketEventMonitor::OnConnectedReady(int fd, Watch& watch, std::uint32_t epollEvents) {
    std::uint32_t posted = 0;
    const bool hangUp = epollEvents & (EPOLLRDHUP | EPOLLHUP | EPOLLERR);
    // While the peer's close is watched (EPOLLRDHUP in the mask), readable
    // without a hang-up can only mean data: no need to ask how much.
    const bool surelyData = (watch.epollMask & EPOLLRDHUP) && (epollEvents & EPOLLIN) && !hangUp;
    const int waiting = surelyData ? 1 : (epollEvents & EPOLLIN) || hangUp ? BytesWaiting(fd) : 0;
    if (watch.readArmed && waiting > 0) {
        watch.readArmed = false;
        Post(fd, watch, FD_READ, 0);
        posted |= EPOLLIN;
    }
    // Readable with nothing to read means end of stream. The close is reported
    // even while data is still queued: its handler drains what is left.
    if (hangUp || ((epollEvents & EPOLLIN) && waiting <= 0)) {
        if (waiting <= 0) watch.readArmed = false;
        if (watch.closeArmed) {
            watch.closeArmed = false;
            Post(fd, watch, FD_CLOSE, PendingSocketError(fd));
        }
    }
    if (watch.writeArmed && (epollEvents & (EPOLLOUT | EPOLLERR | EPOLLHUP))) {
        watch.writeArmed = false;
        Post(fd, watch, FD_WRITE, 0);
        posted |= EPOLLOUT;
    }
    return posted;
}

// A notification just posted is usually re-armed by its handler (a receive,
// a send refused with would-block); its bit may stay in the kernel's mask
// until then (`keep`), which saves two epoll_ctl calls per notification. A
// kept bit reported while disarmed and with no notification of its kind
// queued (its handler ran and did not re-arm) is taken out then, so a
// readiness nobody waits for can never make the loop spin.
void SocketEventMonitor::UpdateEpoll(int fd, Watch& watch, std::uint32_t keep) {
    std::uint32_t mask = 0;
    switch (watch.phase) {
        case Phase::Fresh: break;  // an unconnected socket reports hang-up: never watch it
        case Phase::Connecting: mask = (watch.selected & FD_CONNECT) ? std::uint32_t{EPOLLOUT} : 0u; break;
        case Phase::Listening: mask = watch.acceptArmed ? std::uint32_t{EPOLLIN} : 0u; break;
        case Phase::Connected:
            if (watch.readArmed) mask |= EPOLLIN;
            if (watch.closeArmed) mask |= EPOLLRDHUP;
            if (watch.writeArmed) mask |= EPOLLOUT;
            mask |= watch.epollMask & keep & kLazyBits;
            break;
    }
    if (mask == watch.epollMask && watch.inEpoll == (mask != 0)) return;
    epoll_event ev{};
    ev.events = mask;
    ev.data.u64 = static_cast<std::uint64_t>(fd);
    if (mask == 0) {
        if (watch.inEpoll) (void)epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
        watch.inEpoll = false;
    } else if (watch.inEpoll) {
        (void)epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &ev);
    } else {
        watch.inEpoll = epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) == 0;
    }
    watch.epollMask = mask;
}

}  // namespace platform
