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

// No reply may carry a time before this (calendar seconds since 1970): by
// default one day before the date this file was compiled, the day's slack
// covering the compiling machine's time zone. Tests that answer with fixed
// dates set their own floor; a negative value restores the default.
int64_t EarliestServerTime();
void SetEarliestServerTime(int64_t unixSeconds);

// Converts calendar seconds to local calendar time; false when it cannot.
// The C library's localtime unless a test installs another (nullptr
// restores it).
using LocalTimeConversion = bool (*)(int64_t seconds, std::tm* local);
void SetLocalTimeConversion(LocalTimeConversion conversion);
