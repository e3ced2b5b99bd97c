#pragma once
// The process's message queue and event loop. It replaces the window-message
// queue the system was designed around: posted messages are dispatched in
// FIFO order to registered message windows, and socket readiness observed with
// epoll is turned into posted socket event messages (see SocketEventMonitor).
//
// All functions except PostMessage must be called on the user-interface
// thread. PostMessage may be called from any thread; it is how the host-lookup
// worker answers.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/MessageWindow.h"
#include "platform/Messages.h"

namespace platform {

class SocketEventMonitor;

struct PostedMessage {
    WindowHandle target;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

class MessageLoop {
public:
    // The one loop of the process. It is never destroyed, so that a lookup
    // worker still running at exit cannot post into freed memory.
    static MessageLoop& Instance();

    WindowHandle Register(MessageTarget* target);
    void Unregister(WindowHandle handle);

    bool Post(WindowHandle target, std::uint32_t message, WParam wParam, LParam lParam);
    // Drops queued messages that match all three; used when a socket handle
    // is closed, so that a notification meant for it can never reach a new
    // connection that the system gave the same handle number.
    void DiscardMessages(WindowHandle target, std::uint32_t message, WParam wParam);
    // Whether a message for `target` with `message` and `wParam` whose lParam
    // has any of the low-word bits `events` is still queued.
    bool IsQueued(WindowHandle target, std::uint32_t message, WParam wParam, std::uint16_t events);

    // Dispatches every message queued or made ready without blocking, then
    // returns. Re-entrant: a handler may call it again.
    void ProcessMessages();
    // Blocks until a message can be dispatched or `milliseconds` pass
    // (negative: no limit). True when a message is waiting.
    bool WaitMessage(int milliseconds);

    // A descriptor that becomes readable whenever the loop has work; the
    // windowed program watches it with its own event loop.
    int PollDescriptor() const { return epollFd_; }

    // Hooks for an outer event loop (Qt in the windowed program): `pump` runs
    // the outer loop's pending events inside ProcessMessages, `wait` blocks in
    // the outer loop for at most the given milliseconds. Empty = none.
    void SetExternalLoop(std::function<void()> pump, std::function<void(int)> wait);

    SocketEventMonitor& Sockets() { return *sockets_; }

    bool Terminated() const { return terminated_; }
    void SetTerminated(bool value) { terminated_ = value; }

    std::size_t PendingCount();

private:
    MessageLoop();
    bool PopMessage(PostedMessage& out);
    void Dispatch(const PostedMessage& message);
    // Turns readiness seen by epoll into posted messages; waits at most
    // `milliseconds` (0 = just look).
    void PollReadiness(int milliseconds);
    // PollReadiness(0) whose posts the calling ProcessMessages dispatches.
    void PollForDispatch();
    // Whether a message posted now must write the wake-up eventfd.
    bool NeedsWakeup() const;
    void DrainWakeup();

    std::mutex mutex_;
    std::deque<PostedMessage> queue_;
    std::unordered_map<WindowHandle, MessageTarget*> windows_;
    WindowHandle nextHandle_ = 1;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    std::unique_ptr<SocketEventMonitor> sockets_;
    std::function<void()> externalPump_;
    std::function<void(int)> externalWait_;
    bool terminated_ = false;
};

// Free-function forms used throughout the code, named as in the design.
bool PostMessage(WindowHandle target, std::uint32_t message, WParam wParam, LParam lParam);
void ProcessMessages();
bool WaitMessage(int milliseconds);
bool ApplicationTerminated();
void SetApplicationTerminated(bool value);

}  // namespace platform
