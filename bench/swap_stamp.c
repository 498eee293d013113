/* Preloaded into a program under measurement: counts its buffer swaps and
   stamps the first and the latest with CLOCK_MONOTONIC, in a small file that
   the benchmark maps and reads while the program runs (so the figures hold
   even when the program is ended by a signal). The file is named by
   SWAP_STAMP_FILE; without it the library only passes the call on. Both
   GLX and EGL presentation are stamped.

   A program that links the swap call sees the preloaded one. Wine's X11
   driver does not: it opens libGL with dlopen, looks glXGetProcAddressARB
   up with dlsym on that handle (which searches libGL, never this library)
   and asks that for every GLX function. So dlsym and both GLX lookups are
   wrapped too: asked for a swap by name, they hand out the stamping one and
   keep what the lookup found as the real function. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
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
static void* (*realDlsym)(void*, const char*);
typedef void (*GlxFunction)(void);
static GlxFunction (*realGetProcAddressArb)(const GLubyte*);
static GlxFunction (*realGetProcAddress)(const GLubyte*);

/* glibc's own dlsym, by version: the wrapper below is what plain dlsym
   names inside this library too. */
static void* RealDlsym(void* handle, const char* name) {
    if (!realDlsym) {
        realDlsym = (void* (*)(void*, const char*))dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
        if (!realDlsym)
            realDlsym = (void* (*)(void*, const char*))dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
    }
    return realDlsym(handle, name);
}

static int64_t NowNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static void MapStamps(void) {
    static int tried;
    if (tried) return;
    tried = 1;
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
    if (!realGlxSwap)
        realGlxSwap = (void (*)(Display*, GLXDrawable))RealDlsym(RTLD_NEXT, "glXSwapBuffers");
    if (!stamps) MapStamps();
    realGlxSwap(display, drawable);
    Stamp();
}

/* The same for a program that presents through EGL. */
unsigned eglSwapBuffers(void* display, void* surface) {
    if (!realEglSwap)
        realEglSwap = (unsigned (*)(void*, void*))RealDlsym(RTLD_NEXT, "eglSwapBuffers");
    if (!stamps) MapStamps();
    unsigned result = realEglSwap(display, surface);
    Stamp();
    return result;
}

/* The stamping function for a swap named name, with found, what the real
   lookup gave, kept to be called; other names get found back. */
static void* StampingSwap(const char* name, void* found) {
    if (!found) return found;
    if (strcmp(name, "glXSwapBuffers") == 0) {
        if (found != (void*)glXSwapBuffers) realGlxSwap = (void (*)(Display*, GLXDrawable))found;
        return (void*)glXSwapBuffers;
    }
    if (strcmp(name, "eglSwapBuffers") == 0) {
        if (found != (void*)eglSwapBuffers) realEglSwap = (unsigned (*)(void*, void*))found;
        return (void*)eglSwapBuffers;
    }
    return found;
}

GlxFunction glXGetProcAddressARB(const GLubyte* name) {
    if (!realGetProcAddressArb)
        realGetProcAddressArb = (GlxFunction (*)(const GLubyte*))RealDlsym(
            RTLD_NEXT, "glXGetProcAddressARB");
    return (GlxFunction)StampingSwap((const char*)name,
                                     (void*)realGetProcAddressArb(name));
}

GlxFunction glXGetProcAddress(const GLubyte* name) {
    if (!realGetProcAddress)
        realGetProcAddress = (GlxFunction (*)(const GLubyte*))RealDlsym(
            RTLD_NEXT, "glXGetProcAddress");
    return (GlxFunction)StampingSwap((const char*)name, (void*)realGetProcAddress(name));
}

/* A lookup by handle of a swap or of a GLX lookup function returns the
   wrapper, with the function that handle gave kept as the real one. Other
   lookups pass straight on; one relative to the caller (RTLD_NEXT) is then
   answered as if this library had asked, which for the programs measured
   (their own executable asking, or no such lookup) finds the same. */
void* dlsym(void* handle, const char* name) {
    void* found = RealDlsym(handle, name);
    if (!found || handle == RTLD_NEXT || handle == RTLD_DEFAULT) return found;
    if (strcmp(name, "glXGetProcAddressARB") == 0) {
        if (found != (void*)glXGetProcAddressARB)
            realGetProcAddressArb = (GlxFunction (*)(const GLubyte*))found;
        return (void*)glXGetProcAddressARB;
    }
    if (strcmp(name, "glXGetProcAddress") == 0) {
        if (found != (void*)glXGetProcAddress)
            realGetProcAddress = (GlxFunction (*)(const GLubyte*))found;
        return (void*)glXGetProcAddress;
    }
    return StampingSwap(name, found);
}
