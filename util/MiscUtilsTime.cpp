#include <time.h>

#include <cmath>

#include "util/MiscUtils.h"

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr long long kMillisecondsPerDay = 86400000;
// Days from 1899-12-30, the date-time origin, to 1970-01-01.
constexpr long long kUnixEpochDay = 25569;

long long DayNumber(const tm& local) {
    using namespace std::chrono;
    const year_month_day date{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                              day{static_cast<unsigned>(local.tm_mday)}};
    return sys_days{date}.time_since_epoch().count() + kUnixEpochDay;
}

}  // namespace

TDateTime ToDateTime(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto whole = floor<seconds>(when);
    const time_t stamp = system_clock::to_time_t(whole);
    tm local{};
    if (localtime_r(&stamp, &local) == nullptr) return -1;
    const double fraction = duration<double>(when - whole).count();
    const double time = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction) / kSecondsPerDay;
    const long long days = DayNumber(local);
    // Before the origin the time of day counts away from zero: -1.25 is
    // 1899-12-29 06:00.
    return days < 0 ? static_cast<double>(days) - time : static_cast<double>(days) + time;
}

int SecondsOfDay(TDateTime t) {
    if (!std::isfinite(t)) return 0;
    // Round to the millisecond before dropping it: a difference of two
    // date-times meant as 59 s is often 58.99999 s in floating point.
    const double magnitude = std::fabs(t);
    auto ms =
        static_cast<long long>(RoundedWhole((magnitude - std::floor(magnitude)) * static_cast<double>(kMillisecondsPerDay)));
    if (ms >= kMillisecondsPerDay) ms = 0;
    return static_cast<int>(ms / 1000);
}
