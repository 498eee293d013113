/* Preloaded into a program under measurement: counts its buffer swaps and
   stamps the first and the latest with CLOCK_MONOTONIC, in a small file that
   the benchmark maps and reads while the program runs (so the figures hold
   even when the program is ended by a signal). The file is named by
   SWAP_STAMP_FILE; without it the library only passes the call on. Both
   GLX and EGL presentation are stamped. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

struct SwapStamps {
    int64_t firstNs;  /* when the first swap returned */
    int64_t lastNs;   /* when the latest swap returned */
    int64_t count;    /* swaps so far */
};

static struct SwapStamps* stamps;
static void (*realGlxSwap)(Display*, GLXDrawable);
/* EGL's types are pointers and an unsigned int; declared here so the
   library needs no EGL headers. */
static unsigned (*realEglSwap)(void*, void*);

static int64_t NowNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static void MapStamps(void) {
    const char* path = getenv("SWAP_STAMP_FILE");
    if (!path) return;
    int fd = open(path, O_RDWR | O_CREAT, 0600);
    if (fd < 0) return;
    if (ftruncate(fd, sizeof *stamps) == 0) {
        void* p = mmap(NULL, sizeof *stamps, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p != MAP_FAILED) stamps = p;
    }
    close(fd);
}

static void Stamp(void) {
    if (!stamps) return;
    int64_t now = NowNs();
    if (stamps->count == 0) stamps->firstNs = now;
    stamps->lastNs = now;
    stamps->count++;
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    if (!realGlxSwap) {
        realGlxSwap = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
        if (!stamps) MapStamps();
    }
    realGlxSwap(display, drawable);
    Stamp();
}

/* The same for a program that presents through EGL. */
unsigned eglSwapBuffers(void* display, void* surface) {
    if (!realEglSwap) {
        realEglSwap = (unsigned (*)(void*, void*))dlsym(RTLD_NEXT, "eglSwapBuffers");
        if (!stamps) MapStamps();
    }
    unsigned result = realEglSwap(display, surface);
    Stamp();
    return result;
}
