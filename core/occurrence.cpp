#include "core/occurrence.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <queue>
#include <vector>

namespace tessaly {
namespace {

struct Ymd {
    std::int64_t y, m, d;
};

Ymd Split(DateKey key) {
    const CivilDate c = SplitDateKey(key);
    return {c.year, c.month, c.day};
}

DateKey Key(const Ymd& v) {
    return MakeDateKey(v.y, v.m, v.d);
}

// Adds n months, carrying as many years as needed (a period above 12 is a real month).
void AddMonths(Ymd& v, std::int64_t n) {
    const std::int64_t index = v.y * 12 + (v.m - 1) + n;  // v.m >= 0, n >= 1: index stays >= v.y*12
    v.y = index / 12;
    v.m = index % 12 + 1;
}

bool IsValidDate(const Ymd& v) {
    return v.m >= 1 && v.m <= 12 && v.d >= 1 && v.d <= DaysInMonth(int(v.m), int(v.y));
}

// Every n months on the same day; the day is cut to the month's length afterwards.
Ymd StepMonthly(Ymd v, std::int64_t period, DateKey today) {
    // (month index, day) orders like the DateKey once the month is normalised, so the
    // number of steps that first passes today can be computed instead of counted.
    const Ymd t = Split(today);
    const std::int64_t need = (t.y * 12 + t.m - 1) - (v.y * 12 + v.m - 1);
    const std::int64_t months = v.d > t.d ? need : need + 1;  // smallest total that passes today
    const std::int64_t steps = std::max<std::int64_t>(1, (months + period - 1) / period);
    AddMonths(v, steps * period);
    v.d = std::min<std::int64_t>(v.d, DaysInMonth(int(v.m), int(v.y)));
    return v;
}

// Every n weeks. Valid dates jump straight past today; a damaged day is stepped literally.
Ymd StepWeekly(Ymd v, std::int64_t period, DateKey today) {
    if (IsValidDate(v)) {
        const Ymd t = Split(today);
        const std::int64_t from = DaysFromCivil(v.y, v.m, v.d);
        const std::int64_t gap = DaysFromCivil(t.y, t.m, t.d) - from;  // today must be passed
        const std::int64_t stride = 7 * period;
        const std::int64_t steps = std::max<std::int64_t>(1, gap < 0 ? 1 : gap / stride + 1);
        const CivilDate c = CivilFromDays(from + steps * stride);
        return {c.year, c.month, c.day};
    }
    do {
        for (std::int64_t i = 0; i < period; ++i) {
            v.d += 7;
            const int length = DaysInMonth(int(v.m), int(v.y));
            if (v.d > length) {
                v.d -= length;
                if (++v.m > 12) {
                    v.m = 1;
                    ++v.y;
                }
            }
        }
    } while (Key(v) <= today);
    return v;
}

// The same ordinal weekday every n months; a fifth weekday the new month lacks falls back
// to the last such weekday.
Ymd StepWeekdayMonths(Ymd v, std::int64_t period, DateKey today) {
    do {
        const int w = DayOfWeek(int(v.m), int(v.y), int(v.d));
        const int k = WeekOfMonth(int(v.d));
        AddMonths(v, period);
        const int f = DayOfWeek(int(v.m), int(v.y), 1);
        v.d = (w - f + 1) + 7 * (k - 1) + (f > w ? 7 : 0);
        if (v.d > DaysInMonth(int(v.m), int(v.y))) v.d -= 7;
    } while (Key(v) <= today);
    return v;
}

bool SortedWithoutConsumed(const std::vector<Reminder>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].date < 0) return false;
        if (i > 0 && list[i - 1].date > list[i].date) return false;
    }
    return true;
}

// Puts what list[from[t]] holds into list[t] for every t of `from`, in place. `from` names no
// position twice, and a position it does not name holds nothing still wanted. The moves form
// chains, each ending at a position whose content nobody wants, and closed cycles.
void MoveWithinList(std::vector<Reminder>& list, const std::vector<std::uint32_t>& from) {
    const std::size_t f = from.size();
    std::vector<bool> wanted(list.size()), placed(f);
    for (std::size_t t = 0; t < f; ++t) {
        if (from[t] == t) {
            placed[t] = true;
        } else {
            wanted[from[t]] = true;
        }
    }
    // A chain is filled from its free end backwards: each move frees the position it read,
    // which is the next to fill. Its moves depend on each other and read far apart, so several
    // chains are walked side by side and their reads overlap. A position a walk is about to
    // fill is still marked wanted, so no second walk starts there.
    constexpr std::size_t kWalks = 8;
    std::array<std::size_t, kWalks> walks{};
    std::size_t active = 0, start = 0;
    for (;;) {
        for (; active < kWalks && start < f; ++start) {
            if (!placed[start] && !wanted[start]) walks[active++] = start;
        }
        if (active == 0) break;
        for (std::size_t w = 0; w < active;) {
            const std::size_t at = walks[w];
            const std::size_t source = from[at];
            list[at] = list[source];
            placed[at] = true;
            if (source < f) {
                walks[w++] = source;
            } else {
                walks[w] = walks[--active];  // this chain is done
            }
        }
    }
    // What is left are cycles; one entry of each is held aside while the others move round.
    for (std::size_t t = 0; t < f; ++t) {
        if (placed[t]) continue;
        const Reminder held = list[t];
        std::size_t at = t;
        for (; from[at] != t; at = from[at]) {
            list[at] = list[from[at]];
            placed[at] = true;
        }
        list[at] = held;
        placed[at] = true;
    }
}

