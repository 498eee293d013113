// The geometry of one extruded glyph, free of any display: a FreeType outline
// flattened into closed polygons, and those polygons turned into the faces,
// side walls or wire lines that freetype_outlines.cpp compiles into a list.
// Depth and OpenGL calls are that file's; the face lookup is freetype_glyphs'.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <GL/glu.h>

#include <vector>

struct OutlinePoint {
    double x;
    double y;
    // True at the ends of the outline's own segments, where a wire edge
    // joins the front and back contours; false inside a flattened curve.
    bool corner;
};

// A closed polygon: the last point joins the first and is not repeated.
struct OutlineContour {
    std::vector<OutlinePoint> points;
};

// Which side of a contour's direction of travel the filled area lies on:
// TrueType outlines run clockwise around their outer edges (fill on the
// right), PostScript and CFF outlines counter-clockwise (fill on the left).
enum class FillSide { Left, Right };

struct GlyphOutline {
    std::vector<OutlineContour> contours;
    bool evenOddFill = false;  // otherwise the non-zero winding rule
    FillSide fillSide = FillSide::Right;
};

// Flattens outline (coordinates in its own units) into polygons whose chords
// stray at most tolerance units from the curves, then multiplies every
// coordinate by scale. Takes the fill rule and the orientation from the
// outline. False (and result cleared) when FreeType rejects the outline.
bool FlattenOutline(const FT_Outline& outline, double tolerance, double scale,
                    GlyphOutline* result);

struct MeshPoint {
    float x;
    float y;
};

// One wall of the extrusion along the outline edge from..to: the quad
// (from, front), (to, front), (to, back), (from, back) is counter-clockwise
// seen from outside, and (normalX, normalY, 0) is its outward unit normal.
struct SideQuad {
    MeshPoint from;
    MeshPoint to;
    float normalX;
    float normalY;
};

struct GlyphMesh {
    // Solid glyphs: the front face as triangles, counter-clockwise seen
    // from +z (the back face is the same triangles reversed), and the walls.
    std::vector<MeshPoint> faceTriangles;
    std::vector<SideQuad> sides;
    // Wire glyphs: every contour as a closed loop (drawn at the front and
    // at the back), and the points where an edge joins the two loops.
    std::vector<std::vector<MeshPoint>> loops;
    std::vector<MeshPoint> depthEdges;

    void Clear();
};

// One GLU tessellator, kept for all glyphs of a build; it needs no OpenGL
// context, since its output is collected here and not sent to OpenGL.
class OutlineTessellator {
public:
    OutlineTessellator();
    ~OutlineTessellator();
    OutlineTessellator(const OutlineTessellator&) = delete;
    OutlineTessellator& operator=(const OutlineTessellator&) = delete;

    bool IsValid() const { return tess_ != nullptr; }

    // Fills the mesh for outline: lines only when wireframe, otherwise the
    // face triangles (by the outline's fill rule, holes left open) and the
    // walls. False when the tessellator failed; the mesh then holds no
    // face triangles.
    bool BuildMesh(const GlyphOutline& outline, bool wireframe, GlyphMesh* mesh);

private:
    bool Tessellate(const GlyphOutline& outline, std::vector<MeshPoint>* triangles);

    GLUtesselator* tess_;
};

// The signed area of a closed polygon, positive when counter-clockwise.
double SignedArea(const std::vector<OutlinePoint>& points);
