// Receiving, the receive loop, and the waits that pump the message loop.
#include <sys/socket.h>

#include <algorithm>
#include <vector>

#include "net/WSocket.h"
#include "platform/MessageLoop.h"

namespace {
constexpr int kDiscardChunk = 1024;
// Bytes a silent handler may leave with us before we stop taking more off the
// handle; past this the peer is held back by the kernel's flow control.
constexpr std::size_t kStalledLimit = 64 * 1024;
constexpr int kPumpWaitMs = 50;
// Bytes a read notification may deliver before the loop gets its turn again
// (a window to repaint, the control connection's replies). The readiness
// stays level-triggered, so what is left brings the next notification.
constexpr std::int64_t kReadBoundPerEvent = 1 << 20;
}  // namespace

// ---- receiving -------------------------------------------------------------

int TCustomWSocket::RawReceive(void* Buffer, int BufferSize) {
    if (!stalled_.empty() && BufferSize > 0) {
        const int count = std::min<int>(BufferSize, static_cast<int>(stalled_.size()));
        std::copy_n(stalled_.data(), count, static_cast<char*>(Buffer));
        stalled_.erase(0, static_cast<std::size_t>(count));
        NoteTaken(count, 0);  // the handle may hold more
        return count;
    }
    const int count = platform::WsRecv(hSocket_, Buffer, BufferSize, 0);
    NoteTaken(count, BufferSize);
    return count;
}

// A stream read that returned less than it asked for found the handle
// empty: whatever comes next brings a notification of its own.
void TCustomWSocket::NoteTaken(int Count, int Asked) {
    if (Count > 0) taken_ += static_cast<std::uint64_t>(Count);
    drained_ = socketType_ == SOCK_STREAM && Count < Asked;
}

int TCustomWSocket::Receive(void* Buffer, int BufferSize) {
    const int count = RawReceive(Buffer, BufferSize);
    if (count < 0)
        lastError_ = platform::WSAGetLastError();
    else
        readCount_ += count;
    return count;
}

int TCustomWSocket::ReceiveToPipe(int PipeFd, int Count) {
    if (HoldsReceivedBytes() || socketType_ != SOCK_STREAM) {
        lastError_ = platform::WSAEOPNOTSUPP;
        return -1;
    }
    const int count = platform::WsSpliceToPipe(hSocket_, PipeFd, Count);
    // A short splice may only mean that the pipe ran out of slots (one per
    // piece of a packet): it says nothing about what still waits.
    NoteTaken(count, count == 0 ? 1 : 0);
    if (count < 0)
        lastError_ = platform::WSAGetLastError();
    else
        readCount_ += count;
    return count;
}

std::string TCustomWSocket::ReceiveText() {
    const int waiting = RcvdCount();
    if (waiting <= 0) return {};
    std::string text(static_cast<std::size_t>(waiting), '\0');
    const int count = RawReceive(text.data(), waiting);
    if (count <= 0) return {};
    text.resize(static_cast<std::size_t>(count));
    return text;
}

int TCustomWSocket::ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, socklen_t& FromLen) {
    const int count = platform::WsRecvFrom(hSocket_, Buffer, BufferSize, 0, &From, &FromLen);
    NoteTaken(count, BufferSize);
    if (count < 0)
        lastError_ = platform::WSAGetLastError();
    else
        readCount_ += count;
    return count;
}

int TCustomWSocket::WaitingBytes(bool& Ok) {
    unsigned long count = 0;
    Ok = platform::WsBytesWaiting(hSocket_, &count) == 0;
    return Ok ? static_cast<int>(count + stalled_.size()) : -1;
}

int TCustomWSocket::RcvdCount() {
    bool ok = false;
    const int count = WaitingBytes(ok);
    if (!ok) ReportSocketError("ioctlSocket");
    return ok ? count : -1;
}

// True when nothing was left to read.
bool TCustomWSocket::DiscardWaiting() {
    char scratch[kDiscardChunk];
    if (RawReceive(scratch, sizeof scratch) >= 0) return false;
    lastError_ = platform::WSAGetLastError();
    if (lastError_ != platform::WSAEWOULDBLOCK) return false;
    lastError_ = 0;
    return true;
}

