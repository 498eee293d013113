// The OpenGL window's GLX binding: configuration choice, context, frame
// presentation, the swap-interval switch and the release at teardown. The
// window itself, its events and the frame loop's order are glx_view.cpp's.
#include "glx_context.h"

#include <GL/glx.h>
#include <X11/extensions/Xrandr.h>

#include <cctype>
#include <cstring>

#include "main.h"
#include "platform/glcontext.h"
#include "platform/opengl.h"

namespace {
constexpr int kRequiredGlxMajor = 1;
constexpr int kRequiredGlxMinor = 3;
// Largest first: a request of 32 bits takes the best the display has.
constexpr int kDepthBufferRequests[] = {32, 24, 16};
constexpr int kSwapIntervalOff = 0;

const char* const kSoftwareRenderers[] = {"llvmpipe", "softpipe", "swrast",
                                          "software rasterizer"};

struct GlxContextRecord {
    Display* display = nullptr;
    Window window = 0;
    GLXFBConfig config = nullptr;
    XVisualInfo* visual = nullptr;
    GLXContext context = nullptr;
    bool doubleBuffered = true;
};
GlxContextRecord glx;

using SwapIntervalExtProc = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesaProc = int (*)(unsigned);

// Among the configurations of one request, the first whose visual has the
// desktop's depth; the first with any visual when none has.
GLXFBConfig PickConfig(Display* display, GLXFBConfig* configs, int count, int colorDepth,
                       XVisualInfo** visual) {
    GLXFBConfig fallback = nullptr;
    XVisualInfo* fallbackVisual = nullptr;
    for (int i = 0; i < count; ++i) {
        XVisualInfo* candidate = glXGetVisualFromFBConfig(display, configs[i]);
        if (!candidate) continue;
        if (candidate->depth == colorDepth) {
            if (fallbackVisual) XFree(fallbackVisual);
            *visual = candidate;
            return configs[i];
        }
        if (!fallback) {
            fallback = configs[i];
            fallbackVisual = candidate;
        } else {
            XFree(candidate);
        }
    }
    *visual = fallbackVisual;
    return fallback;
}

char Lower(char c) { return static_cast<char>(tolower(static_cast<unsigned char>(c))); }

bool ContainsIgnoringCase(const char* text, const char* word) {
    size_t length = strlen(word);
    for (const char* p = text; *p; ++p) {
        size_t i = 0;
        while (i < length && p[i] && Lower(p[i]) == Lower(word[i])) ++i;
        if (i == length) return true;
    }
    return false;
}
// True when the GL_RENDERER text names one of Mesa's software renderers.
bool IsSoftwareRenderer(const char* renderer) {
    if (!renderer) return false;
    for (const char* name : kSoftwareRenderers)
        if (ContainsIgnoringCase(renderer, name)) return true;
    return false;
}

// True when the space-separated list holds name as a whole word (not as
// the start of a longer name such as GLX_EXT_swap_control_tear).
bool HasExtension(const char* extensions, const char* name) {
    if (!extensions || !*name) return false;
    size_t length = strlen(name);
    for (const char* p = extensions; (p = strstr(p, name)) != nullptr; p += length) {
        bool starts = p == extensions || p[-1] == ' ';
        bool ends = p[length] == '\0' || p[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}
}  // namespace

bool GlxAvailable(Display* display) {
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(display, &errorBase, &eventBase)) return false;
    int major = 0, minor = 0;
    if (!glXQueryVersion(display, &major, &minor)) return false;
    return major > kRequiredGlxMajor || (major == kRequiredGlxMajor && minor >= kRequiredGlxMinor);
}

XVisualInfo* ChooseGlxVisual(Display* display, int screen, bool doubleBuffered, int colorDepth) {
    glx.display = display;
    glx.doubleBuffered = doubleBuffered;
    for (int depthBits : kDepthBufferRequests) {
        const int attributes[] = {
            GLX_X_RENDERABLE,  True,
            GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
            GLX_RENDER_TYPE,   GLX_RGBA_BIT,
            GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
            GLX_DOUBLEBUFFER,  doubleBuffered ? True : False,
            GLX_DEPTH_SIZE,    depthBits,
            None,
        };
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes, &count);
        if (!configs) continue;
        glx.config = PickConfig(display, configs, count, colorDepth, &glx.visual);
        XFree(configs);
        if (glx.config) break;
    }
    CHECK_PLATFORM_CALL(glx.config != nullptr, "glXChooseFBConfig");
    return glx.visual;
}

