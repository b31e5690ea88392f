// Measures one notifier pass over a large data file:
//   notifier_pass_memory FILE [COUNT]
// writes COUNT reminders (default 10000) to FILE, then runs a pass that acknowledges every due
// pop-up, so the peak covers loading, the roll-over, the pop-up texts and both saves. Run it under
// `/usr/bin/time -v` or valgrind massif for the peak memory.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/data_file.h"
#include "notifier/pass.h"

namespace {

using namespace tessaly;

class FixedClock : public Clock {
  public:
    LocalTime Now() override { return {20261208, 9, 0, 0}; }
};

class AcknowledgeAll : public PopupResponder {
  public:
    PopupAnswer Answer(const Reminder&, const PopupTexts& texts) override {
        length += texts.title.size() + texts.dateLine.size();
        return PopupAnswer::kAcknowledge;
    }
    std::size_t length = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: notifier_pass_memory FILE [COUNT]\n");
        return 2;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 10000;
    ReminderData data;
    for (int i = 0; i < count; ++i) {
        Reminder r;
        r.kind = static_cast<std::uint8_t>(1 + i % 5);
        r.SetDescription("Reminder number " + std::to_string(i));
        // Spread over a year, from a month back: past, due and later entries alike.
        r.date = MakeDateKey(2026 + (10 + i % 12) / 12, 1 + (10 + i % 12) % 12, 1 + i % 28);
        r.timeOrYear = static_cast<std::int16_t>(r.kind < 3 ? 1950 + i % 60 : 900 + i % 10);
        r.notifyDays = static_cast<std::uint8_t>(i % 31);
        r.period = 1;
        r.frequency = static_cast<std::uint8_t>(1 + i % 5);
        data.current.InsertByDate(r);
    }
    if (!SaveReminderFile(argv[1], data, kEditorLabel)) return 1;

    FileStore store(argv[1]);
    FixedClock clock;
    AcknowledgeAll popup;
    ReminderData lists;
    const PassReport report = RunPass(lists, store, clock, popup);
    std::printf(
        "reminders %d, pop-ups %d, acknowledged %d, saved %s, now %d current + %d archived\n",
        count, report.shown, report.acknowledged, report.saved ? "yes" : "no",
        lists.current.count(), lists.archive.count());
    return report.saved ? 0 : 1;
}
