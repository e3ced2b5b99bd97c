// The blocking forms: a request is started and the message loop is pumped
// until the engine is ready again or no progress was seen for Timeout seconds.
#include <algorithm>
#include <chrono>

#include "ftp/Ftpcli.h"
#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

namespace {

// Longest single wait when no deadline applies, so that the application's
// terminating flag is still looked at now and then.
constexpr int kIdleWaitMs = 1000;

// A 64-bit millisecond clock: any Timeout up to the largest int fits.
std::uint64_t NowMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

bool MovesData(TFtpStep step) {
    return step == TFtpStep::Retr || step == TFtpStep::Stor || step == TFtpStep::Appe || step == TFtpStep::List ||
           step == TFtpStep::Nlst;
}

}  // namespace

TFtpClient::TFtpClient() { Timeout = 15; }

void TFtpClient::PushDeadline() {
    if (Timeout > 0) Deadline = NowMs() + static_cast<std::uint64_t>(Timeout) * 1000u;
}

bool TFtpClient::WaitUntilReady() {
    const std::weak_ptr<bool> alive = AliveToken();
    const bool held = LiftReplyHold();
    const bool ready = Wait();
    if (!alive.expired()) RestoreReplyHold(held);
    return ready;
}

// Timeout bounds silence: every reply line and every data block pushes the
// deadline forward, so a slow server that keeps answering is no time-out.
bool TFtpClient::Wait() {
    const std::weak_ptr<bool> alive = AliveToken();
    const std::uint32_t ended = EndedRequests();
    PushDeadline();
    for (;;) {
        // A reply and the server's close in one receive end the request and
        // leave the state between steps before this loop looks again.
        if (State() == ftpStateReady || EndedRequests() != ended) return ResultCode() == 0;
        if (platform::ApplicationTerminated()) break;
        int wait = kIdleWaitMs;
        if (Timeout > 0) {
            const std::uint64_t now = NowMs();
            if (now >= Deadline) {
                // The time-out applies to each of the host's addresses.
                if (!TryNextAddress()) break;
                if (alive.expired()) return false;
                PushDeadline();
                continue;
            }
            wait = static_cast<int>(std::min<std::uint64_t>(Deadline - now, static_cast<std::uint64_t>(wait)));
        }
        platform::ProcessMessages();
        if (alive.expired()) return false;
        if (State() == ftpStateReady || EndedRequests() != ended) continue;
        (void)platform::WaitMessage(wait);
    }
    // 426 says a transfer was aborted; a silent server outside one is a
    // reply that never came.
    const bool transferring = MovesData(CurrentStep());
    AbortSession();
    if (alive.expired()) return false;
    SetErrorMessage(transferring ? "426 Timeout" : "421 timed out waiting for the server's reply");
    SetStatusCode(transferring ? 426 : 421);
    return false;
}

bool TFtpClient::NotifyProgress() {
    const std::weak_ptr<bool> alive = AliveToken();
    const bool goOn = TCustomFtpCli::NotifyProgress();
    if (alive.expired()) return false;
    PushDeadline();
    return goOn;
}
