#pragma once
// How a window kept up while it worked: the longest time between two events
// of one kind (key presses handled, repaints) and how many there were.

#include <QElapsedTimer>

class TEventGaps {
public:
    // Events closer together than this count as one (the paint events of
    // one repaint arrive together).
    explicit TEventGaps(qint64 sameWithinNs = 0) : sameWithin_(sameWithinNs) {}

    void Start() { clock_.start(); }
    void Tick();
    int Count() const { return count_; }
    double LongestGapMs() const { return static_cast<double>(longestGap_) / 1e6; }

private:
    QElapsedTimer clock_;
    qint64 sameWithin_;
    qint64 last_ = -1;
    qint64 longestGap_ = 0;
    int count_ = 0;
};
