#pragma once
// A one-line progress display on standard error: bytes so far, percentage when
// the total is known, and the average rate. Redrawn at most ten times a second.

#include <cstdint>
#include <string>

class ProgressBar {
public:
    // `total` < 0: unknown. A disabled bar prints nothing.
    ProgressBar(bool enabled, std::string label, std::int64_t total);
    void Update(std::int64_t count);
    void Finish();

    // "12.3 MB" style text with one decimal, for the bar and for tests.
    static std::string HumanBytes(double bytes);

private:
    void Draw(std::int64_t count, std::uint32_t now);

    bool enabled_;
    std::string label_;
    std::int64_t total_;
    std::int64_t last_ = 0;
    std::uint32_t startTick_;
    std::uint32_t lastDrawTick_ = 0;
    bool drawn_ = false;
};
