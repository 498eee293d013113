// The overlay font, the overlay pass and the picture loader on a real OpenGL
// context, both platforms, with the companion library as built. "check"
// draws glyphs and compares the frame buffer with the glyph picture's cells
// (upright, unmirrored, advance, alpha, codes above 127, nothing without a
// picture), then draws the overlay pass and reads where its elements lit the
// view; "bench" times the decode and upload of picture 142 and a frame with
// every overlay element against one without. The window comes from
// imagery_gl.h's per-platform file.
//
//   imagery_gl check LIBRARY
//   imagery_gl bench LIBRARY [WIDTH HEIGHT WARM-UP-SECONDS BLOCKS]
#include "imagery_gl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "app.h"
#include "clock.h"
#include "flyingtime.h"
#include "glview.h"
#include "main.h"
#include "overlay.h"
#include "picture.h"
#include "platform/opengl.h"
#include "platform/resources.h"
#include "saverwindow.h"
#include "scene.h"
#include "settings_catalogue.h"

namespace {

constexpr int kCheckWidth = 256;
constexpr int kCheckHeight = 64;
constexpr int kLayerWidth = 1024;
constexpr int kLayerHeight = 768;
constexpr int kFontPicture = 142;
constexpr int kAdvance = 8;
constexpr int kCell = 16;
// Mean difference per sample allowed between a drawn glyph and its cell; the
// wrong orientations differ by several times more.
constexpr double kGlyphTolerance = 6.0;

int failures = 0;

void Fail(const char* what, double value) {
    std::printf("FAIL %s (%.2f)\n", what, value);
    ++failures;
}

// The picture as decoded, top row first.
PictureRows Picture() {
    PictureRows picture;
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (FindResourceBytes(resourceLibrary, kPictureResourceType, kFontPicture, &data, &size)) {
        DecodeJpegPicture(data, size, &picture);
    }
    return picture;
}

// The red samples of the lower left width x height of the back buffer,
// bottom row first.
std::vector<int> ReadRed(int width, int height) {
    glFinish();
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::vector<int> red(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < red.size(); ++i) red[i] = rgb[i * 3];
    return red;
}

// A black view of the given size with the saver's state at the overlay pass.
void StartView(int width, int height) {
    displayState.viewWidth = width;
    displayState.viewHeight = height;
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);  // as the saver has it
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::vector<int> DrawAndRead(const char* text, double x, double y, const OverlayColor& color) {
    StartView(kCheckWidth, kCheckHeight);
    glDisable(GL_DEPTH_TEST);
    DrawOverlayText(CurrentFrameInfo().view, x, y, text, color);
    return ReadRed(kCheckWidth, kCheckHeight);
}

// The glyph picture's sample of code at cell column u and row v counted from
// the cell's top; flips select the wrong orientations.
int CellSample(const PictureRows& picture, int code, int u, int v, bool flipV, bool mirrorU) {
    if (flipV) v = kCell - 1 - v;
    if (mirrorU) u = kCell - 1 - u;
    int px = (code % 16) * kCell + u;
    int py = (code / 16) * kCell + v;
    return picture.pixels[(static_cast<size_t>(py) * picture.width + px) * 3];
}

// Mean difference between the frame buffer and the glyphs of text as the
// cells give them (overlapping cells add), over the text's whole area.
double Difference(const std::vector<int>& red, const PictureRows& picture, const char* text,
                  int left, int bottom, bool flipV, bool mirrorU, double alpha) {
    int length = static_cast<int>(std::strlen(text));
    int width = (length - 1) * kAdvance + kCell;
    double sum = 0;
    for (int gy = 0; gy < kCell; ++gy) {
        for (int gx = 0; gx < width; ++gx) {
            int expected = 0;
            for (int i = 0; i < length; ++i) {
                int u = gx - i * kAdvance;
                if (u < 0 || u >= kCell) continue;
                // Frame-buffer row gy from the quad's bottom is cell row 15 - gy from the top.
                expected += CellSample(picture, static_cast<unsigned char>(text[i]), u, kCell - 1 - gy,
                                       flipV, mirrorU);
            }
            expected = std::min(255, static_cast<int>(std::lround(expected * alpha)));
            sum += std::abs(red[static_cast<size_t>(bottom + gy) * kCheckWidth + left + gx] - expected);
        }
    }
    return sum / (width * kCell);
}

int LitSamples(const std::vector<int>& red) {
    return static_cast<int>(std::count_if(red.begin(), red.end(), [](int v) { return v > 40; }));
}

// A rectangle of the layer view in screen terms: x from the left, y from the top.
struct Region {
    const char* name;
    int x, y, width, height;
};
constexpr Region kTopRight = {"top right", kLayerWidth - 64, 0, 64, 32};
constexpr Region kBottomLeft = {"bottom left", 0, kLayerHeight - 40, 240, 40};
constexpr Region kBottomRight = {"bottom right", kLayerWidth - 440, kLayerHeight - 40, 440, 40};
constexpr Region kCentre = {"centre", kLayerWidth / 2 - 60, kLayerHeight / 2 - 16, 120, 32};

struct LayerPicture {
    std::vector<int> red;
    int Lit(const Region& r) const {
        int lit = 0;
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) lit += red[static_cast<size_t>(kLayerHeight - 1 - y) * kLayerWidth + x] > 40;
        }
        return lit;
    }
    double Sum(const Region& r) const {
        double sum = 0;
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) sum += red[static_cast<size_t>(kLayerHeight - 1 - y) * kLayerWidth + x];
        }
        return sum;
    }
    int LitOutside(std::initializer_list<Region> regions) const {
        int total = LitSamples(red);
        for (const Region& r : regions) total -= Lit(r);
        return total;
    }
};