bool CreateGlxContext(Window window) {
    glx.window = window;
    glx.context = glXCreateNewContext(glx.display, glx.config, GLX_RGBA_TYPE, nullptr, True);
    CHECK_PLATFORM_CALL(glx.context != nullptr, "glXCreateNewContext");
    CHECK_PLATFORM_CALL(glXMakeCurrent(glx.display, window, glx.context), "glXMakeCurrent");
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return !IsSoftwareRenderer(renderer);
}

void MakeGlxContextCurrent() {
    if (glx.context) glXMakeCurrent(glx.display, glx.window, glx.context);
}

void PresentGlxFrame() {
    if (glx.doubleBuffered)
        glXSwapBuffers(glx.display, glx.window);
    else
        glFlush();
}

bool SwitchOffSwapWait() {
    if (!glx.display) return false;
    const char* extensions = glXQueryExtensionsString(glx.display, DefaultScreen(glx.display));
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        auto swapInterval = reinterpret_cast<SwapIntervalExtProc>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (swapInterval) {
            swapInterval(glx.display, glx.window, kSwapIntervalOff);
            return true;
        }
    }
    if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        auto swapInterval = reinterpret_cast<SwapIntervalMesaProc>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (swapInterval) return swapInterval(kSwapIntervalOff) == 0;
    }
    return false;
}

int DisplayRefreshRateHz() {
    if (!glx.display) return 0;
    Window root = DefaultRootWindow(glx.display);
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(glx.display, &eventBase, &errorBase)) return 0;
    // The primary output's mode gives the true rate (59.94 as 60); a server
    // without one (or without RandR 1.2) answers with its screen rate.
    int hz = 0;
    RROutput primary = XRRGetOutputPrimary(glx.display, root);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(glx.display, root);
    if (resources && primary) {
        XRROutputInfo* output = XRRGetOutputInfo(glx.display, resources, primary);
        XRRCrtcInfo* crtc = output && output->crtc
                                ? XRRGetCrtcInfo(glx.display, resources, output->crtc)
                                : nullptr;
        for (int i = 0; crtc && i < resources->nmode; ++i) {
            const XRRModeInfo& mode = resources->modes[i];
            if (mode.id != crtc->mode || mode.hTotal == 0 || mode.vTotal == 0) continue;
            double rate = static_cast<double>(mode.dotClock) /
                          (static_cast<double>(mode.hTotal) * mode.vTotal);
            hz = static_cast<int>(rate + 0.5);
        }
        if (crtc) XRRFreeCrtcInfo(crtc);
        if (output) XRRFreeOutputInfo(output);
    }
    if (resources) XRRFreeScreenResources(resources);
    if (hz > 0) return hz;
    XRRScreenConfiguration* config = XRRGetScreenInfo(glx.display, root);
    if (!config) return 0;
    hz = XRRConfigCurrentRate(config);
    XRRFreeScreenConfigInfo(config);
    return hz;
}

void RestoreDisplayMode() {
    // Nothing on X11 changes the display mode, so there is none to restore.
}

void ReleaseGlContext() {
    if (!glx.display) return;
    glXMakeCurrent(glx.display, None, nullptr);
    if (glx.context) glXDestroyContext(glx.display, glx.context);
    if (glx.visual) XFree(glx.visual);
    // The window is its own drawable: there is no surface apart from it to release.
    glx = GlxContextRecord();
}
