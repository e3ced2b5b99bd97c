// The records' way in: a BIO whose reads go straight to the socket's handle,
// so that OpenSSL reads records into its own buffer with one system call for
// many records, and no byte is copied on the way. (The way out stays a
// memory BIO, whose records go through the socket's send queue.)

#include "net/OpenSsl.h"
#include "net/WSocket.h"

namespace {

int ReadHandle(BIO* bio, char* out, int length) {
    BIO_clear_retry_flags(bio);
    auto* socket = static_cast<TCustomSslWSocket*>(BIO_get_data(bio));
    const int count = socket != nullptr ? TCustomSslWSocket::ReadForRecords(*socket, out, length) : 0;
    if (count < 0 && platform::WSAGetLastError() == platform::WSAEWOULDBLOCK) BIO_set_retry_read(bio);
    return count;
}

long ControlHandle(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

int CreateHandle(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO_METHOD* HandleMethod() {
    static BIO_METHOD* const method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "velliant socket");
        (void)BIO_meth_set_read(m, ReadHandle);
        (void)BIO_meth_set_ctrl(m, ControlHandle);
        (void)BIO_meth_set_create(m, CreateHandle);
        return m;
    }();
    return method;
}

}  // namespace

bio_st* TCustomSslWSocket::NewHandleBio() {
    BIO* bio = BIO_new(HandleMethod());
    if (bio != nullptr) BIO_set_data(bio, this);
    return bio;
}

int TCustomSslWSocket::ReadForRecords(TCustomSslWSocket& Socket, char* Buffer, int Length) {
    const int count = Socket.TCustomSocksWSocket::RawReceive(Buffer, Length);
    if (count == 0) Socket.peerClosed_ = true;
    return count;
}

// What the peer still sends once we no longer read records; the count, 0
// at its end, -1 when nothing waits.
int TCustomSslWSocket::DiscardFromHandle() {
    char scratch[16384];
    const int count = TCustomSocksWSocket::RawReceive(scratch, sizeof scratch);
    if (count == 0) peerClosed_ = true;
    return count;
}
