#include "notifier/catch_up.h"

#include <algorithm>

namespace tessaly {
namespace {

// Enough to recognise any day the clock could be set back to in practice.
constexpr std::size_t kDaysRemembered = 400;

}  // namespace

void CatchUp::PassStarted(DateKey today) {
    running_ = true;
    pending_ = false;
    passDay_ = today;
    if (HadPass(today)) return;
    days_.push_back(today);
    if (days_.size() > kDaysRemembered) days_.erase(days_.begin());
}

void CatchUp::PassEnded() {
    running_ = false;
}

bool CatchUp::HadPass(DateKey day) const {
    return std::find(days_.begin(), days_.end(), day) != days_.end();
}

bool CatchUp::Wake(DateKey today) {
    if (running_) {
        pending_ = true;
        return false;
    }
    return !HadPass(today);
}

bool CatchUp::AfterPass(DateKey today) {
    const bool asked = pending_;
    pending_ = false;
    return (asked || today > passDay_) && !running_ && !HadPass(today);
}

bool CatchUp::MidnightTimer(DateKey waitBegan, DateKey today) const {
    // Fired on the day it was set (the clock went back unannounced): no new day has begun.
    return today != waitBegan;
}

}  // namespace tessaly
