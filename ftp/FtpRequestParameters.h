#pragma once
// What a request works on, copied from the engine's public fields when the
// request starts (a sequence copies them once, at its start): a caller that
// prepares its next request meanwhile changes nothing of the running one,
// and the engine's own adjustments (the offset a REST found, passive mode
// through a proxy) stay out of the caller's fields.

#include <cstdint>
#include <string>

struct TFtpRequestParameters {
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;
    std::string HostFileName;
    std::string LocalFileName;
    std::string RenameTo;
    std::string QuoteLine;
    std::string TypeArgument;  // the engine's own: what TYPE sends
    bool DisplayFileFlag = false;
    bool Passive = false;
    std::int64_t FileTimeUtc = 0;
    std::int64_t ResumeAt = 0;
};
