// Closing a TLS connection: close_notify, the bytes still queued, and the
// peer's end of the connection.

#include "net/OpenSsl.h"
#include "net/WSocket.h"

// close_notify tells the peer that nothing was cut off. Bytes still queued
// must reach the peer before the handle goes: the close then waits for the
// write notice that says they have gone.
void TCustomSslWSocket::Close() {
    if (closeStage_ != sslCloseNone || sslState_ != sslEstablished || State() != wsConnected || ssl_ == nullptr)
        return CloseDrained();
    sslState_ = sslShuttingDown;
    (void)SSL_shutdown(ssl_);
    ERR_clear_error();
    if (!FlushRecords()) return;
    if (State() != wsConnected) return CloseDrained();
    if (!AllSent()) {
        closeStage_ = sslCloseFlushing;
        return;
    }
    AwaitPeerClose();
}

// A TLS server writes to connections that carry no data its way (session
// tickets after the handshake of an upload's connection). Closing a handle
// with such bytes unread makes the kernel reset the connection, and the
// server may lose the end of what we sent: they are read first.
void TCustomSslWSocket::CloseDrained() {
    if (readBio_ != nullptr && SocketHandle() != platform::kInvalidSocket && State() == wsConnected)
        while (DiscardFromHandle() > 0) {
        }
    TCustomSocksWSocket::Close();
}

void TCustomSslWSocket::AwaitPeerClose() {
    if (!awaitPeerClose_) return CloseDrained();
    closeStage_ = sslCloseAwaitingPeer;
    Shutdown(1);
    DrainUntilPeerCloses();
}

// Everything the peer still sends is dropped; its end closes ours.
void TCustomSslWSocket::DrainUntilPeerCloses() {
    for (;;) {
        const int count = DiscardFromHandle();
        if (count < 0) return;  // more to come, or the close
        if (count == 0) return TCustomSocksWSocket::Close();
    }
}

void TCustomSslWSocket::NotifyDataSent(std::uint16_t Error) {
    if (closeStage_ == sslCloseFlushing) {
        if (Error != 0) return CloseDrained();
        if (AllSent()) AwaitPeerClose();
        return;
    }
    if (sslState_ == sslHandshaking || sslState_ == sslShuttingDown) return;
    TCustomSocksWSocket::NotifyDataSent(Error);
}
