#include "tests/ftp/EngineProbe.h"

#include <algorithm>

#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

bool PumpUntil(const std::function<bool()>& condition, int milliseconds) {
    const std::uint32_t start = platform::GetTickCount();
    for (;;) {
        platform::ProcessMessages();
        if (condition()) return true;
        const auto elapsed = static_cast<int>(platform::GetTickCount() - start);
        if (elapsed >= milliseconds) return false;
        (void)platform::WaitMessage(std::min(milliseconds - elapsed, 50));
    }
}

void PointAtScripted(TFtpClient& ftp, int port) {
    ftp.HostName = "127.0.0.1";
    ftp.Port = std::to_string(port);
    ftp.UserName = "bob";
    ftp.PassWord = "pw";
    ftp.Timeout = 5;
}

EngineProbe::EngineProbe(TFtpClient& ftp) : ftp_(ftp) {
    ftp.OnDisplay = [this](TCustomFtpCli*, std::string& msg) {
        display.push_back(msg.compare(0, 7, "> PASS ") == 0 ? "> PASS *****" : msg);
    };
    ftp.OnResponse = [this](TCustomFtpCli* sender) { responses.push_back(sender->LastResponse()); };
    ftp.OnStateChange = [this](TCustomFtpCli* sender) { states.push_back(sender->State()); };
    ftp.OnDisplayFile = [this](TCustomFtpCli*, std::string& msg) { fileLines.push_back(msg); };
    ftp.OnSessionConnected = [this](TCustomFtpCli*, std::uint16_t) {
        ++sessionConnected;
        order.push_back("connected");
    };
    ftp.OnSessionClosed = [this](TCustomFtpCli*, std::uint16_t) {
        ++sessionClosed;
        order.push_back("closed");
    };
    ftp.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest request, std::uint16_t error) {
        done.push_back({request, error});
        order.push_back("done");
    };
}

bool EngineProbe::WaitDone(std::size_t count, int milliseconds) {
    return PumpUntil([&] { return done.size() >= count; }, milliseconds);
}

void EngineProbe::Settle(int milliseconds) {
    (void)PumpUntil([] { return false; }, milliseconds);
}

bool EngineProbe::Displayed(const std::string& line) const {
    return std::find(display.begin(), display.end(), line) != display.end();
}
