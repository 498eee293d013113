// When the saver plays music: the player is started at saver window creation
// in full-screen runs with PlayMusic on and a MusicFilename, and closed by
// the OpenGL window's teardown or by a refused start.
#pragma once

// Starts the player if this run plays music; its id goes to musicProcessId.
void StartMusicIfWanted();

// Closes a started player and forgets its id.
void CloseMusicIfStarted();
