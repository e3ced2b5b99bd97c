#include "session/TextArena.h"

char* TTextArena::Allocate(std::size_t size) {
    if (size > left_) {
        // A text longer than a block gets a block of its own, and the current
        // block stays open for the short texts that follow.
        if (size > kBlockSize / 4) {
            blocks_.push_back(std::make_unique<char[]>(size));
            reserved_ += size;
            return blocks_.back().get();
        }
        blocks_.push_back(std::make_unique<char[]>(kBlockSize));
        reserved_ += kBlockSize;
        next_ = blocks_.back().get();
        left_ = kBlockSize;
    }
    char* at = next_;
    next_ += size;
    left_ -= size;
    return at;
}

void TTextArena::Clear() {
    blocks_.clear();
    next_ = nullptr;
    left_ = 0;
    reserved_ = 0;
}
