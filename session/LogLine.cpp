#include "session/LogLine.h"

#include <cctype>
#include <cstdio>

#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

// A translation keeps the prefix twelve characters wide, so that the texts
// after it stay in one column.
constexpr char kBlankPrefix[] = "            ";
constexpr char kDebugPrefix[] = QT_TRANSLATE_NOOP("TLogView", "Debug:      ");
constexpr char kStatusPrefix[] = QT_TRANSLATE_NOOP("TLogView", "Status:     ");
constexpr char kCommandPrefix[] = QT_TRANSLATE_NOOP("TLogView", "Command:    ");

}  // namespace

std::string FormatLogLine(const std::string& text, TLogKind kind, bool debug) {
    if (text.empty()) return {};
    const std::string masked = MaskPassword(text);
    switch (kind) {
        case TLogKind::Info: return kBlankPrefix + masked;
        case TLogKind::Debug: return debug ? Translated("TLogView", kDebugPrefix) + masked : std::string();
        case TLogKind::Status: return Translated("TLogView", kStatusPrefix) + masked;
        case TLogKind::Display:
            // Commands echoed with "> " are logged by the command event already;
            // local notices ("! ") are not part of the dialogue.
            if (masked[0] != '<') return {};
            return kBlankPrefix + (masked.size() > 2 ? masked.substr(2) : std::string());
        case TLogKind::Command: return Translated("TLogView", kCommandPrefix) + masked;
    }
    return {};
}

TLogColour LogColour(TLogKind kind) {
    switch (kind) {
        case TLogKind::Debug: return {128, 128, 0};
        case TLogKind::Status: return {0, 0, 255};
        case TLogKind::Command: return {0, 128, 0};
        case TLogKind::Info:
        case TLogKind::Display: break;
    }
    return {0, 0, 0};
}

std::string ElapsedText(long long seconds) {
    if (seconds < 0) seconds = 0;
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", (seconds / 3600) % 24, (seconds / 60) % 60, seconds % 60);
    return text;
}