// A handler that returned without reading would otherwise be called again at
// once, forever. Its bytes are moved off the handle instead: that read re-arms
// the read notification, so the next arrival calls the handler again, and the
// bytes are still the first a later Receive returns.
void TCustomWSocket::HoldStalledBytes() {
    unsigned long waiting = 0;
    if (platform::WsBytesWaiting(hSocket_, &waiting) != 0) return;
    const std::size_t room = stalled_.size() < kStalledLimit ? kStalledLimit - stalled_.size() : 0;
    const std::size_t take = std::min<std::size_t>(waiting, room);
    if (take == 0) return;
    std::vector<char> bytes(take);
    const int count = platform::WsRecv(hSocket_, bytes.data(), static_cast<int>(take), 0);
    if (count > 0) stalled_.append(bytes.data(), static_cast<std::size_t>(count));
}

// Raises OnDataAvailable until the handle is drained. Asking the kernel how
// much waits costs a system call, so it is asked only when the handler's
// last read does not already tell: a short read means drained, and a handler
// that took nothing at all while bytes wait is stalled.
void TCustomWSocket::ReceiveLoop(std::uint16_t Error, bool Bounded) {
    const auto alive = AliveToken();
    const auto handle = hSocket_;
    const std::int64_t readAtStart = readCount_;
    for (;;) {
        lastError_ = 0;
        drained_ = false;
        try {
            const std::uint64_t takenBefore = taken_;
            const std::int64_t readBefore = readCount_;
            const bool handled = NotifyDataAvailable(Error);
            if (alive.expired() || hSocket_ != handle) return;
            if (!handled && DiscardWaiting()) break;
            const bool decoded = HoldsDecodedBytes();
            if (Bounded && readCount_ - readAtStart >= kReadBoundPerEvent) {
                // Bytes a layer holds bring no readiness of their own.
                if (decoded) PostReadNotice();
                break;
            }
            if (lastError_ != 0 || (drained_ && !decoded)) break;
            bool ok = false;
            const int waiting = WaitingBytes(ok);
            if (!ok) {
                lastError_ = platform::WSAGetLastError();
                break;
            }
            if (waiting <= 0 && !decoded) break;
            if (handled && taken_ == takenBefore && readCount_ == readBefore) {
                HoldStalledBytes();
                break;
            }
        } catch (...) {
            break;
        }
    }
}

// ---- waits -----------------------------------------------------------------

void TCustomWSocket::PumpMessages() { platform::ProcessMessages(); }

// The loop is per thread, so a multi-threaded socket pumps the same way.
void TCustomWSocket::PumpOnce() { PumpMessages(); }

void TCustomWSocket::FlushSendBuffer() {
    const auto alive = AliveToken();
    while (hSocket_ != platform::kInvalidSocket && !allSent_) {
        TryToSend();
        if (alive.expired() || allSent_ || hSocket_ == platform::kInvalidSocket) return;
        // The kernel buffer is full: sleep until the write notification.
        (void)platform::WaitMessage(kPumpWaitMs);
        PumpOnce();
        if (alive.expired()) return;
    }
}

void TCustomWSocket::WaitUntilClosed() {
    const auto alive = AliveToken();
    while (hSocket_ != platform::kInvalidSocket && state_ != wsClosed) {
        PumpOnce();
        if (alive.expired() || hSocket_ == platform::kInvalidSocket || state_ == wsClosed) return;
        bool ok = false;
        const int waiting = WaitingBytes(ok);
        if (!ok) return;
        if (waiting > 0) {
            NotifyDataAvailable(0);
            if (alive.expired() || hSocket_ == platform::kInvalidSocket) return;
        }
        // A zero-length read cannot tell "nothing yet" from "closed" here;
        // a one-byte peek can, without taking the byte.
        char probe = 0;
        const int peeked = platform::WsRecv(hSocket_, &probe, 1, MSG_PEEK);
        if (peeked == 0) return;
        if (peeked < 0) {
            lastError_ = platform::WSAGetLastError();
            if (lastError_ != platform::WSAEWOULDBLOCK) return;
        }
        if (platform::ApplicationTerminated()) return;
        (void)platform::WaitMessage(kPumpWaitMs);
    }
}
