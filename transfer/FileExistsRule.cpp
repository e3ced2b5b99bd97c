#include "transfer/FileExistsRule.h"

std::optional<TFileExistsChoice> ResolveFileExists(TFileExistsAnswer answer, const TFileFacts& source, const TFileFacts& target,
                                                   bool canResume) {
    const bool sizeDiffers = source.size != target.size;
    switch (answer) {
        case TFileExistsAnswer::Ask: return std::nullopt;
        case TFileExistsAnswer::Overwrite: return TFileExistsChoice::Overwrite;
        case TFileExistsAnswer::OverwriteIfNewer:
            if (source.modifiedUtc && target.modifiedUtc)
                return *source.modifiedUtc > *target.modifiedUtc ? TFileExistsChoice::Overwrite : TFileExistsChoice::Skip;
            [[fallthrough]];
        case TFileExistsAnswer::OverwriteIfSizeDiffers:
            return sizeDiffers ? TFileExistsChoice::Overwrite : TFileExistsChoice::Skip;
        case TFileExistsAnswer::Resume:
            if (!canResume) return std::nullopt;
            return target.size < source.size ? TFileExistsChoice::Resume : TFileExistsChoice::Skip;
        case TFileExistsAnswer::Rename: return TFileExistsChoice::Rename;
        case TFileExistsAnswer::Skip: return TFileExistsChoice::Skip;
    }
    return std::nullopt;
}

// The number goes before the extension so that the copy keeps its type
// ("index (1).html"); a leading dot is no extension (".htaccess (1)").
std::string FreeName(const std::string& name, const std::function<bool(const std::string&)>& taken, int limit) {
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (int number = 1; number <= limit; ++number) {
        const std::string candidate = stem + " (" + std::to_string(number) + ")" + extension;
        if (!taken(candidate)) return candidate;
    }
    return {};
}
