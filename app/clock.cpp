// Chooses between the platform's clock and one a test installed.
#include "clock.h"

#include "platform/systemclock.h"

namespace {
Clock* installedClock = nullptr;
}

Clock& ActiveClock() { return installedClock ? *installedClock : SystemClock(); }

void SetActiveClock(Clock* clock) { installedClock = clock; }
