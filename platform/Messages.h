#pragma once
// Message identifiers, socket event bits and parameter packing shared by the
// message loop and everything that posts to it. Values are those of the
// socket interface and window system the code was designed against, so that
// numbers seen in logs and tests keep their familiar meaning.

#include <cstdint>

namespace platform {

using WindowHandle = std::uint64_t;  // 0 means "no window"
using WParam = std::uintptr_t;
using LParam = std::intptr_t;

inline constexpr std::uint32_t WM_USER = 0x0400;

inline constexpr long FD_READ = 0x01;
inline constexpr long FD_WRITE = 0x02;
inline constexpr long FD_OOB = 0x04;
inline constexpr long FD_ACCEPT = 0x08;
inline constexpr long FD_CONNECT = 0x10;
inline constexpr long FD_CLOSE = 0x20;

constexpr LParam MakeLParam(std::uint16_t low, std::uint16_t high) {
    return static_cast<LParam>((static_cast<std::uint32_t>(high) << 16) | low);
}
constexpr std::uint16_t LowWord(LParam value) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu); }
constexpr std::uint16_t HighWord(LParam value) {
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFFu);
}

}  // namespace platform
