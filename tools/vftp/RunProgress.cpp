#include "tools/vftp/RunProgress.h"

#include <cstdio>

#include "platform/Ticks.h"
#include "tools/vftp/ProgressBar.h"

RunProgress::RunProgress(bool enabled, int totalItems)
    : enabled_(enabled), total_(totalItems), startTick_(platform::GetTickCount()) {}

void RunProgress::Progress(const TTransferItem& item, std::int64_t bytes) {
    running_[item.id] = bytes;
    Draw(false);
}

void RunProgress::Ended(const TTransferItem& item) {
    running_.erase(item.id);
    ++ended_;
    if (item.state == TItemState::Failed) {
        ++failed_;
    } else if (item.state == TItemState::Done) {
        switch (item.action) {
            case TTransferAction::Transfer:
                ++transferred_;
                doneBytes_ += item.size;
                break;
            case TTransferAction::MakeFolder: ++folders_; break;
            default: ++deleted_; break;
        }
    }
    Draw(ended_ == total_);
}

std::int64_t RunProgress::Bytes() const {
    std::int64_t bytes = doneBytes_;
    for (const auto& [id, count] : running_) bytes += count;
    return bytes;
}

double RunProgress::Seconds() const { return (platform::GetTickCount() - startTick_) / 1000.0; }

void RunProgress::Draw(bool force) {
    if (!enabled_) return;
    const std::uint32_t now = platform::GetTickCount();
    if (!force && drawn_ && now - drawnTick_ < 100) return;
    const double seconds = Seconds();
    const std::string rate = seconds > 0 ? ProgressBar::HumanBytes(static_cast<double>(Bytes()) / seconds) + "/s" : "";
    std::fprintf(stderr, "\r%d of %d done  %10s  %12s  %d failed ", ended_, total_,
                 ProgressBar::HumanBytes(static_cast<double>(Bytes())).c_str(), rate.c_str(), failed_);
    std::fflush(stderr);
    drawn_ = true;
    drawnTick_ = now;
}

void RunProgress::Clear() {
    if (!enabled_ || !drawn_) return;
    std::fputs("\r\033[K", stderr);
    drawn_ = false;
}

void RunProgress::Finish() {
    if (!enabled_ || !drawn_) return;
    Draw(true);
    std::fputc('\n', stderr);
    drawn_ = false;
}

std::string RunProgress::Summary(const std::string& command, int skipped, int conflicts) const {
    const double seconds = Seconds();
    char timing[64];
    std::snprintf(timing, sizeof timing, "%.1f s", seconds);
    if (command == "rm") return "rm: " + std::to_string(deleted_) + " deleted, " + std::to_string(failed_) + " failed, " + timing;
    std::snprintf(timing, sizeof timing, "%.1f s (%.1f files/s)", seconds, seconds > 0 ? transferred_ / seconds : 0.0);
    std::string line = command + ": " + std::to_string(transferred_) + " files transferred (" +
                       ProgressBar::HumanBytes(static_cast<double>(doneBytes_)) + "), " + std::to_string(skipped) + " skipped, " +
                       std::to_string(failed_) + " failed";
    if (folders_ > 0) line += ", " + std::to_string(folders_) + " folders made";
    if (deleted_ > 0) line += ", " + std::to_string(deleted_) + " deleted";
    if (conflicts > 0) line += ", " + std::to_string(conflicts) + " conflicts";
    return line + ", " + timing;
}
