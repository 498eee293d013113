// The platform's real clock: performance counter, millisecond tick and
// calendar time (QueryPerformanceCounter/timeGetTime/time on Windows,
// clock_gettime on Linux).
#pragma once

#include "../clock.h"

Clock& SystemClock();
