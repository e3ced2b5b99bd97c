// Line mode: received bytes are held until a LineEnd marker completes a line,
// and each line is offered to OnDataAvailable on its own.
#include <algorithm>
#include <cstring>

#include "net/WSocket.h"

TCustomLineWSocket::TCustomLineWSocket() { TCustomLineWSocket::ResetToDefaults(); }

// Held bytes belong to the connection that sent them; a new connection on
// this object must not see them.
void TCustomLineWSocket::ResetToDefaults() {
    TCustomSslWSocket::ResetToDefaults();
    FreeLineBuffer();
}

void TCustomLineWSocket::FreeLineBuffer() {
    std::vector<char>().swap(lineBuffer_);
    head_ = end_ = 0;
    lineLength_ = 0;
}

void TCustomLineWSocket::SetLineMode(bool Value) {
    if (Value == lineMode_) return;
    lineMode_ = Value;
    if (Held() > 0 || lineLength_ > 0) (void)Window().Post(LineRetriggerMessage, 0, 0);
}

platform::LParam TCustomLineWSocket::HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) {
    if (Msg != LineRetriggerMessage) return TCustomSslWSocket::HandleMessage(Msg, wParam, lParam);
    if (lineMode_ && !lineEnd_.empty()) {
        // Complete lines already held are delivered; a partial one waits for
        // the rest of its bytes.
        DeliverHeldLines(head_);
    } else {
        lineLength_ = 0;
        DeliverHeldRaw();
    }
    return 0;
}

int TCustomLineWSocket::TakeHeld(void* Buffer, int Count) {
    Count = std::max(0, std::min(Count, Held()));
    std::memcpy(Buffer, lineBuffer_.data() + head_, static_cast<std::size_t>(Count));
    head_ += Count;
    if (head_ == end_) head_ = end_ = 0;
    return Count;
}

int TCustomLineWSocket::RawReceive(void* Buffer, int BufferSize) {
    if (lineMode_ && lineLength_ > 0) {
        const int count = TakeHeld(Buffer, std::min(BufferSize, lineLength_));
        lineLength_ -= count;
        return count;
    }
    if (!lineMode_ && Held() > 0) return TakeHeld(Buffer, BufferSize);
    return TCustomSslWSocket::RawReceive(Buffer, BufferSize);
}

int TCustomLineWSocket::FindLineEnd(int SearchFrom) const {
    const int markerLength = static_cast<int>(lineEnd_.size());
    const char* const begin = lineBuffer_.data() + std::max(SearchFrom, head_);
    const char* const end = lineBuffer_.data() + end_;
    if (end - begin < markerLength) return -1;
    const char* found = std::search(begin, end, lineEnd_.begin(), lineEnd_.end());
    return found == end ? -1 : static_cast<int>(found - lineBuffer_.data());
}

bool TCustomLineWSocket::NotifyDataAvailable(std::uint16_t Error) {
    // During a proxy negotiation the bytes are the proxy's, not lines.
    if (!lineMode_ || lineEnd_.empty() || SocksState() != SocksIdle || SslState() == sslHandshaking)
        return TCustomSslWSocket::NotifyDataAvailable(Error);
    int waiting = RcvdCount();
    if (waiting <= 0) return true;
    Compact();
    const std::size_t needed = static_cast<std::size_t>(end_) + static_cast<std::size_t>(waiting) + 1;
    // Grown geometrically: a long line arriving in small pieces must not
    // cost one reallocation and copy per piece.
    if (lineBuffer_.size() < needed) lineBuffer_.resize(std::max(needed, lineBuffer_.size() * 2));
    // Straight to the layer below: the pending line at the front is not ours
    // to read here.
    const int count = TCustomSslWSocket::RawReceive(lineBuffer_.data() + end_, waiting);
    if (count <= 0) {
        if (count < 0) SetLastError(platform::WSAGetLastError());
        return true;
    }
    AddReadCount(count);
    const int searchFrom = std::max(head_ + lineLength_, end_ - static_cast<int>(lineEnd_.size()));
    end_ += count;
    lineBuffer_[static_cast<std::size_t>(end_)] = '\0';
    DeliverHeldLines(searchFrom);
    return true;
}

// Offers the pending line until it is read. False when the object is gone,
// the handle changed, or the handler returned without reading (the line then
// stays pending and is offered again at the next arrival).
bool TCustomLineWSocket::DeliverPendingLine() {
    const auto alive = AliveToken();
    const auto handle = SocketHandle();
    while (lineMode_ && lineLength_ > 0) {
        const int before = lineLength_;
        const bool handled = TCustomSslWSocket::NotifyDataAvailable(0);
        if (alive.expired() || SocketHandle() != handle) return false;
        if (!handled) {  // nobody wants it: dropped, as unattended data is
            head_ += lineLength_;
            lineLength_ = 0;
            break;
        }
        if (lineLength_ == before && lineMode_) return false;
    }
    return true;
}

void TCustomLineWSocket::DeliverHeldLines(int SearchFrom) {
    while (lineMode_ && !lineEnd_.empty()) {
        if (lineLength_ == 0) {
            const int found = FindLineEnd(SearchFrom);
            if (found < 0) break;
            lineLength_ = found + static_cast<int>(lineEnd_.size()) - head_;
        }
        if (!DeliverPendingLine()) return;
        SearchFrom = head_;
    }
    // Switched off part-way through a line: what is left of it, then the
    // bytes after it, are now plain held bytes.
    if (!lineMode_) lineLength_ = 0;
    if (Held() == 0) head_ = end_ = 0;
}

void TCustomLineWSocket::DeliverHeldRaw() {
    const auto alive = AliveToken();
    while (Held() > 0 && !lineMode_) {
        const int before = Held();
        const bool handled = TCustomSslWSocket::NotifyDataAvailable(0);
        if (alive.expired()) return;
        if (!handled) head_ = end_ = 0;
        if (Held() == before) return;
    }
}

void TCustomLineWSocket::Compact() {
    if (head_ == 0) return;
    std::memmove(lineBuffer_.data(), lineBuffer_.data() + head_, static_cast<std::size_t>(Held()));
    end_ -= head_;
    head_ = 0;
}

// A last line without LineEnd is still a line: it is offered before the
// close is reported.
void TCustomLineWSocket::NotifySessionClosed(std::uint16_t Error) {
    if (lineMode_ && Held() > 0) {
        const auto alive = AliveToken();
        lineLength_ = Held();
        (void)DeliverPendingLine();
        if (alive.expired()) return;
    }
    FreeLineBuffer();
    TCustomSslWSocket::NotifySessionClosed(Error);
}
