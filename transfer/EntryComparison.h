#pragma once
// How a file on one side stands against its namesake on the other, as the
// window's comparison colours it and as a synchronisation plan decides what
// to send. A time counts as newer only beyond the coarser of the two sides'
// precisions plus a tolerance: a long listing shows minutes, or only the day.

#include <cstdint>

#include "transfer/RemoteEntry.h"

enum class TEntryDifference { Same, OnlyHere, NewerHere, OlderHere, SizeDiffers };

// `a` is newer than `b` beyond their precisions and `toleranceSeconds`.
// Both must carry a time.
bool NewerThan(const TRemoteEntry& a, const TRemoteEntry& b, std::int64_t toleranceSeconds);

// `there` is null when the other side has no entry of that name. Folders
// are compared by presence only; a file against a folder differs in size.
// A newer time wins over a size that differs: it says which copy is the
// work to keep.
TEntryDifference CompareEntry(const TRemoteEntry& here, const TRemoteEntry* there, std::int64_t toleranceSeconds);
