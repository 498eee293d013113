// The overlay font (one glyph texture, each string drawn as one block of
// quads), the overlay text primitive and the overlay pass. The glyph picture is decoded by the
// picture unit; the frame's rate, time, view and banner come in a FrameInfo.
#include "overlay.h"

#include <cstdio>
#include <cstring>

#include "clock.h"
#include "flyingtime.h"
#include "mathutil.h"
#include "picture.h"
#include "platform/opengl.h"
#include "product.h"
#include "scene.h"
#include "settings.h"
#include "settings_catalogue.h"
#include "textutil.h"

namespace {

constexpr int kGlyphGridSize = 16;  // 16 columns and 16 rows of glyphs
constexpr float kGlyphCellTexture = 1.0f / kGlyphGridSize;
constexpr double kGlyphHalfHeight = kOverlayGlyphPixels / 2.0;
constexpr double kMillisecond = 0.001;

constexpr double kFrameRateMarginWidths = 1.25;  // right margin: a quarter of the text
constexpr double kBottomLineHeights = 1.1;       // date line and banner above the bottom edge
constexpr double kDateLineX = 0.02;
constexpr double kBannerRightMargin = 0.02;
constexpr double kNoAccelerationNoteY = 0.835;
constexpr double kColorDepthNoteY = 0.86;
constexpr int kColorDepthNoted = 16;
constexpr int32_t kNotesLastRun = 5;
constexpr double kNotesSeconds = 15.0;
constexpr double kTitleLineGapHeights = 0.25;
constexpr int kNoonHour = 12;

constexpr char kNoAccelerationNote[] =
    "NOTE: No 3D graphics acceleration. Please update your videocard drivers.";
constexpr char kColorDepthNote[] =
    "NOTE: 16-bit color detected - use 24 or 32 bit color if available.";

// The weekday and month abbreviations as asctime writes them.
constexpr const char* kWeekdayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The quads of one string in a single block: glyph i sits advance * i
// pixels right of the string's origin, textured with its cell of the
// 16 x 16 glyph picture (row 0 at the picture's top).
void EmitGlyphQuads(const char* text, int advance) {
    glBegin(GL_QUADS);
    int left = 0;
    for (const char* p = text; *p != '\0'; ++p, left += advance) {
        int code = static_cast<unsigned char>(*p);
        float cx = static_cast<float>(code % kGlyphGridSize) * kGlyphCellTexture;
        float top = 1.0f - static_cast<float>(code / kGlyphGridSize) * kGlyphCellTexture;
        float bottom = top - kGlyphCellTexture;
        glTexCoord2f(cx, bottom);
        glVertex2i(left, 0);
        glTexCoord2f(cx + kGlyphCellTexture, bottom);
        glVertex2i(left + kOverlayGlyphPixels, 0);
        glTexCoord2f(cx + kGlyphCellTexture, top);
        glVertex2i(left + kOverlayGlyphPixels, kOverlayGlyphPixels);
        glTexCoord2f(cx, top);
        glVertex2i(left, kOverlayGlyphPixels);
    }
    glEnd();
}

bool OverlayFontUsable() {
    // Without the glyph picture the texture has no image and each glyph
    // shows as a block of its colour: the text's place and length stay
    // visible. Only a font without a texture name draws nothing.
    return scene.overlayFont.fontTexture != kNoOverlayTexture;
}

// The text state of the overlay pass: additive blending of the glyph
// texture, the scene's projection saved. Set once for all strings of a frame.
void BeginOverlayText() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive: the black of the picture adds nothing
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(scene.overlayFont.fontTexture));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
}

void EndOverlayText() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

// One string inside BeginOverlayText / EndOverlayText.
void DrawOverlayTextRun(ViewSize view, double x, double y, const char* text,
                        const OverlayColor& color) {
    int px = 0, py = 0;
    OverlayTextPixelOrigin(view, x, y, &px, &py);
    glColor4d(color.r, color.g, color.b, color.a);
    // A pixel projection with the string's origin in it: the projection
    // stack may be only two deep, so it is loaded afresh, not pushed again.
    glLoadIdentity();
    glOrtho(0.0, view.width, 0.0, view.height, -1.0, 1.0);
    glTranslated(px, py - kGlyphHalfHeight, 0.0);
    EmitGlyphQuads(text, scene.overlayFont.advance);
}

