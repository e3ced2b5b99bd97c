#pragma once
// Append-only storage for many short texts: one allocation per block instead
// of one per text, and nothing moves once stored, so pointers stay valid
// until Clear. Used for the rows of large remote listings.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class TTextArena {
public:
    // Room for `size` bytes, contiguous; valid until Clear.
    char* Allocate(std::size_t size);
    void Clear();
    std::size_t BytesReserved() const { return reserved_; }

private:
    // Big enough that a listing of 100,000 lines needs a few dozen blocks,
    // small enough that the unused tail of the last one does not matter.
    static constexpr std::size_t kBlockSize = 256 * 1024;

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t reserved_ = 0;
};
