#pragma once
// What the queue tells a front end. Raised on the loop's thread; a handler
// must not add to or destroy the queue.

#include <cstdint>
#include <functional>
#include <string>

#include "transfer/TransferItem.h"

struct TTransferEvents {
    std::function<void(const TTransferItem&)> OnStarted;
    // Bytes of this attempt so far.
    std::function<void(const TTransferItem&, std::int64_t bytes)> OnProgress;
    // Also for an item skipped because its target exists (state Skipped).
    std::function<void(const TTransferItem&)> OnDone;
    // Once per item, when it failed for good (lastError says why).
    std::function<void(const TTransferItem&)> OnFailed;
    // Retries and changes of the number of connections, for a log.
    std::function<void(const std::string&)> OnNotice;
    // Every item added so far has ended and every connection is closed;
    // raised once each time the queue runs dry.
    std::function<void()> OnIdle;
};
