#include "bench/EventGaps.h"

#include <algorithm>

void TEventGaps::Tick() {
    const qint64 now = clock_.nsecsElapsed();
    const bool same = last_ >= 0 && now - last_ < sameWithin_;
    if (!same && last_ >= 0) longestGap_ = std::max(longestGap_, now - last_);
    if (!same) ++count_;
    last_ = now;
}
