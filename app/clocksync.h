// The one-time SNTP correction of the computer's clock. The scene starts the
// exchange at set-up when SyncClock is on, polls it once per frame without
// blocking, and stops it at shutdown.
#pragma once

void StartClockSync();
// True in the one frame in which a reply was accepted and the clock was set.
bool PollClockSync();
void StopClockSync();