// A past one-time entry at the front that the turns did not reach (copies still in the past,
// landing among the first entries, took them) was archived all the same: left in place, the
// next roll-over would archive it again. It goes as if its turn had come.
void DropPastOneTimeEntries(std::vector<Reminder>& list, DateKey today) {
    const auto ahead =
        std::find_if(list.begin(), list.end(), [&](const Reminder& r) { return r.date >= today; });
    list.erase(
        std::remove_if(list.begin(), ahead, [](const Reminder& r) { return r.frequency <= 1; }),
        ahead);
}

DateKey Consumed(DateKey date) {
    return static_cast<DateKey>(
        -static_cast<std::int64_t>(std::abs(static_cast<std::int64_t>(date))));
}

}  // namespace

std::optional<DateKey> NextOccurrence(const Reminder& r, DateKey today) {
    Ymd v = Split(r.date);
    // A stored period of 0 would never pass today.
    const std::int64_t period = r.period == 0 ? 1 : r.period;
    switch (r.frequency) {
        case 0:
        case kOneTime:
            return std::nullopt;
        case kAnnual:
            ++v.y;
            break;
        case kMonthlyPeriod:
            v = StepMonthly(v, period, today);
            break;
        case kWeeklyPeriod:
            v = StepWeekly(v, period, today);
            break;
        case kWeekdayMonths:
            v = StepWeekdayMonths(v, period, today);
            break;
        default:
            break;
    }
    return Key(v);
}

bool OccursOn(const Reminder& r, DateKey day) {
    if (r.date < 0 || r.date > day) return false;
    if (r.date == day) return true;
    const CivilDate target = SplitDateKey(day);
    switch (r.frequency) {
        case kAnnual: {
            // One year a step, the day never cut: 29 February waits for the next leap year.
            const CivilDate from = SplitDateKey(r.date);
            return from.month == target.month && from.day == target.day;
        }
        case kMonthlyPeriod:
        case kWeeklyPeriod:
        case kWeekdayMonths:
            break;
        default:
            return false;  // one-time, or a frequency that never moves
    }
    const DateKey dayBefore = [&] {
        const CivilDate c = CivilFromDays(DaysFromCivil(target.year, target.month, target.day) - 1);
        return MakeDateKey(c.year, c.month, c.day);
    }();
    Reminder at = r;
    for (;;) {
        // From a real date whose day no month cuts, the steps do not depend on the path taken,
        // so the first occurrence after the day before is found in one go.
        const Ymd v = Split(at.date);
        if (IsValidDate(v) && (r.frequency != kMonthlyPeriod || v.d <= 28)) {
            return NextOccurrence(at, dayBefore) == day;
        }
        // A monthly day above 28 is cut by the first shorter month it lands in, and stays
        // cut: only single steps follow that path.
        const std::optional<DateKey> next = NextOccurrence(at, at.date);
        if (!next || *next <= at.date) return false;
        if (*next >= day) return *next == day;
        at.date = *next;
    }
}

void AdvanceReminder(ReminderList& list, int position, DateKey today) {
    Reminder& r = list.at(position);
    const std::optional<DateKey> next = NextOccurrence(r, today);
    if (!next) {
        r.date = Consumed(r.date);
        return;
    }
    r.date = *next;
    const Reminder copy = r;
    // The copy lands after the entry it came from, so `position` still names it.
    list.InsertByDate(copy);
    list.at(position).date = Consumed(*next);
}

void ArchivePastReminders(ReminderList& current, ReminderList& archive, DateKey today) {
    const CivilDate t = SplitDateKey(today);
    const DateKey cutoff =
        t.month == 1 ? MakeDateKey(t.year - 1, 12, t.day) : MakeDateKey(t.year, t.month - 1, t.day);
    std::vector<Reminder>& kept = archive.entries();
    std::erase_if(kept, [&](const Reminder& r) { return r.date < cutoff; });
    // Room for the most it can gain, taken once: on a large list, regrowing copies what it
    // holds again and again, while room never written costs nothing.
    kept.reserve(kept.size() + current.entries().size());
    for (const Reminder& r : current.entries()) {
        if (r.date >= today) break;
        if (r.kind >= 3 && r.frequency <= 1) archive.Append(r);
    }
}

void AdvancePastRemindersStepByStep(ReminderList& current, DateKey today) {
    const int n = current.count();
    int k = 0;
    for (int i = 1; i <= n; ++i) {
        if (current.at(i).date >= today) break;
        AdvanceReminder(current, i, today);
        ++k;
    }
    current.entries().erase(current.entries().begin(), current.entries().begin() + k);
    DropPastOneTimeEntries(current.entries(), today);
}

