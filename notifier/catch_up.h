// When the notifier runs a pass besides the one after each midnight: after a resume from
// sleep, or a change of the clock or the time zone, a day that has had no pass yet gets one
// at once. Such a catch-up never gives a day a second pass, so the same pop-ups never show
// twice in a day; the midnight timer's pass always runs, since a day remembered as having had
// its pass may only have been visited by a clock set ahead.
#pragma once

#include <vector>

#include "core/date.h"

namespace tessaly {

class CatchUp {
  public:
    // A pass begins on `today`; that day has had its pass from now on.
    void PassStarted(DateKey today);
    void PassEnded();
    bool Running() const { return running_; }
    bool HadPass(DateKey day) const;

    // A resume or clock change, seen on `today`: true when a pass should start now. During a
    // pass nothing starts; the wake-up is kept for AfterPass.
    bool Wake(DateKey today);
    // The midnight timer, set while the clock said `waitBegan`, fired on `today`: true on every
    // new day, whether or not that day is remembered as having had a pass.
    bool MidnightTimer(DateKey waitBegan, DateKey today) const;
    // Once a pass has ended, seen on `today`: true when that day has had no pass yet and a
    // wake-up during the pass asked for one, or the pass ended on a later day than it began
    // (a pop-up answered after midnight).
    bool AfterPass(DateKey today);

  private:
    std::vector<DateKey> days_;  // the days that had a pass, newest last
    DateKey passDay_ = 0;        // the day the last pass began
    bool running_ = false;
    bool pending_ = false;
};

}  // namespace tessaly