OverlayLine* AddLine(OverlayLines* lines, double x, double y, bool centred,
                     const OverlayColor& color) {
    if (lines->count == kMaxOverlayLines) return nullptr;
    OverlayLine* line = &lines->lines[lines->count++];
    line->x = x;
    line->y = y;
    line->centred = centred;
    line->color = color;
    line->text[0] = '\0';
    return line;
}

void AddText(OverlayLines* lines, double x, double y, bool centred, const OverlayColor& color,
             const char* text) {
    OverlayLine* line = AddLine(lines, x, y, centred, color);
    if (line) CopyText(line->text, sizeof line->text, text);
}

void ComposePreviewTitle(const FrameInfo& frame, OverlayLines* lines) {
    char title[kPreviewTitleSize];
    CopyText(title, sizeof title, kProduct.productName);
    char words[kMaxTitleWords][kTitleWordSize];
    int count = SplitPreviewTitle(title, words);
    for (int i = 0; i < count; ++i) {
        AddText(lines, 0.0, PreviewTitleLineY(frame.view, i, count), true, kOverlayWhite, words[i]);
    }
}

void ComposeFullElements(const FrameInfo& frame, OverlayLines* lines) {
    double lineHeight = OverlayLineHeight(frame.view);
    double bottomLineY = 1.0 - kBottomLineHeights * lineHeight;

    if (ShowFramerate.IsOn()) {
        char text[kFrameRateTextSize];
        FormatFrameRate(frame.fps, text, sizeof text);
        double x = 1.0 - kFrameRateMarginWidths * OverlayTextWidth(frame.view, text);
        AddText(lines, x, lineHeight, false, kOverlayWhite, text);
    }
    if (ShowTime.IsOn()) {
        time_t now = OverlayClockNow();
        const std::tm* local = std::localtime(&now);
        if (local) {
            char text[kDateLineTextSize];
            FormatDateLine(*local, text, sizeof text);
            AddText(lines, kDateLineX, bottomLineY, false, kOverlayWhite, text);
        }
    }
    bool notesShown = FirstRunNotesShown(UCS.Get(), frame.elapsed);
    if (!frame.hardwareAccelerated && notesShown) {
        char text[kNoteTextSize];
        CopyText(text, sizeof text, kNoAccelerationNote);
        AddText(lines, 0.0, kNoAccelerationNoteY, true, kOverlayWhite, text);
    }
    if (frame.colorDepth == kColorDepthNoted && notesShown) {
        char text[kNoteTextSize];
        CopyText(text, sizeof text, kColorDepthNote);
        AddText(lines, 0.0, kColorDepthNoteY, true, kOverlayWhite, text);
    }
    if (frame.bannerFade > 0.0) {
        char text[kBannerTextSize];
        std::snprintf(text, sizeof text, "%s ~ by %s ~ www.%s", kProduct.productName,
                      kProduct.companyName, kProduct.webDomain);
        double x = 1.0 - OverlayTextWidth(frame.view, text) - kBannerRightMargin;
        AddText(lines, x, bottomLineY, false, {1.0, 1.0, 1.0, frame.bannerFade}, text);
    }
}

}  // namespace

void BuildOverlayFont(NativeModule library, int pictureId, int advance) {
    OverlayFont& font = scene.overlayFont;
    // A second size event in the same context (a resizable window) builds
    // the font again; the previous texture is released first.
    if (font.fontTexture != kNoOverlayTexture) {
        GLuint previous = static_cast<GLuint>(font.fontTexture);
        glDeleteTextures(1, &previous);
    }
    font = OverlayFont();
    font.advance = advance;

    GLuint texture = static_cast<GLuint>(kNoOverlayTexture);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    int width = 0, height = 0;
    LoadJpegTexture(library, pictureId, &width, &height);
    font.fontTexture = static_cast<int32_t>(texture);
    font.pictureLoaded = width > 0 && height > 0;
}

void DeleteOverlayFont() {
    // The texture goes with the rendering context; its name must not be
    // deleted later in another context that may have reused it.
    scene.overlayFont = OverlayFont();
}

double OverlayTextWidth(ViewSize view, const char* text) {
    return static_cast<double>(std::strlen(text)) * scene.overlayFont.advance / view.width;
}

double OverlayLineHeight(ViewSize view) { return static_cast<double>(kOverlayGlyphPixels) / view.height; }

void OverlayTextPixelOrigin(ViewSize view, double x, double y, int* px, int* py) {
    *px = RoundToInt(view.width * x + (scene.overlayFont.advance - kOverlayGlyphPixels) / 2.0);
    *py = RoundToInt(view.height * (1.0 - y));
}

