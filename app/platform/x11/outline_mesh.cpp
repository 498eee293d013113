// Turns a flattened glyph outline into the faces, walls or wire lines of its
// extrusion. The GLU tessellator fills the front face; its output is kept in
// memory, so no OpenGL context is needed here. Drawing is freetype_outlines'.
#include <cmath>
#include <cstdint>
#include <utility>

#include "outline_geometry.h"

namespace {

// What the tessellator's callbacks fill in. Vertices are named by their
// index + 1 so that no vertex is a null pointer, which GLU reads as "none".
struct TessContext {
    std::vector<double> coords;  // x, y of every input and combined vertex
    std::vector<uint32_t> indices;
    bool failed = false;
};

void* IndexToData(size_t index) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(index + 1));
}
size_t DataToIndex(void* data) {
    return static_cast<size_t>(reinterpret_cast<uintptr_t>(data)) - 1;
}

void TessBegin(GLenum type, void* polygonData) {
    // With an edge-flag callback the tessellator emits triangles only.
    if (type != GL_TRIANGLES) static_cast<TessContext*>(polygonData)->failed = true;
}

void TessVertex(void* vertexData, void* polygonData) {
    static_cast<TessContext*>(polygonData)
        ->indices.push_back(static_cast<uint32_t>(DataToIndex(vertexData)));
}

void TessEdgeFlag(GLboolean, void*) {}

void TessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** outData, void* polygonData) {
    auto* context = static_cast<TessContext*>(polygonData);
    const size_t index = context->coords.size() / 2;
    context->coords.push_back(coords[0]);
    context->coords.push_back(coords[1]);
    *outData = IndexToData(index);
}

void TessError(GLenum, void* polygonData) { static_cast<TessContext*>(polygonData)->failed = true; }

template <typename Callback>
_GLUfuncptr AsGluCallback(Callback callback) {
    return reinterpret_cast<_GLUfuncptr>(callback);
}

MeshPoint ToMesh(const OutlinePoint& p) {
    return {static_cast<float>(p.x), static_cast<float>(p.y)};
}

void AddSides(const GlyphOutline& outline, std::vector<SideQuad>* sides) {
    for (const auto& contour : outline.contours) {
        const auto& points = contour.points;
        for (size_t i = 0, n = points.size(); i < n; ++i) {
            const OutlinePoint& a = points[i];
            const OutlinePoint& b = points[(i + 1) % n];
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double length = std::hypot(dx, dy);
            if (length == 0.0) continue;
            // The outside is the side of travel away from the fill; the
            // wall's corners run counter-clockwise seen from there when the
            // outside lies to the left of from..to.
            if (outline.fillSide == FillSide::Right) {
                sides->push_back({ToMesh(a), ToMesh(b), static_cast<float>(-dy / length),
                                  static_cast<float>(dx / length)});
            } else {
                sides->push_back({ToMesh(b), ToMesh(a), static_cast<float>(dy / length),
                                  static_cast<float>(-dx / length)});
            }
        }
    }
}

void AddWires(const GlyphOutline& outline, GlyphMesh* mesh) {
    for (const auto& contour : outline.contours) {
        std::vector<MeshPoint> loop;
        loop.reserve(contour.points.size());
        for (const auto& p : contour.points) {
            loop.push_back(ToMesh(p));
            if (p.corner) mesh->depthEdges.push_back(ToMesh(p));
        }
        mesh->loops.push_back(std::move(loop));
    }
}

}  // namespace

void GlyphMesh::Clear() {
    faceTriangles.clear();
    sides.clear();
    loops.clear();
    depthEdges.clear();
}

OutlineTessellator::OutlineTessellator() : tess_(gluNewTess()) {
    if (tess_ == nullptr) return;
    gluTessCallback(tess_, GLU_TESS_BEGIN_DATA, AsGluCallback(TessBegin));
    gluTessCallback(tess_, GLU_TESS_VERTEX_DATA, AsGluCallback(TessVertex));
    gluTessCallback(tess_, GLU_TESS_EDGE_FLAG_DATA, AsGluCallback(TessEdgeFlag));
    gluTessCallback(tess_, GLU_TESS_COMBINE_DATA, AsGluCallback(TessCombine));
    gluTessCallback(tess_, GLU_TESS_ERROR_DATA, AsGluCallback(TessError));
    // Glyphs lie in the z = 0 plane; naming the normal spares the
    // tessellator from guessing it and fixes the sign of the windings.
    gluTessNormal(tess_, 0.0, 0.0, 1.0);
}

OutlineTessellator::~OutlineTessellator() {
    if (tess_ != nullptr) gluDeleteTess(tess_);
}

bool OutlineTessellator::Tessellate(const GlyphOutline& outline,
                                    std::vector<MeshPoint>* triangles) {
    TessContext context;
    size_t vertexCount = 0;
    for (const auto& contour : outline.contours) vertexCount += contour.points.size();
    context.coords.reserve(2 * vertexCount + 64);
    context.indices.reserve(3 * vertexCount);

    gluTessProperty(tess_, GLU_TESS_WINDING_RULE,
                    outline.evenOddFill ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
    gluTessBeginPolygon(tess_, &context);
    for (const auto& contour : outline.contours) {
        gluTessBeginContour(tess_);
        for (const auto& p : contour.points) {
            GLdouble coords[3] = {p.x, p.y, 0.0};
            const size_t index = context.coords.size() / 2;
            context.coords.push_back(p.x);
            context.coords.push_back(p.y);
            gluTessVertex(tess_, coords, IndexToData(index));
        }
        gluTessEndContour(tess_);
    }
    gluTessEndPolygon(tess_);

    if (context.failed || context.indices.size() % 3 != 0) return false;
    triangles->reserve(triangles->size() + context.indices.size());
    for (size_t i = 0; i < context.indices.size(); i += 3) {
        MeshPoint corner[3];
        for (int k = 0; k < 3; ++k) {
            const size_t v = context.indices[i + k];
            corner[k] = {static_cast<float>(context.coords[2 * v]),
                         static_cast<float>(context.coords[2 * v + 1])};
        }
        // The front face must be counter-clockwise seen from +z whatever
        // orientation the tessellator gave the triangle.
        const float twiceArea = (corner[1].x - corner[0].x) * (corner[2].y - corner[0].y) -
                                (corner[2].x - corner[0].x) * (corner[1].y - corner[0].y);
        if (twiceArea < 0.0f) std::swap(corner[1], corner[2]);
        triangles->insert(triangles->end(), corner, corner + 3);
    }
    return true;
}

bool OutlineTessellator::BuildMesh(const GlyphOutline& outline, bool wireframe, GlyphMesh* mesh) {
    mesh->Clear();
    if (wireframe) {
        AddWires(outline, mesh);
        return true;
    }
    AddSides(outline, &mesh->sides);
    if (outline.contours.empty()) return true;
    if (tess_ == nullptr || !Tessellate(outline, &mesh->faceTriangles)) {
        mesh->faceTriangles.clear();
        return false;
    }
    return true;
}
