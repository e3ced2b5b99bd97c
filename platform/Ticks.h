#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary fixed point (the system's boot), wrapping
// after about 49.7 days like the counter the design relies on. Differences
// computed with unsigned arithmetic stay correct across the wrap.
std::uint32_t GetTickCount();

}  // namespace platform
