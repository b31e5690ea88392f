// The editor's date texts.
#include "editor/form/date_texts.h"

#include <cstdio>

namespace tessaly {

std::string FormDateText(DateKey key) {
    return DateKeyText(key);
}

std::string NewReminderDateText(int month, int day, int year) {
    return std::to_string(month) + "-" + std::to_string(day) + "-" + std::to_string(year);
}

std::string DoubleClickDateText(int month, int day, int year) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", month % 100, day % 100, year % 100);
    return text;
}

}  // namespace tessaly
