#include "notifier/alerts.h"

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>

#include "core/occurrence.h"
#include "core/time_text.h"
#include "notifier/popup_text.h"

namespace tessaly {
namespace {

constexpr int kMinutesADay = 1440;

// The minute of the day a reminder's alert is for; none for a kind without a time or a
// reminder that has none.
std::optional<int> AlertMinute(const Reminder& r) {
    if (r.kind < kReminderKind || r.kind > kMeeting) return std::nullopt;
    return StoredTimeMinutes(r.timeOrYear);
}

std::string Minutes(std::int64_t n) {
    return std::to_string(n) + (n == 1 ? " minute" : " minutes");
}

}  // namespace

AlertKey KeyOf(const Alert& alert) {
    return {alert.eventAt, alert.reminder.kind, alert.reminder.description};
}

std::vector<Alert> AlertSchedule(const ReminderData& data, DateKey day, int leadMinutes) {
    std::vector<Alert> alerts;
    if (leadMinutes <= 0) return alerts;
    const LocalMinute begin = LocalMinuteOf(day, 0);
    const LocalMinute end = begin + kMinutesADay;
    const std::int64_t first = begin / kMinutesADay;
    // The lead reaches back from an event at most this many midnights.
    const std::int64_t last = first + (leadMinutes + kMinutesADay - 1) / kMinutesADay;

    for (std::int64_t n = first; n <= last; ++n) {
        const CivilDate c = CivilFromDays(n);
        const DateKey eventDay = MakeDateKey(c.year, c.month, c.day);
        // The alert entry r would have on eventDay, when it goes off within `day`.
        const auto within = [&](const Reminder& r, AlertList list, int index) {
            std::optional<Alert> alert;
            const std::optional<int> minute = AlertMinute(r);
            if (!minute) return alert;
            const LocalMinute eventAt = n * kMinutesADay + *minute;
            const LocalMinute at = eventAt - leadMinutes;
            if (at < begin || at >= end) return alert;
            alert = Alert{at, eventAt, list, index, r};
            alert->reminder.date = eventDay;
            return alert;
        };
        const std::vector<Reminder>& current = data.current.entries();
        for (std::size_t i = 0; i < current.size(); ++i) {
            if (current[i].date > eventDay) continue;
            // OccursOn last: it may step through many occurrences.
            std::optional<Alert> alert = within(current[i], AlertList::kCurrent, int(i) + 1);
            if (alert && OccursOn(current[i], eventDay)) alerts.push_back(*alert);
        }
        // An archived entry is one past occurrence: it stands for its own date only.
        const std::vector<Reminder>& archive = data.archive.entries();
        for (std::size_t i = 0; i < archive.size(); ++i) {
            if (archive[i].date != eventDay) continue;
            if (std::optional<Alert> alert = within(archive[i], AlertList::kArchive, int(i) + 1)) {
                alerts.push_back(*alert);
            }
        }
    }

    std::sort(alerts.begin(), alerts.end(), [](const Alert& a, const Alert& b) {
        return std::tie(a.at, a.eventAt, a.list, a.index) <
               std::tie(b.at, b.eventAt, b.list, b.index);
    });
    std::set<AlertKey> seen;
    std::erase_if(alerts, [&](const Alert& a) { return !seen.insert(KeyOf(a)).second; });
    return alerts;
}

AlertTexts ComposeAlertTexts(const Alert& alert, const LocalTime& now) {
    AlertTexts t;
    t.title = KindTitle(alert.reminder.kind);
    t.description = std::string(alert.reminder.Description());
    // Counted in whole minutes of the clock, as the reminder's time is.
    const std::int64_t ahead = alert.eventAt - LocalMinuteOf(now);
    t.whenLine = "at " + StoredTimeText(alert.reminder.timeOrYear) + ", ";
    if (ahead > 0) {
        t.whenLine += "in " + Minutes(ahead);
    } else if (ahead == 0) {
        t.whenLine += "now";
    } else {
        t.whenLine += "started " + Minutes(-ahead) + " ago";
    }
    return t;
}

}  // namespace tessaly
