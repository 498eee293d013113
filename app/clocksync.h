// The one-time SNTP correction of the computer's clock. The scene starts the
// exchange at set-up when SyncClock is on, polls it once per frame without
// blocking, and stops it at shutdown.
#pragma once

#include <cstdint>
#include <ctime>

// Sends the one request of this run to SntpServer, or to a built-in server
// when that setting is empty. Does nothing when SyncClock is off.
void StartClockSync();
// True in the one frame in which a reply was accepted and the clock was set.
bool PollClockSync();
void StopClockSync();

// True while a request is out and its socket open.
bool ClockSyncWaiting();

// Only one exchange is started per run. Tests and measurements that run
// several in one process end the current one and allow the next.
void RearmClockSync();

// The server port, 123 unless a test points the client at its own peer.
inline constexpr uint16_t kSntpPort = 123;
void SetSntpServerPort(uint16_t port);

// Converts calendar seconds to local calendar time; false when it cannot.
// The C library's localtime unless a test installs another (nullptr
// restores it).
using LocalTimeConversion = bool (*)(int64_t seconds, std::tm* local);
void SetLocalTimeConversion(LocalTimeConversion conversion);