void AdvancePastReminders(ReminderList& current, DateKey today) {
    std::vector<Reminder>& list = current.entries();
    // The shortcut relies on date order; anything else gets the literal algorithm.
    if (!SortedWithoutConsumed(list)) return AdvancePastRemindersStepByStep(current, today);

    // Entries still ahead of the cursor are the untouched originals from `next` on, plus the
    // copies made so far. Each turn takes the earliest of them, as the literal loop does at
    // position i. Among equal dates, originals come first and copies in the order made.
    // Only copies still before today can be taken again, so only those go into the heap.
    // A copy differs from the original it descends from only in its date, so a copy is kept
    // as that date and the original's position.
    const std::size_t n = list.size();
    std::vector<std::uint32_t> origin;  // of every copy, in the order made
    origin.reserve(n);                  // at most one copy a turn
    struct Ref {
        DateKey date;
        std::uint32_t copy;  // index into origin: also its order among equal dates
    };
    auto copyOf = [&](const Ref& ref) {
        Reminder r = list[origin[ref.copy]];
        r.date = ref.date;
        return r;
    };
    auto later = [](const Ref& a, const Ref& b) {
        return a.date != b.date ? a.date > b.date : a.copy > b.copy;
    };
    // Each turn makes at most one copy: room for n once spares the regrowing of large lists.
    std::vector<Ref> pastRoom;
    pastRoom.reserve(n);
    std::priority_queue<Ref, std::vector<Ref>, decltype(later)> past(later, std::move(pastRoom));
    std::vector<Ref> ahead;
    ahead.reserve(n);
    std::size_t next = 0;
    for (std::size_t turn = 0; turn < n; ++turn) {
        const bool fromCopies = !past.empty() && (next >= n || past.top().date < list[next].date);
        if (!fromCopies && (next >= n || list[next].date >= today)) break;
        const Reminder r = fromCopies ? copyOf(past.top()) : list[next];
        const std::uint32_t from =
            fromCopies ? origin[past.top().copy] : static_cast<std::uint32_t>(next);
        if (fromCopies) {
            past.pop();
        } else {
            ++next;
        }
        if (const std::optional<DateKey> date = NextOccurrence(r, today)) {
            const Ref ref{*date, static_cast<std::uint32_t>(origin.size())};
            origin.push_back(from);
            if (*date < today) {
                past.push(ref);
            } else {
                ahead.push_back(ref);
            }
        }
    }

    // What is left: originals from `next`, and the copies in (date, order).
    std::vector<Ref> copies;
    copies.reserve(past.size() + ahead.size());
    while (!past.empty()) {
        copies.push_back(past.top());
        past.pop();
    }
    std::stable_sort(ahead.begin(), ahead.end(),
                     [](const Ref& a, const Ref& b) { return a.date < b.date; });
    const std::size_t pastCount = copies.size();
    copies.insert(copies.end(), ahead.begin(), ahead.end());
    std::inplace_merge(copies.begin(), copies.begin() + static_cast<std::ptrdiff_t>(pastCount),
                       copies.end(), [&](const Ref& a, const Ref& b) { return later(b, a); });

    // The result merges the two, a copy going first only when it is dated earlier. Every
    // entry's place in it is known, and so is where its content lies now: a remaining original
    // where it stands, a copy in the original it descends from (an original has at most one copy
    // left, as a turn makes at most one). So the list is rearranged where it stands rather than
    // into a second list as large as itself.
    std::vector<std::uint32_t> from;
    from.reserve(n - next + copies.size());
    for (std::size_t i = next, c = 0; i < n || c < copies.size();) {
        if (c < copies.size() && (i >= n || copies[c].date < list[i].date)) {
            from.push_back(origin[copies[c++].copy]);
        } else {
            from.push_back(static_cast<std::uint32_t>(i++));
        }
    }
    MoveWithinList(list, from);
    list.resize(from.size());
    // Copies, in the result in the order of `copies`, take their own dates.
    for (std::size_t t = 0, c = 0; t < from.size(); ++t) {
        if (from[t] < next) list[t].date = copies[c++].date;
    }
    DropPastOneTimeEntries(list, today);
}

void RollOver(ReminderList& current, ReminderList& archive, DateKey today,
              const std::function<void()>& saveAfterArchiving) {
    ArchivePastReminders(current, archive, today);
    if (saveAfterArchiving) saveAfterArchiving();
    AdvancePastReminders(current, today);
}

DateKey NotifyLimit(int notifyDays, DateKey today) {
    const CivilDate t = SplitDateKey(today);
    std::int64_t y = t.year, m = t.month, d = t.day + notifyDays;
    const int length = DaysInMonth(t.month, t.year);
    if (d > length) {
        d -= length;
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    return MakeDateKey(y, m, d);
}

int DaysUntil(DateKey key, DateKey today) {
    const CivilDate a = SplitDateKey(key);
    const CivilDate t = SplitDateKey(today);
    const std::int64_t days =
        DaysFromCivil(a.year, a.month, a.day) - DaysFromCivil(t.year, t.month, t.day);
    return static_cast<int>(std::clamp<std::int64_t>(days, INT32_MIN, INT32_MAX));
}

}  // namespace tessaly
