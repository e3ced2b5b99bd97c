#include "net/WSockbuf.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int Size) { Resize(Size); }

int TBuffer::Append(const void* Data, int Len) {
    const int count = std::max(0, std::min(Len, size_ - wrCount_));
    if (count > 0) std::memcpy(data_.get() + wrCount_, Data, static_cast<std::size_t>(count));
    wrCount_ += count;
    return count;
}

const char* TBuffer::Peek(int& Len) const {
    Len = wrCount_ - rdCount_;
    return Len > 0 ? data_.get() + rdCount_ : nullptr;
}

int TBuffer::Consume(int Count) {
    const int count = std::max(0, std::min(Count, wrCount_ - rdCount_));
    rdCount_ += count;
    if (rdCount_ >= wrCount_) {
        rdCount_ = 0;
        wrCount_ = 0;
    }
    return count;
}

void TBuffer::Resize(int NewSize) {
    if (NewSize <= 0) NewSize = kDefaultSize;
    if (NewSize == size_) return;
    // Not zeroed: only the bytes written are ever read, and untouched pages
    // of a large block cost no memory.
    auto fresh = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(NewSize));
    // Shrinking below the stored bytes would leave counts pointing past the
    // area; keep what fits instead.
    wrCount_ = std::min(wrCount_, NewSize);
    rdCount_ = std::min(rdCount_, wrCount_);
    if (wrCount_ > 0 && data_) std::memcpy(fresh.get(), data_.get(), static_cast<std::size_t>(wrCount_));
    data_ = std::move(fresh);
    size_ = NewSize;
}
