// Flattens a FreeType outline into closed polygons: lines stay as they are,
// quadratic (TrueType) and cubic (CFF) curves become chords whose distance
// from the curve stays within the tolerance. The tessellation is outline_mesh's.
#include <algorithm>
#include <cmath>

#include "outline_geometry.h"

namespace {

// FreeType computes the on-curve points that TrueType leaves implied between
// two control points in integers; scaling the coordinates by 2^6 first keeps
// those midpoints exact to 1/64 unit instead of truncated to a whole unit.
constexpr int kDecomposeShift = 6;
constexpr double kDecomposeUnit = 1.0 / (1 << kDecomposeShift);

// A curve that would need more chords than this is a corrupt outline, not
// a real glyph; capping keeps one bad glyph from costing seconds.
constexpr int kMaxCurveSegments = 256;

struct FlattenState {
    GlyphOutline* result;
    double tolerance;
    double currentX = 0.0;
    double currentY = 0.0;
};

// n uniform steps of a curve whose second derivative never exceeds
// maxSecondDerivative keep each chord within maxSecondDerivative / (8 n^2)
// of the curve; this is the smallest n that meets the tolerance.
int SegmentsFor(double maxSecondDerivative, double tolerance) {
    double needed = std::sqrt(maxSecondDerivative / (8.0 * tolerance));
    if (!(needed < kMaxCurveSegments)) return kMaxCurveSegments;  // also NaN
    return std::max(1, static_cast<int>(std::ceil(needed)));
}

void AddPoint(FlattenState* state, double x, double y, bool corner) {
    state->result->contours.back().points.push_back({x, y, corner});
    state->currentX = x;
    state->currentY = y;
}

int MoveTo(const FT_Vector* to, void* user) {
    auto* state = static_cast<FlattenState*>(user);
    state->result->contours.emplace_back();
    AddPoint(state, to->x, to->y, true);
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* state = static_cast<FlattenState*>(user);
    AddPoint(state, to->x, to->y, true);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* state = static_cast<FlattenState*>(user);
    const double x0 = state->currentX, y0 = state->currentY;
    const double x1 = control->x, y1 = control->y;
    const double x2 = to->x, y2 = to->y;
    // B''(t) = 2 (p0 - 2 p1 + p2), the same everywhere on the curve.
    const double secondDerivative = 2.0 * std::hypot(x0 - 2.0 * x1 + x2, y0 - 2.0 * y1 + y2);
    const int segments = SegmentsFor(secondDerivative, state->tolerance);
    for (int i = 1; i < segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        const double u = 1.0 - t;
        AddPoint(state, u * u * x0 + 2.0 * u * t * x1 + t * t * x2,
                 u * u * y0 + 2.0 * u * t * y1 + t * t * y2, false);
    }
    AddPoint(state, x2, y2, true);
    return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    auto* state = static_cast<FlattenState*>(user);
    const double x0 = state->currentX, y0 = state->currentY;
    const double x1 = control1->x, y1 = control1->y;
    const double x2 = control2->x, y2 = control2->y;
    const double x3 = to->x, y3 = to->y;
    // B''(t) = 6 ((1 - t) d1 + t d2) is largest at an end.
    const double d1 = std::hypot(x0 - 2.0 * x1 + x2, y0 - 2.0 * y1 + y2);
    const double d2 = std::hypot(x1 - 2.0 * x2 + x3, y1 - 2.0 * y2 + y3);
    const int segments = SegmentsFor(6.0 * std::max(d1, d2), state->tolerance);
    for (int i = 1; i < segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        const double u = 1.0 - t;
        const double b0 = u * u * u, b1 = 3.0 * u * u * t, b2 = 3.0 * u * t * t, b3 = t * t * t;
        AddPoint(state, b0 * x0 + b1 * x1 + b2 * x2 + b3 * x3,
                 b0 * y0 + b1 * y1 + b2 * y2 + b3 * y3, false);
    }
    AddPoint(state, x3, y3, true);
    return 0;
}

// Drops repeated points (a zero-length edge has no wall direction) and the
// closing point FreeType repeats, then contours too small to enclose anything.
void CleanContours(GlyphOutline* outline) {
    auto& contours = outline->contours;
    for (auto& contour : contours) {
        auto& points = contour.points;
        std::vector<OutlinePoint> kept;
        kept.reserve(points.size());
        for (const auto& p : points) {
            if (!kept.empty() && kept.back().x == p.x && kept.back().y == p.y) {
                kept.back().corner = kept.back().corner || p.corner;
                continue;
            }
            kept.push_back(p);
        }
        while (kept.size() > 1 && kept.back().x == kept.front().x &&
               kept.back().y == kept.front().y) {
            kept.front().corner = kept.front().corner || kept.back().corner;
            kept.pop_back();
        }
        points.swap(kept);
    }
    contours.erase(std::remove_if(contours.begin(), contours.end(),
                                  [](const OutlineContour& c) { return c.points.size() < 3; }),
                   contours.end());
}

}  // namespace

bool FlattenOutline(const FT_Outline& outline, double tolerance, double scale,
                    GlyphOutline* result) {
    result->contours.clear();
    result->evenOddFill = (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
    result->fillSide =
        FT_Outline_Get_Orientation(const_cast<FT_Outline*>(&outline)) == FT_ORIENTATION_POSTSCRIPT
            ? FillSide::Left
            : FillSide::Right;
    if (outline.n_contours <= 0) return true;

    const FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, kDecomposeShift, 0};
    FlattenState state;
    state.result = result;
    state.tolerance = (tolerance > 0.0 ? tolerance : 1.0) / kDecomposeUnit;
    if (FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &state) != 0) {
        result->contours.clear();
        return false;
    }
    CleanContours(result);
    const double outputScale = scale * kDecomposeUnit;
    for (auto& contour : result->contours) {
        for (auto& p : contour.points) {
            p.x *= outputScale;
            p.y *= outputScale;
        }
    }
    return true;
}

double SignedArea(const std::vector<OutlinePoint>& points) {
    double twiceArea = 0.0;
    for (size_t i = 0, n = points.size(); i < n; ++i) {
        const OutlinePoint& a = points[i];
        const OutlinePoint& b = points[(i + 1) % n];
        twiceArea += a.x * b.y - b.x * a.y;
    }
    return 0.5 * twiceArea;
}
