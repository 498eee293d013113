// Independent reference computations for the glyph geometry tests.
#include "outline_test_support.h"

#include <cmath>

void HandOutline::BeginContour() { contourStarts_.push_back(static_cast<short>(points_.size())); }

void HandOutline::OnCurve(double x, double y) {
    points_.push_back({std::lround(x), std::lround(y)});
    tags_.push_back(FT_CURVE_TAG_ON);
}

void HandOutline::Conic(double x, double y) {
    points_.push_back({std::lround(x), std::lround(y)});
    tags_.push_back(FT_CURVE_TAG_CONIC);
}

void HandOutline::Cubic(double x, double y) {
    points_.push_back({std::lround(x), std::lround(y)});
    tags_.push_back(FT_CURVE_TAG_CUBIC);
}

FT_Outline& HandOutline::Outline() {
    contourEnds_.clear();
    for (size_t i = 1; i < contourStarts_.size(); ++i) {
        contourEnds_.push_back(static_cast<short>(contourStarts_[i] - 1));
    }
    if (!contourStarts_.empty()) contourEnds_.push_back(static_cast<short>(points_.size() - 1));
    outline_.n_points = static_cast<short>(points_.size());
    outline_.n_contours = static_cast<short>(contourEnds_.size());
    outline_.points = points_.data();
    outline_.tags = reinterpret_cast<char*>(tags_.data());
    outline_.contours = contourEnds_.data();
    outline_.flags = 0;
    return outline_;
}

namespace {

struct AreaState {
    double area = 0.0;
    double x = 0.0;
    double y = 0.0;
};

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

int AreaMoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<AreaState*>(user);
    s->x = to->x;
    s->y = to->y;
    return 0;
}

int AreaLineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<AreaState*>(user);
    s->area += 0.5 * Cross(s->x, s->y, to->x, to->y);
    s->x = to->x;
    s->y = to->y;
    return 0;
}

// Closed forms of (1/2) integral of B x B' over a Bezier segment.
int AreaConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
    auto* s = static_cast<AreaState*>(user);
    s->area += (2.0 * Cross(s->x, s->y, c->x, c->y) + 2.0 * Cross(c->x, c->y, to->x, to->y) +
                Cross(s->x, s->y, to->x, to->y)) /
               6.0;
    s->x = to->x;
    s->y = to->y;
    return 0;
}

int AreaCubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<AreaState*>(user);
    const double p[4][2] = {{s->x, s->y},
                            {double(c1->x), double(c1->y)},
                            {double(c2->x), double(c2->y)},
                            {double(to->x), double(to->y)}};
    auto cr = [&](int i, int j) { return Cross(p[i][0], p[i][1], p[j][0], p[j][1]); };
    s->area += (6.0 * cr(0, 1) + 3.0 * cr(0, 2) + cr(0, 3) + 3.0 * cr(1, 2) + 3.0 * cr(1, 3) +
                6.0 * cr(2, 3)) /
               20.0;
    s->x = to->x;
    s->y = to->y;
    return 0;
}

}  // namespace

double ExactOutlineArea(const FT_Outline& outline) {
    const FT_Outline_Funcs funcs = {AreaMoveTo, AreaLineTo, AreaConicTo, AreaCubicTo, 0, 0};
    AreaState state;
    FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &state);
    return state.area;
}

int WindingNumber(const GlyphOutline& outline, double x, double y) {
    int winding = 0;
    for (const auto& contour : outline.contours) {
        const auto& pts = contour.points;
        for (size_t i = 0, n = pts.size(); i < n; ++i) {
            const OutlinePoint& a = pts[i];
            const OutlinePoint& b = pts[(i + 1) % n];
            const double side = Cross(b.x - a.x, b.y - a.y, x - a.x, y - a.y);
            if (a.y <= y && b.y > y && side > 0) ++winding;
            if (a.y > y && b.y <= y && side < 0) --winding;
        }
    }
    return winding;
}

bool IsFilled(const GlyphOutline& outline, double x, double y) {
    const int winding = WindingNumber(outline, x, y);
    return outline.evenOddFill ? (winding % 2) != 0 : winding != 0;
}

double TriangleArea(const std::vector<MeshPoint>& triangles) {
    double area = 0.0;
    for (size_t i = 0; i + 2 < triangles.size(); i += 3) {
        const MeshPoint& a = triangles[i];
        const MeshPoint& b = triangles[i + 1];
        const MeshPoint& c = triangles[i + 2];
        area += 0.5 * Cross(b.x - a.x, b.y - a.y, c.x - a.x, c.y - a.y);
    }
    return area;
}

OutlineContour Polygon(std::initializer_list<double> coordinates) {
    OutlineContour contour;
    for (auto it = coordinates.begin(); it != coordinates.end() && it + 1 != coordinates.end();
         it += 2) {
        contour.points.push_back({*it, *(it + 1), true});
    }
    return contour;
}
