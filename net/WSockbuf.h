#pragma once
// One block of a socket's send queue: a fixed-capacity byte area filled from
// its start and drained from its start. When everything written has been
// read, both counts return to 0 so the block is reused without reallocation.

#include <cstdint>
#include <memory>

class TBuffer {
public:
    static constexpr int kDefaultSize = 1514;

    // A capacity of 0 or less means kDefaultSize.
    explicit TBuffer(int Size = kDefaultSize);

    // Copies min(Len, free room) bytes after the stored ones; returns that
    // number (0 when the block is full).
    int Append(const void* Data, int Len);
    // The first unread byte and the unread count; nullptr and 0 when drained.
    const char* Peek(int& Len) const;
    // Advances the read position by at most the unread count and returns the
    // amount consumed; a block drained this way starts over at offset 0.
    int Consume(int Count);
    // Changes the capacity (0 or less means kDefaultSize). Unread bytes are
    // kept when they still fit; a smaller capacity truncates the block.
    void Resize(int NewSize);

    int Capacity() const { return size_; }
    int WriteCount() const { return wrCount_; }
    int ReadCount() const { return rdCount_; }
    int Unread() const { return wrCount_ - rdCount_; }

private:
    std::unique_ptr<char[]> data_;
    int size_ = 0;
    int wrCount_ = 0;
    int rdCount_ = 0;
};
