// Blocking-style waits that keep the message loop running.
#include <algorithm>

#include "net/WSocket.h"
#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

namespace {
// Without a time limit the wait still wakes this often to look at the
// application's terminating flag.
constexpr int kIdleWakeMs = 100;
}  // namespace

TCustomSyncWSocket::TCustomSyncWSocket() = default;

int TCustomSyncWSocket::CallAndWait(const std::function<void()>& Proc, bool& Flag) {
    Flag = false;
    if (Proc) Proc();
    return WaitUntilDone(Flag);
}

int TCustomSyncWSocket::WaitUntilDone(bool& Flag) {
    timeStop_ = platform::GetTickCount() + static_cast<std::uint32_t>(waitTimeout_);
    for (;;) {
        if (Flag) return 0;
        if (platform::ApplicationTerminated()) return WaitTimedOut;
        const auto left = static_cast<std::int32_t>(timeStop_ - platform::GetTickCount());
        if (waitTimeout_ > 0 && left < 0) return WaitTimedOut;
        PumpMessages();
        if (Flag) return 0;
        (void)platform::WaitMessage(waitTimeout_ > 0 ? std::clamp(left, 0, kIdleWakeMs) : kIdleWakeMs);
    }
}
