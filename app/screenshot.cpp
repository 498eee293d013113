// The screenshot writer: BMP layout, the naming series with its only-growing
// counter, exclusive creation, and the fall-back to the pictures folder.
#include "screenshot.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "main.h"
#include "platform/opengl.h"
#include "platform/userfiles.h"

int screenshotCounter = 0;

namespace {
constexpr char kNameFormat[] = "ps_screenshot_%03d.bmp";
constexpr size_t kNameSize = 64;
constexpr size_t kPathSize = 1000;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint16_t kBitsPerPixel = 24;
constexpr int kBytesPerPixel = 3;
constexpr int kPackAlignment = 4;
// Blue-green-red bytes, as BMP stores them (GL_BGR_EXT).
constexpr GLenum kGlBgrExt = 0x80E0;

bool screenshotPending = false;

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

enum class SeriesResult { Written, FolderRefused, SeriesEnded };

// Walks the series from screenshotCounter in folder (empty: the current
// directory) and writes the picture under the first name that is free both
// at the check and at the exclusive creation.
SeriesResult WriteIntoFolder(const char* folder, int width, int height) {
    while (screenshotCounter < INT_MAX) {
        char name[kNameSize];
        snprintf(name, sizeof name, kNameFormat, screenshotCounter);
        ++screenshotCounter;
        char path[kPathSize];
        if (snprintf(path, sizeof path, "%s%s", folder, name) >= static_cast<int>(sizeof path))
            return SeriesResult::FolderRefused;
        if (FileExists(path)) continue;
        NewFileResult result = NewFileResult::FolderRefused;
        FILE* file = CreateNewFile(path, &result);
        if (result == NewFileResult::NameTaken) continue;
        if (!file) {
            // The folder refused the file, not the name: the number stays free.
            --screenshotCounter;
            return SeriesResult::FolderRefused;
        }
        WriteScreenshot(width, height, file);
        fclose(file);
        return SeriesResult::Written;
    }
    return SeriesResult::SeriesEnded;
}
}  // namespace

size_t ScreenshotRowStride(int width) {
    // Rows are padded to the pack alignment, which is also BMP's.
    size_t bytes = static_cast<size_t>(width) * kBytesPerPixel;
    return (bytes + kPackAlignment - 1) / kPackAlignment * kPackAlignment;
}

void FormatBmpHeaders(uint8_t (&headers)[kBmpHeadersSize], int width, int height) {
    uint32_t pixelBytes = static_cast<uint32_t>(ScreenshotRowStride(width) * height);
    memset(headers, 0, sizeof headers);
    headers[0] = 'B';
    headers[1] = 'M';
    Put32(headers + 2, static_cast<uint32_t>(kBmpHeadersSize) + pixelBytes);
    Put32(headers + 10, static_cast<uint32_t>(kBmpHeadersSize));
    Put32(headers + 14, kInfoHeaderSize);
    Put32(headers + 18, static_cast<uint32_t>(width));
    Put32(headers + 22, static_cast<uint32_t>(height));  // positive: bottom row first
    Put16(headers + 26, 1);
    Put16(headers + 28, kBitsPerPixel);
    Put32(headers + 34, pixelBytes);
}

void TakeScreenshot() { screenshotPending = true; }

bool ScreenshotPending() { return screenshotPending; }

bool WriteScreenshot(int width, int height, FILE* file) {
    size_t size = ScreenshotRowStride(width) * static_cast<size_t>(height);
    uint8_t* pixels = static_cast<uint8_t*>(malloc(size));
    if (!pixels) return false;
    // The default read buffer is the one this frame was drawn into (the back
    // buffer, or the front one without double buffering); OpenGL hands the
    // bottom row first, which is the BMP order.
    glPixelStorei(GL_PACK_ALIGNMENT, kPackAlignment);
    glReadPixels(0, 0, width, height, kGlBgrExt, GL_UNSIGNED_BYTE, pixels);
    uint8_t headers[kBmpHeadersSize];
    FormatBmpHeaders(headers, width, height);
    bool written = fwrite(headers, 1, sizeof headers, file) == sizeof headers &&
                   fwrite(pixels, 1, size, file) == size;
    free(pixels);
    return written;
}

void WritePendingScreenshot(int width, int height) {
    if (!screenshotPending) return;
    screenshotPending = false;
    if (width <= 0 || height <= 0) return;
    SetDirToProgramFolder();
    if (WriteIntoFolder("", width, height) != SeriesResult::FolderRefused) return;
    // An installed saver lives in a folder its user cannot write.
    char pictures[kPathSize];
    if (GetPicturesFolder(pictures, sizeof pictures)) WriteIntoFolder(pictures, width, height);
}

void ResetScreenshotState() {
    screenshotPending = false;
    screenshotCounter = 0;
}