// The overlay pass over a black view with the given elements switched on.
LayerPicture DrawLayer(bool frameRate, bool dateLine, double banner, bool preview, bool lightingOn) {
    StartView(kLayerWidth, kLayerHeight);
    ShowFramerate.Set(frameRate ? 1 : 0);
    ShowTime.Set(dateLine ? 1 : 0);
    frameStep.bannerFade = banner;
    saverState.previewMode = preview;
    if (lightingOn) glEnable(GL_LIGHTING);
    DrawOverlayLayer(CurrentFrameInfo());
    bool lightingAfter = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    if (lightingAfter != lightingOn) Fail("lighting not as it was before the overlay", lightingOn);
    glDisable(GL_LIGHTING);
    return {ReadRed(kLayerWidth, kLayerHeight)};
}

void Expect(bool condition, const char* what, double value) {
    std::printf("%s %s (%.0f)\n", condition ? "ok  " : "FAIL", what, value);
    if (!condition) ++failures;
}

void CheckLayer() {
    InitFrameClock();
    StartOverlayClock();
    frameClock.fps = 60.0;
    UCS.Set(10);  // past the runs that show the notes
    displayState.colorDepth = 32;
    displayState.hardwareAccelerated = true;
    BuildOverlayFont(resourceLibrary, kFontPicture, kAdvance);

    LayerPicture both = DrawLayer(true, true, 0.0, false, true);
    Expect(both.Lit(kTopRight) > 20, "frame rate lights the top right", both.Lit(kTopRight));
    Expect(both.Lit(kBottomLeft) > 100, "date line lights the bottom left", both.Lit(kBottomLeft));
    Expect(both.LitOutside({kTopRight, kBottomLeft}) == 0, "nothing else is lit",
           both.LitOutside({kTopRight, kBottomLeft}));

    LayerPicture none = DrawLayer(false, false, 0.0, false, false);
    Expect(LitSamples(none.red) == 0, "both off and no banner: nothing is lit", LitSamples(none.red));

    LayerPicture full = DrawLayer(false, false, 1.0, false, false);
    LayerPicture half = DrawLayer(false, false, 0.5, false, false);
    Expect(full.Lit(kBottomRight) > 200, "banner lights the bottom right", full.Lit(kBottomRight));
    Expect(full.LitOutside({kBottomRight}) == 0, "banner lights nothing else", full.LitOutside({kBottomRight}));
    // Half the light, less what the overlapping cells of the full banner lose
    // where they add up past white.
    double ratio = half.Sum(kBottomRight) / full.Sum(kBottomRight);
    Expect(ratio > 0.48 && ratio < 0.55, "banner at 0.5 has half the brightness", ratio * 100);

    LayerPicture preview = DrawLayer(true, true, 1.0, true, true);
    Expect(preview.Lit(kCentre) > 50, "preview title in the centre", preview.Lit(kCentre));
    Expect(preview.LitOutside({kCentre}) == 0, "preview draws nothing but the title",
           preview.LitOutside({kCentre}));
    saverState.previewMode = false;

    UCS.Set(1);
    displayState.colorDepth = 16;
    displayState.hardwareAccelerated = false;
    frameClock.elapsed = 1.0;
    constexpr Region kNotes = {"notes", 0, 600, kLayerWidth, 90};
    LayerPicture notes = DrawLayer(false, false, 0.0, false, false);
    Expect(notes.Lit(kNotes) > 500 && notes.LitOutside({kNotes}) == 0, "first-run notes in the lower middle",
           notes.Lit(kNotes));
    DeleteOverlayFont();
}

