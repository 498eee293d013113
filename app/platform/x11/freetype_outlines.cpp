// BuildOutlineGlyphs on Linux: each byte code's glyph, read by FreetypeFace
// and shaped by OutlineTessellator, compiled into its display list with the
// advance at its end when a text first needs it (PrepareOutlineGlyphs).
// Display lists are only compiled here, never executed, so the caller's
// OpenGL state is left as it was.
#include "gl_headers.h"

#include <bitset>
#include <memory>

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

// The face the lists are built from, kept open until the next build: a
// glyph is tessellated and compiled when a text first draws it (the clock
// needs about 25 of the 255), not all at start-up.
struct OutlineBuildRecord {
    std::unique_ptr<FreetypeFace> face;
    std::unique_ptr<OutlineTessellator> tessellator;
    bool wireframe = false;
    unsigned listBase = 0;  // 0: nothing to build
    std::bitset<kOutlineGlyphCount> built;
};
OutlineBuildRecord outlineBuild;

void CompileGlyph(unsigned char code) {
    OutlineBuildRecord& b = outlineBuild;
    GlyphOutline outline;
    GlyphMetrics metrics = {};
    GlyphMesh mesh;
    if (b.face->LoadGlyph(code, &outline, &metrics)) b.tessellator->BuildMesh(outline, b.wireframe, &mesh);
    glNewList(b.listBase + code, GL_COMPILE);
    if (b.wireframe) {
        EmitWire(mesh);
    } else {
        EmitSolid(mesh);
    }
    glTranslatef(metrics.cellIncX, metrics.cellIncY, 0.0f);
    glEndList();
    b.built.set(code);
}

}  // namespace

void BuildOutlineGlyphs(const char* faceName, bool wireframe, unsigned listBase,
                        GlyphMetrics* metrics) {
    for (int code = 0; code < kOutlineGlyphCount; ++code) metrics[code] = GlyphMetrics{};
    outlineBuild = OutlineBuildRecord();
    // Name 0 is what a failed glGenLists returns; building from it would
    // overwrite lists that belong to someone else.
    if (listBase == 0) return;

    auto face = std::make_unique<FreetypeFace>();
    auto tessellator = std::make_unique<OutlineTessellator>();
    if (!tessellator->IsValid() || !face->Open(faceName)) return;

    // The metrics lay out every text, so they are all read now; reading a
    // glyph costs little beside tessellating it. Until a code is drawn its
    // list is empty.
    GlyphOutline outline;
    for (int code = 0; code < kOutlineGlyphCount; ++code) {
        face->LoadGlyph(static_cast<unsigned char>(code), &outline, &metrics[code]);
        glNewList(listBase + code, GL_COMPILE);
        glEndList();
    }
    outlineBuild.face = std::move(face);
    outlineBuild.tessellator = std::move(tessellator);
    outlineBuild.wireframe = wireframe;
    outlineBuild.listBase = listBase;
}

void PrepareOutlineGlyphs(const char* text, size_t length) {
    if (outlineBuild.listBase == 0) return;
    for (size_t i = 0; i < length; ++i) {
        auto code = static_cast<unsigned char>(text[i]);
        if (code < kOutlineGlyphCount && !outlineBuild.built.test(code)) CompileGlyph(code);
    }
}
