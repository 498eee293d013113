// BuildOutlineGlyphs on Linux: each byte code's glyph, read by FreetypeFace
// and shaped by OutlineTessellator, compiled into its display list with the
// advance at its end. Display lists are only compiled here, never executed,
// so the caller's OpenGL state is left as it was.
#include "gl_headers.h"

#include "freetype_glyphs.h"
#include "outline_geometry.h"
#include "platform/outlinefont.h"

namespace {

constexpr float kFrontZ = 0.0f;
constexpr float kBackZ = -kOutlineExtrusion;

// One GL_TRIANGLES primitive per glyph, walls split in two: drivers that
// merge consecutive primitives of a display list (Mesa 22 among them) lose
// the later ones in feedback and selection, and one primitive compiles faster.
void EmitSolid(const GlyphMesh& mesh) {
    const auto& triangles = mesh.faceTriangles;
    if (triangles.empty() && mesh.sides.empty()) return;
    glBegin(GL_TRIANGLES);
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (const MeshPoint& p : triangles) glVertex3f(p.x, p.y, kFrontZ);
    // The back face looks along -z, so its triangles run the other way.
    glNormal3f(0.0f, 0.0f, -1.0f);
    for (size_t i = 0; i + 2 < triangles.size(); i += 3) {
        glVertex3f(triangles[i].x, triangles[i].y, kBackZ);
        glVertex3f(triangles[i + 2].x, triangles[i + 2].y, kBackZ);
        glVertex3f(triangles[i + 1].x, triangles[i + 1].y, kBackZ);
    }
    for (const SideQuad& side : mesh.sides) {
        glNormal3f(side.normalX, side.normalY, 0.0f);
        glVertex3f(side.from.x, side.from.y, kFrontZ);
        glVertex3f(side.to.x, side.to.y, kFrontZ);
        glVertex3f(side.to.x, side.to.y, kBackZ);
        glVertex3f(side.from.x, side.from.y, kFrontZ);
        glVertex3f(side.to.x, side.to.y, kBackZ);
        glVertex3f(side.from.x, side.from.y, kBackZ);
    }
    glEnd();
}

// Every edge is its own segment in one GL_LINES primitive, for the same
// reason; consecutive line loops even crash Mesa 22's feedback.
void EmitWire(const GlyphMesh& mesh) {
    if (mesh.loops.empty() && mesh.depthEdges.empty()) return;
    glBegin(GL_LINES);
    for (const float z : {kFrontZ, kBackZ}) {
        for (const auto& loop : mesh.loops) {
            for (size_t i = 0, n = loop.size(); i < n; ++i) {
                const MeshPoint& a = loop[i];
                const MeshPoint& b = loop[(i + 1) % n];
                glVertex3f(a.x, a.y, z);
                glVertex3f(b.x, b.y, z);
            }
        }
    }
    for (const MeshPoint& p : mesh.depthEdges) {
        glVertex3f(p.x, p.y, kFrontZ);
        glVertex3f(p.x, p.y, kBackZ);
    }
    glEnd();
}

}  // namespace

void BuildOutlineGlyphs(const char* faceName, bool wireframe, unsigned listBase,
                        GlyphMetrics* metrics) {
    for (int code = 0; code < kOutlineGlyphCount; ++code) metrics[code] = GlyphMetrics{};
    // Name 0 is what a failed glGenLists returns; building from it would
    // overwrite lists that belong to someone else.
    if (listBase == 0) return;

    FreetypeFace face;
    OutlineTessellator tessellator;
    if (!tessellator.IsValid() || !face.Open(faceName)) return;

    GlyphOutline outline;
    GlyphMesh mesh;
    for (int code = 0; code < kOutlineGlyphCount; ++code) {
        mesh.Clear();
        if (face.LoadGlyph(static_cast<unsigned char>(code), &outline, &metrics[code])) {
            tessellator.BuildMesh(outline, wireframe, &mesh);
        }
        glNewList(listBase + code, GL_COMPILE);
        if (wireframe) {
            EmitWire(mesh);
        } else {
            EmitSolid(mesh);
        }
        glTranslatef(metrics[code].cellIncX, metrics[code].cellIncY, 0.0f);
        glEndList();
    }
}
