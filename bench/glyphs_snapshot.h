// The picture both glyph timing programs can draw with the lists they
// built, so that the Linux and the Windows glyphs can be compared by eye:
// the scene's way of drawing text, a string turned to show its walls.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gl_headers.h"
#include "platform/outlinefont.h"

inline constexpr int kSnapshotWidth = 640;
inline constexpr int kSnapshotHeight = 240;

// The scene's way of drawing: perspective, one light, colour material, back
// faces culled with counter-clockwise fronts, the string centred.
inline void DrawSnapshot(unsigned base, const GlyphMetrics* metrics, const char* text) {
    glViewport(0, 0, kSnapshotWidth, kSnapshotHeight);
    glClearColor(0.0f, 0.0f, 0.15f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, static_cast<double>(kSnapshotWidth) / kSnapshotHeight, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat lightPosition[4] = {-1.0f, 1.0f, 2.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    glFrontFace(GL_CCW);
    glTranslatef(0.0f, 0.0f, -5.0f);
    glRotatef(-25.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(12.0f, 1.0f, 0.0f, 0.0f);
    glColor3f(1.0f, 0.75f, 0.2f);
    float width = 0.0f, tallest = 0.0f;
    for (const char* p = text; *p != '\0'; ++p) {
        const float advance = metrics[static_cast<unsigned char>(*p)].cellIncX;
        width += advance;
        tallest = std::max(tallest, advance);
    }
    glTranslatef(-0.5f * width, -0.5f * tallest, 0.0f);
    glListBase(base);
    PrepareOutlineGlyphs(text, std::strlen(text));
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glListBase(0);
}

// Reads the back buffer, where the picture was drawn, as bottom-up RGB rows.
inline void ReadSnapshot(unsigned char* rgb) {
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSnapshotWidth, kSnapshotHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

// Writes bottom-up RGB rows as a binary PPM (top row first).
inline bool WriteSnapshotPpm(const char* path, const unsigned char* rgb) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", kSnapshotWidth, kSnapshotHeight);
    bool ok = true;
    for (int row = kSnapshotHeight - 1; row >= 0 && ok; --row) {
        ok = std::fwrite(rgb + static_cast<size_t>(row) * kSnapshotWidth * 3, 3, kSnapshotWidth,
                         file) == static_cast<size_t>(kSnapshotWidth);
    }
    return std::fclose(file) == 0 && ok;
}
