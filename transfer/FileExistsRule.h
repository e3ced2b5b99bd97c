#pragma once
// What a transfer does when its target file exists already: the answers the
// user can give (in the question, or once for the rest of a transfer, or as
// the default in the options) and how an answer turns into an action once
// both files' facts are known. Nothing replaces a target unless the answer
// says so.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "transfer/TransferItem.h"

// The order is the options' list of default actions, stored as its index.
enum class TFileExistsAnswer { Ask, Overwrite, OverwriteIfNewer, OverwriteIfSizeDiffers, Resume, Rename, Skip };

struct TFileFacts {
    std::int64_t size = 0;
    // Seconds since 1970-01-01 00:00 UTC; unknown when the server gives none.
    std::optional<std::int64_t> modifiedUtc;
};

// The action for `answer` (not Ask) when `target` exists and `source` is
// to be sent over it. "If newer" without both times falls back to the
// sizes, as the synchronisation plans do. Resume continues a shorter target
// and skips one that is as long or longer (there is nothing to add, and a
// longer file is no beginning of this one). Without `canResume` (a text
// transfer, whose sizes are no offsets into each other) Resume has no
// action: nullopt, the caller asks.
std::optional<TFileExistsChoice> ResolveFileExists(TFileExistsAnswer answer, const TFileFacts& source, const TFileFacts& target,
                                                   bool canResume);

// The first of "name (1).ext", "name (2).ext", ... that `taken` says is
// free; empty when the first `limit` are all taken.
std::string FreeName(const std::string& name, const std::function<bool(const std::string&)>& taken, int limit = 1000);
