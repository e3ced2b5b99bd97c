// The blocking forms: a request is started and the message loop is pumped
// until the engine is ready again or no progress was seen for Timeout seconds.
#include "ftp/Ftpcli.h"
#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

namespace {

// Longest single wait when no deadline applies, so that the application's
// terminating flag is still looked at now and then.
constexpr int kIdleWaitMs = 1000;

}  // namespace

TFtpClient::TFtpClient() { Timeout = 15; }

bool TFtpClient::WaitUntilReady() {
    Deadline = platform::GetTickCount() + static_cast<std::uint32_t>(Timeout) * 1000u;
    for (;;) {
        if (State() == ftpStateReady) return ResultCode() == 0;
        if (platform::ApplicationTerminated()) break;
        int wait = kIdleWaitMs;
        if (Timeout > 0) {
            const auto left = static_cast<std::int32_t>(Deadline - platform::GetTickCount());
            if (left < 0) break;
            wait = left < wait ? left : wait;
        }
        platform::ProcessMessages();
        if (State() == ftpStateReady) continue;
        (void)platform::WaitMessage(wait);
    }
    AbortSession();
    SetErrorMessage("426 Timeout");
    SetStatusCode(426);
    return false;
}

bool TFtpClient::NotifyProgress() {
    const bool goOn = TCustomFtpCli::NotifyProgress();
    if (Timeout > 0) Deadline = platform::GetTickCount() + static_cast<std::uint32_t>(Timeout) * 1000u;
    return goOn;
}
