// Sending: straight from the caller's bytes while nothing is queued, then
// through the block queue; the write notices that tell when all has gone.
#include <sys/socket.h>

#include "net/WSocket.h"

int TCustomWSocket::Send(const void* Data, int Len) {
    if (state_ != wsConnected) {
        platform::WSASetLastError(platform::WSAENOTCONN);
        ReportSocketError("Send");
        return -1;
    }
    allSent_ = false;
    const int result = Len > 0 ? Len : 0;
    const auto alive = AliveToken();
    if (Len > 0) {
        const char* bytes = static_cast<const char*>(Data);
        if (NothingQueued() && socketType_ == SOCK_STREAM && hSocket_ != platform::kInvalidSocket) {
            // Nothing queued: the kernel takes what it can straight from the
            // caller's bytes and only the rest is copied into the queue, so a
            // large block is copied once, by the kernel, instead of twice.
            const int taken = SendUntilBlocked(bytes, Len);
            if (taken < 0) return result;  // the connection failed and was reported
            if (taken < Len) {
                // Refused with would-block: the write notification follows.
                AppendToSendBuffer(bytes + taken, Len - taken);
                return result;
            }
        } else {
            AppendToSendBuffer(bytes, Len);
        }
    }
    TryToSend();
    if (alive.expired()) return result;
    if (allSent_) PostWriteNotice();
    return result;
}

// One pending write notice is enough: a handler that sends several blocks in
// a row gets one OnDataSent once they are out, not one per block.
void TCustomWSocket::PostWriteNotice() {
    if (hSocket_ == platform::kInvalidSocket || writeNoticeFor_ == hSocket_) return;
    writeNoticeFor_ = hSocket_;
    (void)window_->Post(SocketEventMessage, static_cast<platform::WParam>(hSocket_), platform::MakeLParam(platform::FD_WRITE, 0));
}

void TCustomWSocket::PostReadNotice() {
    if (hSocket_ == platform::kInvalidSocket || readNoticeFor_ == hSocket_) return;
    readNoticeFor_ = hSocket_;
    (void)window_->Post(SocketEventMessage, static_cast<platform::WParam>(hSocket_), platform::MakeLParam(platform::FD_READ, 0));
}

bool TCustomWSocket::NothingQueued() const {
    return sendQueue_.empty() || (sendQueue_.size() == 1 && sendQueue_.front()->Unread() == 0);
}

int TCustomWSocket::SendText(const std::string& Str) { return Send(Str.data(), static_cast<int>(Str.size())); }

void TCustomWSocket::AppendToSendBuffer(const void* Data, int Len) {
    if (sendQueue_.empty()) sendQueue_.push_back(std::make_unique<TBuffer>(sendBlockSize_));
    const char* bytes = static_cast<const char*>(Data);
    int copied = sendQueue_.back()->Append(bytes, Len);
    while (copied < Len) {
        sendQueue_.push_back(std::make_unique<TBuffer>(sendBlockSize_));
        copied += sendQueue_.back()->Append(bytes + copied, Len - copied);
    }
}

void TCustomWSocket::ClearSendBuffer() { sendQueue_.clear(); }

int TCustomWSocket::RawSend(const void* Data, int Len) {
    if (socketType_ == SOCK_DGRAM) return platform::WsSendTo(hSocket_, Data, Len, sendFlags_, sin_);
    return platform::WsSend(hSocket_, Data, Len, sendFlags_);
}

void TCustomWSocket::TryToSend() {
    if (hSocket_ == platform::kInvalidSocket) return;
    if (sendQueue_.empty()) {
        allSent_ = true;
        return;
    }
    for (;;) {
        TBuffer& block = *sendQueue_.front();
        int unread = 0;
        const char* data = block.Peek(unread);
        if (unread == 0) {
            if (sendQueue_.size() > 1) {
                sendQueue_.pop_front();
                continue;
            }
            allSent_ = true;
            return;
        }
        const int sent = SendUntilBlocked(data, unread);
        if (sent < 0) return;
        block.Consume(sent);
        if (sent < unread) return;
    }
}

// A short send is not a refusal: only a would-block refusal re-arms the
// write notification, so this keeps going until the kernel says so, or the
// rest would wait for an event that never comes. Returns the bytes taken, or
// -1 when the connection failed (reported; the object may be gone).
int TCustomWSocket::SendUntilBlocked(const char* Data, int Len) {
    int done = 0;
    while (done < Len) {
        const int sent = RawSend(Data + done, Len - done);
        if (sent > 0) {
            done += sent;
            continue;
        }
        if (sent == 0) break;
        const int error = platform::WSAGetLastError();
        if (error == platform::WSAEWOULDBLOCK) break;
        if (ClosesOnSendError(error)) {
            SendErrorClose(error);
        } else {
            ReportSocketError("TryToSend failed");
        }
        return -1;
    }
    return done;
}

bool TCustomWSocket::ClosesOnSendError(int Error) {
    return Error == platform::WSAECONNRESET || Error == platform::WSAENOTSOCK || Error == platform::WSAENOTCONN ||
           Error == platform::WSAEINVAL;
}

int TCustomWSocket::TrySend(const void* Data, int Len) {
    if (state_ != wsConnected || hSocket_ == platform::kInvalidSocket || socketType_ != SOCK_STREAM || !NothingQueued()) {
        lastError_ = platform::WSAENOTCONN;
        return -1;
    }
    const auto alive = AliveToken();
    const int taken = SendUntilBlocked(static_cast<const char*>(Data), Len);
    if (taken < 0 || alive.expired()) return -1;
    // Refused with would-block: the write notification follows by itself.
    if (taken == Len) PostWriteNotice();
    return taken;
}

// The connection is gone under a send: close it and report the cause once.
// CloseReported keeps Close itself from reporting error 0 first.
void TCustomWSocket::SendErrorClose(int Error) {
    closeReported_ = true;
    const auto alive = AliveToken();
    Close();
    if (alive.expired() || destroying_) return;
    NotifySessionClosed(static_cast<std::uint16_t>(Error));
}
