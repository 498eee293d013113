// The overlay text layer drawn over the scene: a bitmap font cut from the
// glyph picture of the companion library (rebuilt on every size event), the
// text primitive, and the overlay pass with its elements: frame rate, date
// and time, first-run notes, title banner, and the preview title. The frame
// loop (glview.cpp) builds and deletes the font and starts the overlay clock;
// RenderScene draws the pass with the frame's facts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "frameinfo.h"
#include "platform/types.h"

void BuildOverlayFont(NativeModule library, int pictureId, int advance);
void DeleteOverlayFont();

// Draws the overlay elements over the finished scene.
void DrawOverlayLayer(const FrameInfo& frame);

// Overlay units: x from 0 (left edge of the view) to 1 (right edge), y from 0
// (top edge) to 1 (bottom edge). A text position names the left edge of the
// first character cell and the vertical centre of the glyphs.
struct OverlayColor {
    double r, g, b, a;
};
inline constexpr OverlayColor kOverlayWhite = {1.0, 1.0, 1.0, 1.0};

inline constexpr int kOverlayGlyphPixels = 16;  // each glyph quad is 16 x 16 pixels
inline constexpr int32_t kNoOverlayTexture = -1;

struct OverlayFont {
    int32_t fontTexture = kNoOverlayTexture;
    int32_t advance = 8;
    bool pictureLoaded = false;  // the glyph picture decoded into the texture
};

// The overlay's date and time run on the millisecond tick from a calendar
// time taken when the OpenGL window starts.
struct OverlayClock {
    int64_t anchorCalendarTime = 0;
    uint32_t anchorTickMs = 0;
};

// The font and the clock are parts of the scene record (scene.h).
void DrawOverlayText(ViewSize view, double x, double y, const char* text, const OverlayColor& color);
void DrawCentredOverlayText(ViewSize view, double y, const char* text, const OverlayColor& color);
double OverlayTextWidth(ViewSize view, const char* text);  // length * advance / width
double OverlayLineHeight(ViewSize view);                    // 16 / height

// Anchors the overlay clock at the calendar time and tick of now.
void StartOverlayClock();
// Seconds since 1970 counted on the millisecond tick from the anchor;
// re-anchored to the calendar time when that count comes out negative.
int32_t OverlayClockNow();

// Where DrawOverlayText puts the bottom-left corner's reference point, in
// whole pixels from the view's bottom-left corner: px is 4 pixels left of the
// cell edge for the advance of 8, py the glyphs' vertical centre.
void OverlayTextPixelOrigin(ViewSize view, double x, double y, int* px, int* py);

// The element texts.
inline constexpr size_t kFrameRateTextSize = 100;
inline constexpr size_t kDateLineTextSize = 204;
inline constexpr size_t kNoteTextSize = 300;
inline constexpr size_t kBannerTextSize = 500;
inline constexpr size_t kPreviewTitleSize = 500;
inline constexpr int kMaxTitleWords = 20;
inline constexpr size_t kTitleWordSize = 200;  // 199 characters and a zero

void FormatFrameRate(double fps, char* buffer, size_t size);
// "Www Mmm dd - hh:mm AM" with the day left-aligned in two places and the
// 12-hour hour right-aligned in two places.
void FormatDateLine(const std::tm& local, char* buffer, size_t size);
// The words of title split at blanks (runs of blanks separate one word);
// longer words are cut, words past the limit dropped. Returns the count.
int SplitPreviewTitle(const char* title, char words[kMaxTitleWords][kTitleWordSize]);
// The centre of line index (0 = top) of a block of count lines centred in the view.
double PreviewTitleLineY(ViewSize view, int index, int count);
// The notes show during the first five runs, for the first 15 seconds.
bool FirstRunNotesShown(int32_t runCount, double elapsed);

// One text of the overlay pass, as the pass will draw it.
struct OverlayLine {
    double x;
    double y;
    bool centred;  // x is derived from the text width when drawn
    OverlayColor color;
    char text[kBannerTextSize];
};
inline constexpr int kMaxOverlayLines = kMaxTitleWords;

struct OverlayLines {
    int count = 0;
    OverlayLine lines[kMaxOverlayLines];
};

// The texts the overlay pass draws this frame, in drawing order, from the
// settings and the frame's display, clock and banner facts.
void ComposeOverlayLines(const FrameInfo& frame, OverlayLines* lines);
