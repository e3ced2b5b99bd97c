// TLS records in and out: plain bytes are encrypted into the socket's send
// queue, records from the handle are decrypted into the caller's buffer.

#include <algorithm>

#include "net/OpenSsl.h"
#include "net/SslContext.h"
#include "net/WSocket.h"

namespace {
// What records read ahead but not yet decrypted may give at most.
constexpr int kReadAheadBound = 256 * 1024 + 1024;
}  // namespace

platform::LParam TCustomSslWSocket::HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) {
    if (Msg != SslFailureMessage) return TCustomSocksWSocket::HandleMessage(Msg, wParam, lParam);
    if (failurePosted_) {
        failurePosted_ = false;
        FailSsl(SslConnectionFailed, sslErrorText_);
    } else if (closeNotifyPosted_) {
        closeNotifyPosted_ = false;
        if (State() == wsConnected) Close();
    }
    return 0;
}

// The peer's close_notify ends the stream as a closed connection does; many
// servers wait for ours before they close, so the close is ours to make.
void TCustomSslWSocket::PostPeerClose() {
    peerClosed_ = true;
    if (closeNotifyPosted_) return;
    closeNotifyPosted_ = true;
    (void)Window().Post(SslFailureMessage, 0, 0);
}

bool TCustomSslWSocket::NotifyDataAvailable(std::uint16_t Error) {
    if (closeStage_ == sslCloseAwaitingPeer) {
        DrainUntilPeerCloses();
        return true;
    }
    if (sslState_ != sslHandshaking) return TCustomSocksWSocket::NotifyDataAvailable(Error);
    if (Error != 0) {
        FailSsl(SslHandshakeFailed, SocketErrorText(Error));
        return true;
    }
    ContinueHandshake();
    return true;
}

int TCustomSslWSocket::RawReceive(void* Buffer, int BufferSize) {
    if (sslState_ == sslNone) return TCustomSocksWSocket::RawReceive(Buffer, BufferSize);
    if (ssl_ == nullptr || sslState_ == sslHandshaking || failurePosted_) {
        platform::WSASetLastError(platform::WSAEWOULDBLOCK);
        return -1;
    }
    const int count = ReadPlain(static_cast<char*>(Buffer), BufferSize);
    // Reading may have produced records of its own (a key update's answer).
    if (writeBio_ != nullptr && BIO_ctrl_pending(writeBio_) > 0) (void)FlushRecords();
    return count;
}

// Fills the buffer as far as decrypted bytes and the handle allow: the
// count, 0 once the peer has closed (close_notify or the connection's end),
// -1 when nothing waits (10035) or the records are broken (10053, and the
// connection is closed from the loop).
int TCustomSslWSocket::ReadPlain(char* Buffer, int BufferSize) {
    int total = 0;
    while (total < BufferSize) {
        const int count = SSL_read(ssl_, Buffer + total, BufferSize - total);
        if (count > 0) {
            total += count;
            continue;
        }
        const int error = SSL_get_error(ssl_, count);
        if (error == SSL_ERROR_WANT_READ) {
            if (total > 0) return total;
            platform::WSASetLastError(platform::WSAEWOULDBLOCK);
            return -1;
        }
        if ((SSL_get_shutdown(ssl_) & SSL_RECEIVED_SHUTDOWN) != 0) closeNotifyReceived_ = true;
        // The connection's end without close_notify ends the stream as
        // well; whether that end was a cut is the caller's to judge
        // (SslCloseNotifyReceived).
        if (peerClosed_) {
            ERR_clear_error();
            return total;
        }
        if (error == SSL_ERROR_ZERO_RETURN) {
            PostPeerClose();
            return total;
        }
        if (total > 0) return total;  // the failure shows on the next read
        sslErrorText_ = SslQueueErrorText("TLS record error");
        if (!failurePosted_) {
            failurePosted_ = true;
            (void)Window().Post(SslFailureMessage, 0, 0);
        }
        platform::WSASetLastError(platform::WSAECONNABORTED);
        return -1;
    }
    return total;
}

bool TCustomSslWSocket::HoldsReceivedBytes() const { return sslState_ != sslNone || TCustomSocksWSocket::HoldsReceivedBytes(); }

bool TCustomSslWSocket::HoldsDecodedBytes() const {
    return ssl_ != nullptr && sslState_ == sslEstablished && !failurePosted_ && SSL_has_pending(ssl_) == 1;
}

int TCustomSslWSocket::RcvdCount() {
    const int below = TCustomSocksWSocket::RcvdCount();
    if (ssl_ == nullptr || below < 0) return below;
    // Records read ahead are not decrypted yet: their size bounds what they give.
    return below + (SSL_has_pending(ssl_) == 1 ? std::max(SSL_pending(ssl_), kReadAheadBound) : 0);
}

int TCustomSslWSocket::Send(const void* Data, int Len) {
    if (sslState_ == sslNone || Len <= 0 || State() != wsConnected) return TCustomSocksWSocket::Send(Data, Len);
    if (sslState_ == sslHandshaking) {
        heldPlain_.append(static_cast<const char*>(Data), static_cast<std::size_t>(Len));
        return Len;
    }
    if (sslState_ == sslShuttingDown || failurePosted_) {
        SetLastError(platform::WSAESHUTDOWN);
        return -1;
    }
    (void)EncryptAndSend(Data, Len);
    return Len;
}

// The whole block becomes records at once (a memory BIO never refuses);
// what the kernel does not take waits in the send queue, and the next block
// waits until the write notice says that it has gone.
int TCustomSslWSocket::TrySend(const void* Data, int Len) {
    if (sslState_ == sslNone) return TCustomSocksWSocket::TrySend(Data, Len);
    if (sslState_ == sslHandshaking && State() == wsConnected) return 0;
    if (sslState_ != sslEstablished || failurePosted_ || State() != wsConnected || !AllSent()) {
        SetLastError(platform::WSAENOTCONN);
        return -1;
    }
    if (Len <= 0) return 0;
    const auto alive = AliveToken();
    if (!EncryptAndSend(Data, Len) || alive.expired()) return -1;
    return Len;
}

bool TCustomSslWSocket::EncryptAndSend(const void* Data, int Len) {
    const int written = SSL_write(ssl_, Data, Len);
    if (written != Len) {
        FailSsl(SslConnectionFailed, SslQueueErrorText("TLS write failed"));
        return false;
    }
    return FlushRecords();
}

// The records go out through the queue below, straight from the BIO's
// memory when the kernel takes them at once.
bool TCustomSslWSocket::FlushRecords() {
    if (writeBio_ == nullptr || State() != wsConnected) return ssl_ != nullptr;
    char* data = nullptr;
    const long length = BIO_get_mem_data(writeBio_, &data);
    if (length <= 0) return true;
    const auto alive = AliveToken();
    ssl_st* const ssl = ssl_;
    (void)TCustomWSocket::Send(data, static_cast<int>(length));
    if (alive.expired() || ssl_ != ssl) return false;
    (void)BIO_reset(writeBio_);
    return true;
}
