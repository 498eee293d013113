// The outline font's display lists and the drawing of 3D text with them. The
// glyph geometry comes from the platform's BuildOutlineGlyphs; this file only
// reserves the lists, measures strings and calls the lists.
#include "text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/opengl.h"
#include "scene.h"

void CreateOutlineFont(const char* faceName, bool wireframe) {
    // A second scene build (a resized window) would otherwise leave the first
    // font's 256 lists behind for the life of the context.
    if (scene.outlineFont.listBase != 0) glDeleteLists(scene.outlineFont.listBase, kOutlineListCount);
    scene.outlineFont = OutlineFont();
    scene.outlineFont.listBase = glGenLists(kOutlineListCount);
    // Record 255 is never written by the platform and stays zero: code 255
    // draws nothing and is not measured.
    BuildOutlineGlyphs(faceName, wireframe, scene.outlineFont.listBase, scene.outlineFont.metrics);
}

TextOffset TextCentringOffset(const char* text, const GlyphMetrics* metrics) {
    float width = 0.0f;
    float tallest = 0.0f;
    for (const char* p = text; *p; ++p) {
        // The byte is the list offset, so it is also the metrics index.
        float advance = metrics[static_cast<unsigned char>(*p)].cellIncX;
        width += advance;
        // The vertical centring uses the largest advance, not a glyph height.
        if (tallest < advance) tallest = advance;
    }
    return {-0.5f * width, -0.5f * tallest};
}

void FormatText3D(char* buffer, const char* format, va_list arguments) {
    int written = vsnprintf(buffer, kText3DBufferSize, format, arguments);
    if (written < 0) buffer[0] = '\0';
    buffer[kText3DBufferSize - 1] = '\0';  // some C runtimes leave a cut text unterminated
}

void DrawText3D(const char* format, ...) {
    char buffer[kText3DBufferSize];
    va_list arguments;
    va_start(arguments, format);
    FormatText3D(buffer, format, arguments);
    va_end(arguments);

    TextOffset offset = TextCentringOffset(buffer, scene.outlineFont.metrics);
    glTranslatef(offset.x, offset.y, 0.0f);

    // Without a font of its own, list base 0 would call whatever lists have
    // the text's byte values as names (the overlay font's among them).
    if (scene.outlineFont.listBase != 0) {
        glPushAttrib(GL_LIST_BIT);
        size_t length = strlen(buffer);
        PrepareOutlineGlyphs(buffer, length);
        glListBase(scene.outlineFont.listBase);
        glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, buffer);
        glPopAttrib();
    }
    // The glyph lists may leave the winding clockwise; culling and lighting
    // of everything drawn later expect counter-clockwise front faces.
    glFrontFace(GL_CCW);
}

void DrawTextObject(const CVector3& position, const CVector3& colour, double brightness,
                    const char* text) {
    glPushMatrix();
    glTranslated(position.x, position.y, position.z);
    glColor3d(colour.x * brightness, colour.y * brightness, colour.z * brightness);
    // The text goes in as an argument, not as the format, so a stray '%' in
    // it can never read arguments that are not there.
    DrawText3D("%s", text);
    glPopMatrix();
}
