// When the saver plays music; how a player is found, started and closed is
// the platform's (platform/musicplayer.h).
#include "music.h"

#include "platform/musicplayer.h"
#include "saverwindow.h"
#include "settings_catalogue.h"

void StartMusicIfWanted() {
    const char* document = MusicFilename.Get();
    if (saverState.previewMode || PlayMusic.Get() == 0 || !document || !*document) return;
    saverState.musicProcessId = StartMusicPlayer(document);
}

void CloseMusicIfStarted() {
    if (saverState.musicProcessId == 0) return;
    CloseMusicPlayer(saverState.musicProcessId);
    saverState.musicProcessId = 0;
}
