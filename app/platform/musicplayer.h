// The music player: the program the desktop associates with a document,
// started while a full-screen saver runs and asked to close at its end.
#pragma once

#include <cstdint>

// Starts the associated program for document (hidden where the platform can)
// and waits, for a limited time, until it is ready; its process id, or 0 when
// nothing was started.
uint32_t StartMusicPlayer(const char* document);

// Asks every top-level window of that process to close. Where a started
// player still runs without any window (it would play on unseen), it is ended.
void CloseMusicPlayer(uint32_t processId);
