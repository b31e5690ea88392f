// The local clock.
#include "win/clock.h"

namespace tessaly::win {
namespace {

SYSTEMTIME SystemLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}

}  // namespace

SystemCall<SYSTEMTIME()> localTime{&SystemLocalTime};

DateKey Today() {
    const SYSTEMTIME now = localTime();
    return MakeDateKey(now.wYear, now.wMonth, now.wDay);
}

}  // namespace tessaly::win
