// The recording clock setter behind SetLocalClock.
#include "recording_clock_setter.h"

namespace fake {

ClockSetter& RecordingClockSetter() {
    static ClockSetter setter;
    return setter;
}

}  // namespace fake

bool SetLocalClock(const LocalTimeRecord& time) {
    fake::RecordingClockSetter().requests.push_back(time);
    return fake::RecordingClockSetter().succeeds;
}
