#include "transfer/EntryComparison.h"

#include <algorithm>

bool NewerThan(const TRemoteEntry& a, const TRemoteEntry& b, std::int64_t toleranceSeconds) {
    return *a.modifiedUtc > *b.modifiedUtc + std::max(a.timePrecision, b.timePrecision) + toleranceSeconds;
}

TEntryDifference CompareEntry(const TRemoteEntry& here, const TRemoteEntry* there, std::int64_t toleranceSeconds) {
    if (there == nullptr) return TEntryDifference::OnlyHere;
    if (here.isFolder != there->isFolder) return TEntryDifference::SizeDiffers;
    if (here.isFolder) return TEntryDifference::Same;
    const bool timed = here.modifiedUtc && there->modifiedUtc;
    if (timed && NewerThan(here, *there, toleranceSeconds)) return TEntryDifference::NewerHere;
    if (here.size != there->size) return TEntryDifference::SizeDiffers;
    if (timed && NewerThan(*there, here, toleranceSeconds)) return TEntryDifference::OlderHere;
    return TEntryDifference::Same;
}
