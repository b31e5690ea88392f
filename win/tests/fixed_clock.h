// Today as a test chooses it: the local clock stands at noon of that day for a scope.
//   const win::Replaced today_ = win::test::FixToday(20261209);
#pragma once

#include <windows.h>

#include "core/date.h"
#include "win/clock.h"

namespace tessaly::win::test {

inline Replaced FixToday(DateKey day) {
    return localTime.Replace([day] {
        const CivilDate d = SplitDateKey(day);
        SYSTEMTIME t{};
        t.wYear = static_cast<WORD>(d.year);
        t.wMonth = static_cast<WORD>(d.month);
        t.wDay = static_cast<WORD>(d.day);
        t.wDayOfWeek = static_cast<WORD>(DayOfWeek(d.month, d.year, d.day));
        t.wHour = 12;
        return t;
    });
}

}  // namespace tessaly::win::test
