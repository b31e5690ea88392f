#include "core/time_text.h"

#include <cstdio>

namespace tessaly {

std::string StoredTimeText(int t) {
    if (t <= 0) return {};
    const char* half = " am";
    if (t >= 2400 && t <= 2459) {
        t -= 2400;  // a typed "12:mm am"
    } else if (t >= 1300) {
        t -= 1200;
        half = " pm";
    } else if (t >= 1200) {
        half = " pm";
    }
    const int hour = t / 100 == 0 ? 12 : t / 100;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d%s", hour, t % 100, half);
    return buf;
}

std::optional<int> StoredTimeMinutes(int t) {
    if (t <= 0 || t % 100 > 59) return std::nullopt;
    if (t >= 2400) return t <= 2459 ? std::optional<int>(t - 2400) : std::nullopt;
    return t / 100 * 60 + t % 100;
}

}  // namespace tessaly
