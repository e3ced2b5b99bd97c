#include "platform/MessageLoop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

#include "platform/SocketEventMonitor.h"

namespace platform {

namespace {
constexpr std::uint64_t kWakeTag = ~std::uint64_t{0};
// Socket readiness is looked at again after this many dispatched messages, so
// that a chain of self-posted messages (a fast upload) cannot starve the
// control connection's replies.
constexpr int kDispatchesBetweenPolls = 64;

// How deeply this thread is inside Dispatch, inside the readiness poll of
// ProcessMessages, and inside the outer loop's wait. A message posted by a
// handler needs no wake-up (the dispatching loop drains the queue before it
// returns) unless the handler is running inside the outer loop's wait, which
// only the wake-up can end early. Socket events posted by the poll of
// ProcessMessages are dispatched by the same call. Saving the wake-up (a
// write and a read of the eventfd) halves the system calls of a
// block-by-block upload, and saves two per read notification of a download.
thread_local int dispatchDepth = 0;
thread_local int dispatchPollDepth = 0;
thread_local int externalWaitDepth = 0;
// Set on the thread that runs the loop. Without an outer loop that thread
// only ever blocks in WaitMessage, which looks at the queue first: what it
// posts itself needs no wake-up. Other threads (the lookup worker) always
// wake it.
thread_local bool loopThread = false;

// Counts one level of depth for the lifetime of the object, also when a
// handler throws.
class DepthLevel {
public:
    explicit DepthLevel(int& depth) : depth_(depth) { ++depth_; }
    ~DepthLevel() { --depth_; }
    DepthLevel(const DepthLevel&) = delete;
    DepthLevel& operator=(const DepthLevel&) = delete;

private:
    int& depth_;
};
}  // namespace

MessageLoop& MessageLoop::Instance() {
    static MessageLoop* const loop = new MessageLoop();
    return *loop;
}

MessageLoop::MessageLoop() {
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epollFd_ < 0 || wakeFd_ < 0) throw std::runtime_error("cannot create the message loop's descriptors");
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kWakeTag;
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev) != 0) throw std::runtime_error("cannot watch the wake-up descriptor");
    sockets_ = std::make_unique<SocketEventMonitor>(epollFd_);
}

WindowHandle MessageLoop::Register(MessageTarget* target) {
    loopThread = true;
    std::lock_guard lock(mutex_);
    const WindowHandle handle = nextHandle_++;
    windows_[handle] = target;
    return handle;
}

void MessageLoop::Unregister(WindowHandle handle) {
    std::lock_guard lock(mutex_);
    windows_.erase(handle);
}

bool MessageLoop::Post(WindowHandle target, std::uint32_t message, WParam wParam, LParam lParam) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(mutex_);
        wasEmpty = queue_.empty();
        queue_.push_back({target, message, wParam, lParam});
    }
    if (wasEmpty && NeedsWakeup()) {
        const std::uint64_t one = 1;
        (void)!write(wakeFd_, &one, sizeof one);
    }
    return true;
}

bool MessageLoop::NeedsWakeup() const {
    if (!loopThread) return true;
    if (!externalWait_) return false;
    if (externalWaitDepth > 0) return true;
    return dispatchDepth == 0 && dispatchPollDepth == 0;
}

void MessageLoop::DiscardMessages(WindowHandle target, std::uint32_t message, WParam wParam) {
    std::lock_guard lock(mutex_);
    std::erase_if(queue_, [&](const PostedMessage& queued) {
        return queued.target == target && queued.message == message && queued.wParam == wParam;
    });
}

bool MessageLoop::IsQueued(WindowHandle target, std::uint32_t message, WParam wParam, std::uint16_t events) {
    std::lock_guard lock(mutex_);
    return std::any_of(queue_.begin(), queue_.end(), [&](const PostedMessage& queued) {
        return queued.target == target && queued.message == message && queued.wParam == wParam &&
               (LowWord(queued.lParam) & events) != 0;
    });
}

std::size_t MessageLoop::PendingCount() {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

bool MessageLoop::PopMessage(PostedMessage& out) {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    out = queue_.front();
    queue_.pop_front();
    return true;
}

void MessageLoop::Dispatch(const PostedMessage& message) {
    MessageTarget* target = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto it = windows_.find(message.target);
        if (it == windows_.end()) return;  // the window is gone: drop, never touch freed memory
        target = it->second;
    }
    const DepthLevel level(dispatchDepth);
    (void)target->HandleMessage(message.message, message.wParam, message.lParam);
}

void MessageLoop::ProcessMessages() {
    loopThread = true;
    if (externalPump_) externalPump_();
    PollForDispatch();
    int sincePoll = 0;
    PostedMessage message{};
    for (;;) {
        if (!PopMessage(message)) {
            PollForDispatch();
            if (!PopMessage(message)) break;
            sincePoll = 0;
        }
        Dispatch(message);
        if (++sincePoll >= kDispatchesBetweenPolls) {
            PollForDispatch();
            if (externalPump_) externalPump_();
            sincePoll = 0;
        }
    }
}

void MessageLoop::PollForDispatch() {
    const DepthLevel level(dispatchPollDepth);
    PollReadiness(0);
}

bool MessageLoop::WaitMessage(int milliseconds) {
    loopThread = true;
    if (PendingCount() > 0) return true;
    if (externalWait_) {
        const DepthLevel level(externalWaitDepth);
        externalWait_(milliseconds);
        PollReadiness(0);
    } else {
        PollReadiness(milliseconds);
    }
    return PendingCount() > 0;
}

void MessageLoop::SetExternalLoop(std::function<void()> pump, std::function<void(int)> wait) {
    externalPump_ = std::move(pump);
    externalWait_ = std::move(wait);
}

void MessageLoop::DrainWakeup() {
    std::uint64_t count = 0;
    (void)!read(wakeFd_, &count, sizeof count);
}

void MessageLoop::PollReadiness(int milliseconds) {
    std::array<epoll_event, 64> events{};
    int ready = 0;
    do {
        ready = epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()), milliseconds);
    } while (ready < 0 && errno == EINTR);
    for (int i = 0; i < ready; ++i) {
        if (events[i].data.u64 == kWakeTag) {
            DrainWakeup();
            continue;
        }
        sockets_->OnReady(static_cast<int>(events[i].data.u64), events[i].events);
    }
}

bool PostMessage(WindowHandle target, std::uint32_t message, WParam wParam, LParam lParam) {
    return MessageLoop::Instance().Post(target, message, wParam, lParam);
}

void ProcessMessages() { MessageLoop::Instance().ProcessMessages(); }

bool WaitMessage(int milliseconds) { return MessageLoop::Instance().WaitMessage(milliseconds); }

bool ApplicationTerminated() { return MessageLoop::Instance().Terminated(); }

void SetApplicationTerminated(bool value) { MessageLoop::Instance().SetTerminated(value); }

}  // namespace platform
