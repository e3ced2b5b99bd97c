#pragma once
// Records what an engine reports, for the tests: displayed lines (with the
// password masked), replies as OnResponse saw them, state changes, sessions
// and finished requests, and pumps the message loop with a deadline.

#include <functional>
#include <string>
#include <vector>

#include "ftp/Ftpcli.h"

struct DoneRecord {
    TFtpRequest request;
    std::uint16_t error;
};

// Pumps the message loop until `condition` holds or `milliseconds` pass.
bool PumpUntil(const std::function<bool()>& condition, int milliseconds);

// Points the engine at a scripted server on `port`, as user "bob" with
// password "pw" and a 5-second time-out.
void PointAtScripted(TFtpClient& ftp, int port);

class EngineProbe {
public:
    explicit EngineProbe(TFtpClient& ftp);

    bool WaitDone(std::size_t count = 1, int milliseconds = 10000);
    // Lets posted events arrive (bounded), e.g. after a blocking form.
    void Settle(int milliseconds = 50);
    bool Displayed(const std::string& line) const;

    std::vector<std::string> display;
    std::vector<std::string> responses;
    std::vector<TFtpState> states;
    std::vector<std::string> fileLines;
    std::vector<DoneRecord> done;
    // Event names in arrival order: "connected", "closed", "done".
    std::vector<std::string> order;
    int sessionConnected = 0;
    int sessionClosed = 0;

private:
    TFtpClient& ftp_;
};
