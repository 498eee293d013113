/* Stands in for the X server's DPMS switch in the power-saving tests: no
   server available here implements DPMS, so this library, preloaded into the
   saver, answers the libXext DPMS calls from a state file and appends every
   change to it. The file holds "enabled" or "disabled" on its first line;
   each switch adds a line "set enabled" or "set disabled". */
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* StatePath(void) { return getenv("CHRONOVALE_TEST_DPMS_STATE"); }

static int ReadEnabled(void) {
    const char* path = StatePath();
    FILE* file = path ? fopen(path, "r") : NULL;
    if (!file) return 0;
    char line[64] = "";
    int enabled = 0;
    /* The last word written is the current state. */
    while (fgets(line, sizeof line, file)) enabled = strstr(line, "enabled") != NULL;
    fclose(file);
    return enabled;
}

static void Record(const char* state) {
    const char* path = StatePath();
    FILE* file = path ? fopen(path, "a") : NULL;
    if (!file) return;
    fprintf(file, "set %s\n", state);
    fclose(file);
}

Bool DPMSQueryExtension(Display* display, int* eventBase, int* errorBase) {
    (void)display;
    *eventBase = 0;
    *errorBase = 0;
    return StatePath() != NULL;
}

Bool DPMSCapable(Display* display) {
    (void)display;
    return StatePath() != NULL;
}

Status DPMSInfo(Display* display, CARD16* powerLevel, BOOL* state) {
    (void)display;
    *powerLevel = DPMSModeOn;
    *state = ReadEnabled() ? True : False;
    return 1;
}

Status DPMSEnable(Display* display) {
    (void)display;
    Record("enabled");
    return 1;
}

Status DPMSDisable(Display* display) {
    (void)display;
    Record("disabled");
    return 1;
}
