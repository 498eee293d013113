// The clock setter of every test: it records each local time it was asked
// to set and answers with the result the test chose. The machine's clock is
// never touched.
#pragma once

#include <vector>

#include "platform/clockset.h"

namespace fake {

struct ClockSetter {
    bool succeeds = true;
    std::vector<LocalTimeRecord> requests;
};

ClockSetter& RecordingClockSetter();

}  // namespace fake
