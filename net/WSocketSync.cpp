#include "net/WSocket.h"

TCustomSyncWSocket::TCustomSyncWSocket() = default;
int TCustomSyncWSocket::CallAndWait(const std::function<void()>& Proc, bool& Flag) {
    Flag = false;
    if (Proc) Proc();
    return WaitUntilDone(Flag);
}
int TCustomSyncWSocket::WaitUntilDone(bool& Flag) { return Flag ? 0 : WaitTimedOut; }