int RunCheck() {
    displayState.viewWidth = kCheckWidth;
    displayState.viewHeight = kCheckHeight;
    PictureRows picture = Picture();
    if (picture.width != 256 || picture.height != 256) {
        Fail("picture 142 is not a 256 x 256 picture", picture.width);
        return 1;
    }
    BuildOverlayFont(resourceLibrary, kFontPicture, kAdvance);
    if (!scene.overlayFont.pictureLoaded) Fail("the font texture has no picture", 0);

    // x = 0.25, y = 0.5: the first quad's lower left corner at (60, 24).
    const int left = kCheckWidth / 4 - (kCell - kAdvance) / 2;
    const int bottom = kCheckHeight / 2 - kCell / 2;
    const char* texts[] = {"F", "g", "7", "\xC9", "FgL"};
    for (const char* text : texts) {
        std::vector<int> red = DrawAndRead(text, 0.25, 0.5, kOverlayWhite);
        double upright = Difference(red, picture, text, left, bottom, false, false, 1.0);
        double flipped = Difference(red, picture, text, left, bottom, true, false, 1.0);
        double mirrored = Difference(red, picture, text, left, bottom, false, true, 1.0);
        std::printf("glyphs \"%s\" (first code %d): upright %.2f flipped %.2f mirrored %.2f\n",
                    text, static_cast<unsigned char>(text[0]), upright,
                    flipped, mirrored);
        if (upright > kGlyphTolerance) Fail("drawn glyphs differ from their cells", upright);
        if (upright * 3 > flipped || upright * 3 > mirrored) Fail("a wrong orientation fits as well", upright);
        if (LitSamples(red) == 0) Fail("nothing drawn", 0);
    }

    std::vector<int> half = DrawAndRead("F", 0.25, 0.5, {1, 1, 1, 0.5});
    double halfDifference = Difference(half, picture, "F", left, bottom, false, false, 0.5);
    std::printf("alpha 0.5: %.2f\n", halfDifference);
    if (halfDifference > kGlyphTolerance) Fail("alpha 0.5 does not halve the glyph", halfDifference);

    // Without the picture each glyph is a block of the text's colour, one
    // cell per character.
    BuildOverlayFont(nullptr, kFontPicture, kAdvance);
    int blocks = LitSamples(DrawAndRead("FgL", 0.25, 0.5, kOverlayWhite));
    int letters = LitSamples(DrawAndRead("FgLFgL", 0.25, 0.5, kOverlayWhite));
    std::printf("without the picture: %d lit for 3 characters, %d for 6\n", blocks, letters);
    if (blocks == 0) Fail("no text drawn without a picture", blocks);
    if (letters < blocks * 3 / 2) Fail("blocks do not follow the text's length", letters);
    DeleteOverlayFont();

    CheckLayer();

    std::printf(failures == 0 ? "check passed\n" : "check FAILED\n");
    return failures == 0 ? 0 : 1;
}

