// When the notifier runs a pass besides the one after each midnight: after a resume from
// sleep, or a change of the clock or the time zone, a day that has had no pass yet gets one
// at once. A day never gets two, so the same pop-ups never show twice in a day.
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

    // A resume, clock change or the midnight timer, seen on `today`: true when a pass should
    // start now. During a pass nothing starts; the wake-up is kept for AfterPass.
    bool Wake(DateKey today);
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
