#include "notifier/wait.h"

namespace tessaly {

int SecondsUntilAfterMidnight(int hour, int minute, int second) {
    return 3600 * (23 - hour) + 60 * (60 - minute) + second + 10;
}

}  // namespace tessaly