double NowSeconds() {
    Clock& clock = ActiveClock();
    return static_cast<double>(clock.PerformanceCounter()) / clock.PerformanceFrequency();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void SetOverlayElements(bool on) {
    ShowFramerate.Set(on ? 1 : 0);
    ShowTime.Set(on ? 1 : 0);
    displayState.colorDepth = on ? 16 : 32;
    displayState.hardwareAccelerated = !on;
}

// One frame as the OpenGL window draws it, without the swap; the banner and
// the notes are held on for the frames that have the overlay.
double TimedFrame(bool overlayOn) {
    double start = NowSeconds();
    TickFrameClock();
    RunFrameStep();
    frameStep.bannerFade = overlayOn ? 0.5 : 0.0;
    frameStep.bannerFadeRate = 0.0;
    if (overlayOn) frameClock.elapsed = 1.0;
    RenderScene(CurrentFrameInfo());
    glFinish();
    return NowSeconds() - start;
}

int RunBench(int width, int height, double warmUpSeconds, int blocks) {
    constexpr int kLoads = 30;
    constexpr int kFramesPerBlock = 20;
    std::vector<double> decodes, loads;
    for (int i = 0; i < kLoads; ++i) {
        double start = NowSeconds();
        PictureRows picture = Picture();
        decodes.push_back(NowSeconds() - start);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        start = NowSeconds();
        int w = 0, h = 0;
        LoadJpegTexture(resourceLibrary, kFontPicture, &w, &h);
        glFinish();
        loads.push_back(NowSeconds() - start);
        glDeleteTextures(1, &texture);
        if (w != 256 || picture.width != 256) {
            std::printf("FAIL picture 142 did not load\n");
            return 1;
        }
    }

    SyncClock.Set(0);
    UCS.Set(1);
    InitFrameClock();
    StartOverlayClock();
    GlViewOnSize(width, height);  // viewport, overlay font, scene
    SetOverlayElements(false);
    double warmUpEnd = NowSeconds() + warmUpSeconds;
    while (NowSeconds() < warmUpEnd) TimedFrame(false);

    std::vector<double> off, on;
    for (int block = 0; block < 2 * blocks; ++block) {
        bool overlayOn = block % 2 == 1;
        SetOverlayElements(overlayOn);
        for (int i = 0; i < kFramesPerBlock; ++i) (overlayOn ? on : off).push_back(TimedFrame(overlayOn));
    }
    int objects = 0;
    for (CSceneObject* o = sceneObjectList; o; o = o->next) ++objects;

    std::printf("imagery decode_ms %.3f\n", Median(decodes) * 1e3);
    std::printf("imagery decode_upload_ms %.3f\n", Median(loads) * 1e3);
    std::printf("imagery frame_without_overlay_ms %.3f\n", Median(off) * 1e3);
    std::printf("imagery frame_with_overlay_ms %.3f\n", Median(on) * 1e3);
    std::printf("imagery overlay_ratio %.3f\n", Median(on) / Median(off));
    std::printf("imagery view %dx%d objects_in_flight %d frames %zu\n", width, height, objects,
                on.size() + off.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (std::strcmp(argv[1], "check") != 0 && std::strcmp(argv[1], "bench") != 0)) {
        std::fprintf(stderr, "usage: imagery_gl check|bench LIBRARY [WIDTH HEIGHT WARM-UP BLOCKS]\n");
        return 2;
    }
    bool check = std::strcmp(argv[1], "check") == 0;
    int width = argc > 3 ? std::atoi(argv[3]) : 1024;
    int height = argc > 4 ? std::atoi(argv[4]) : 768;
    double warmUp = argc > 5 ? std::atof(argv[5]) : 6.0;
    int blocks = argc > 6 ? std::atoi(argv[6]) : 20;
    resourceLibrary = LoadResourceLibrary(argv[2]);
    if (!resourceLibrary) {
        std::fprintf(stderr, "imagery_gl: cannot load %s\n", argv[2]);
        return 2;
    }
    if (!CreateImageryContext(check ? kLayerWidth : width, check ? kLayerHeight : height)) {
        std::fprintf(stderr, "imagery_gl: no OpenGL context\n");
        return 2;
    }
    int result = check ? RunCheck() : RunBench(width, height, warmUp, blocks);
    std::fflush(stdout);
    DestroyImageryContext();
    return result;
}
