#include "tools/vftp/ProgressBar.h"

#include <algorithm>
#include <cstdio>

#include "platform/Ticks.h"

ProgressBar::ProgressBar(bool enabled, std::string label, std::int64_t total)
    : enabled_(enabled), label_(std::move(label)), total_(total), startTick_(platform::GetTickCount()) {}

std::string ProgressBar::HumanBytes(double bytes) {
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB"};
    int unit = 0;
    while (bytes >= 1024.0 && unit < 4) {
        bytes /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", bytes, units[unit]);
    return text;
}

void ProgressBar::Update(std::int64_t count) {
    last_ = count;
    if (!enabled_) return;
    const std::uint32_t now = platform::GetTickCount();
    if (drawn_ && now - lastDrawTick_ < 100) return;
    Draw(count, now);
}

void ProgressBar::Finish() {
    if (!enabled_ || !drawn_) return;
    Draw(last_, platform::GetTickCount());
    std::fputc('\n', stderr);
    // Requests after the transfer (--preserve's) finish again: one line end.
    drawn_ = false;
}

void ProgressBar::Draw(std::int64_t count, std::uint32_t now) {
    const double seconds = (now - startTick_) / 1000.0;
    const std::string rate = seconds > 0 ? HumanBytes(static_cast<double>(count) / seconds) + "/s" : "";
    char percent[16] = "";
    // A text upload counts the bytes on the wire, which outgrow the file by
    // one CR per line: the percentage stops at 100.
    if (total_ > 0) std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(std::min(count, total_) * 100 / total_));
    std::fprintf(stderr, "\r%-30.30s %10s %5s %12s ", label_.c_str(), HumanBytes(static_cast<double>(count)).c_str(), percent,
                 rate.c_str());
    std::fflush(stderr);
    drawn_ = true;
    lastDrawTick_ = now;
}