void DrawOverlayText(ViewSize view, double x, double y, const char* text, const OverlayColor& color) {
    if (!OverlayFontUsable()) return;
    BeginOverlayText();
    DrawOverlayTextRun(view, x, y, text, color);
    EndOverlayText();
}

void DrawCentredOverlayText(ViewSize view, double y, const char* text, const OverlayColor& color) {
    DrawOverlayText(view, 0.5 - OverlayTextWidth(view, text) * 0.5, y, text, color);
}

void StartOverlayClock() {
    Clock& clock = ActiveClock();
    scene.overlayClock.anchorCalendarTime = clock.CalendarTime();
    scene.overlayClock.anchorTickMs = clock.TickMs();
}

int32_t OverlayClockNow() {
    OverlayClock& anchor = scene.overlayClock;
    Clock& clock = ActiveClock();
    uint32_t tick = clock.TickMs();
    uint32_t passed = tick - anchor.anchorTickMs;
    auto t = static_cast<int32_t>(
        static_cast<int64_t>(static_cast<double>(anchor.anchorCalendarTime) + passed * kMillisecond));
    if (t < 0) {
        anchor.anchorCalendarTime = clock.CalendarTime();
        anchor.anchorTickMs = tick;
        return static_cast<int32_t>(anchor.anchorCalendarTime);
    }
    return t;
}

void FormatFrameRate(double fps, char* buffer, size_t size) {
    std::snprintf(buffer, size, "%d", RoundToInt(fps));
}

void FormatDateLine(const std::tm& local, char* buffer, size_t size) {
    int hour = local.tm_hour;
    const char* suffix = hour < kNoonHour ? "AM" : "PM";
    if (hour > kNoonHour) hour -= kNoonHour;
    if (hour == 0) hour = kNoonHour;
    char weekdayAndMonth[8];
    std::snprintf(weekdayAndMonth, sizeof weekdayAndMonth, "%s %s",
                  local.tm_wday >= 0 && local.tm_wday < 7 ? kWeekdayNames[local.tm_wday] : "???",
                  local.tm_mon >= 0 && local.tm_mon < 12 ? kMonthNames[local.tm_mon] : "???");
    std::snprintf(buffer, size, "%s %-2d%s - %2d:%02d %s", weekdayAndMonth, local.tm_mday, "", hour,
                  local.tm_min, suffix);
}

int SplitPreviewTitle(const char* title, char words[kMaxTitleWords][kTitleWordSize]) {
    int count = 0;
    const char* p = title;
    while (*p != '\0' && count < kMaxTitleWords) {
        while (*p == ' ') ++p;
        if (*p == '\0') break;
        size_t length = 0;
        while (*p != '\0' && *p != ' ') {
            if (length + 1 < kTitleWordSize) words[count][length++] = *p;
            ++p;
        }
        words[count][length] = '\0';
        ++count;
    }
    return count;
}

double PreviewTitleLineY(ViewSize view, int index, int count) {
    double h = OverlayLineHeight(view);
    double gap = kTitleLineGapHeights * h;
    double first = 0.5 - (count * h + (count - 1) * gap) * 0.5 + 0.5 * h;
    return first + index * (h + gap);
}

bool FirstRunNotesShown(int32_t runCount, double elapsed) {
    return runCount <= kNotesLastRun && elapsed < kNotesSeconds;
}

void ComposeOverlayLines(const FrameInfo& frame, OverlayLines* lines) {
    lines->count = 0;
    if (frame.previewMode) {
        ComposePreviewTitle(frame, lines);
    } else {
        ComposeFullElements(frame, lines);
    }
}

void DrawOverlayLayer(const FrameInfo& frame) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 1.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    bool lightingWasOn = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    if (lightingWasOn) glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);

    DrawSceneOverlays();

    OverlayLines lines;
    ComposeOverlayLines(frame, &lines);
    if (lines.count > 0 && OverlayFontUsable()) {
        BeginOverlayText();
        for (int i = 0; i < lines.count; ++i) {
            const OverlayLine& line = lines.lines[i];
            double x = line.centred ? 0.5 - OverlayTextWidth(frame.view, line.text) * 0.5 : line.x;
            DrawOverlayTextRun(frame.view, x, line.y, line.text, line.color);
        }
        EndOverlayText();
    }
    if (!frame.previewMode) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    glMatrixMode(GL_MODELVIEW);
    if (lightingWasOn) glEnable(GL_LIGHTING);
}
