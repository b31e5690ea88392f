#include "notifier/alert_tracker.h"

#include <algorithm>
#include <utility>

namespace tessaly {
namespace {

// Answers are remembered this long after their event, so a clock set back even by months
// does not bring back alerts already answered; enough for any clock in practice.
constexpr std::int64_t kDaysRemembered = 400;

std::int64_t SecondsAt(LocalMinute minute) {
    return minute * 60;
}

}  // namespace

void AlertTracker::Reload(ReminderData data, int leadMinutes) {
    data_ = std::move(data);
    lead_ = leadMinutes;
    scheduled_ = 0;
}

void AlertTracker::Refresh(DateKey today) {
    if (today == scheduled_) return;
    scheduled_ = today;
    const std::int64_t day = LocalMinuteOf(today, 0) / 1440;
    const CivilDate before = CivilFromDays(day - 1);
    alerts_ = AlertSchedule(data_, MakeDateKey(before.year, before.month, before.day), lead_);
    const std::vector<Alert> todays = AlertSchedule(data_, today, lead_);
    alerts_.insert(alerts_.end(), todays.begin(), todays.end());
    std::erase_if(answers_, [&](const auto& entry) {
        return entry.first.eventAt < (day - kDaysRemembered) * 1440;
    });
}

std::optional<std::int64_t> AlertTracker::ShowsAt(const Alert& a) const {
    const auto answer = answers_.find(KeyOf(a));
    if (answer == answers_.end()) return SecondsAt(a.at);
    if (answer->second.state == State::kSnoozed) return answer->second.snoozedUntil;
    return std::nullopt;
}

std::optional<Alert> AlertTracker::Next(const LocalTime& now) {
    Refresh(now.date);
    const std::int64_t seconds = LocalSeconds(now);
    const Alert* next = nullptr;
    std::int64_t nextAt = 0;
    for (const Alert& a : alerts_) {
        const std::optional<std::int64_t> at = ShowsAt(a);
        if (!at || *at > seconds || seconds - *at >= SecondsAt(kLateAlertMinutes)) continue;
        // alerts_ is in order, so among equal times the first stays.
        if (!next || *at < nextAt) {
            next = &a;
            nextAt = *at;
        }
    }
    if (!next) return std::nullopt;
    answers_[KeyOf(*next)] = {State::kShown, 0};
    return *next;
}

void AlertTracker::Dismiss(const Alert& alert) {
    answers_[KeyOf(alert)] = {State::kDismissed, 0};
}

void AlertTracker::Snooze(const Alert& alert, const LocalTime& now) {
    answers_[KeyOf(alert)] = {State::kSnoozed, LocalSeconds(now) + SecondsAt(kSnoozeMinutes)};
}

LocalTime AlertTracker::NextWake(const LocalTime& now) {
    Refresh(now.date);
    const std::int64_t seconds = LocalSeconds(now);
    const std::int64_t midnight = LocalSeconds({now.date, 0, 0, 0}) + 86400;
    std::int64_t wake = midnight;
    for (const Alert& a : alerts_) {
        const std::optional<std::int64_t> at = ShowsAt(a);
        if (!at || seconds - *at >= SecondsAt(kLateAlertMinutes)) continue;
        if (*at <= seconds) return now;  // due: Next shows it
        wake = std::min(wake, *at);
    }
    return LocalTimeFromSeconds(wake);
}

}  // namespace tessaly
