#pragma once
// The progress of a whole run of many files on one line of standard error
// (files done of total, bytes, rate), redrawn at most ten times a second,
// and the summary line at its end.

#include <cstdint>
#include <map>
#include <string>

#include "transfer/TransferItem.h"

class RunProgress {
public:
    // A disabled line draws nothing; the counts are kept all the same.
    RunProgress(bool enabled, int totalItems);

    void Progress(const TTransferItem& item, std::int64_t bytes);
    void Ended(const TTransferItem& item);
    // Clears the line so that a message can be printed.
    void Clear();
    void Finish();

    // "mirror: 20 files transferred (512.0 KB), 3 skipped, 0 failed, 0
    // deleted, 1.2 s (16.7 files/s)"
    std::string Summary(const std::string& command, int skipped, int conflicts) const;
    int Failed() const { return failed_; }

private:
    void Draw(bool force);
    std::int64_t Bytes() const;
    double Seconds() const;

    bool enabled_;
    int total_;
    int ended_ = 0;
    int transferred_ = 0;
    int failed_ = 0;
    int deleted_ = 0;
    int folders_ = 0;
    std::int64_t doneBytes_ = 0;
    std::map<int, std::int64_t> running_;
    std::uint32_t startTick_;
    std::uint32_t drawnTick_ = 0;
    bool drawn_ = false;
};
