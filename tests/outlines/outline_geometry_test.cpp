// The display-free glyph geometry on hand-made outlines: curve flattening,
// fill rules, holes and overlaps in the tessellated face, outward walls for
// both contour orientations, and the wire form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "outline_geometry.h"
#include "outline_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadius = 1000.0;
constexpr double kWallProbe = 0.01;  // how far off a wall its sides are probed
constexpr int kCurveSamples = 2000;  // per segment, for measuring the chords

struct Sample {
    double x;
    double y;
};

// A counter-clockwise circle of four cubic arcs (control points at 0.552 r),
// as a CFF face draws one; returns dense samples of the true curves.
std::vector<Sample> AddCubicCircle(HandOutline* outline) {
    const double r = kRadius, k = 552.0;
    const double arcs[4][8] = {{r, 0, r, k, k, r, 0, r},
                               {0, r, -k, r, -r, k, -r, 0},
                               {-r, 0, -r, -k, -k, -r, 0, -r},
                               {0, -r, k, -r, r, -k, r, 0}};
    outline->BeginContour();
    std::vector<Sample> samples;
    for (const auto& a : arcs) {
        // Each arc adds its start; the last ends where the first began.
        outline->OnCurve(a[0], a[1]);
        outline->Cubic(a[2], a[3]);
        outline->Cubic(a[4], a[5]);
        for (int i = 0; i <= kCurveSamples; ++i) {
            const double t = double(i) / kCurveSamples, u = 1 - t;
            const double b[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
            samples.push_back({b[0] * a[0] + b[1] * a[2] + b[2] * a[4] + b[3] * a[6],
                               b[0] * a[1] + b[1] * a[3] + b[2] * a[5] + b[3] * a[7]});
        }
    }
    return samples;
}

// A clockwise circle of eight off-curve points only, as TrueType draws one:
// FreeType supplies the on-curve points halfway between them.
std::vector<Sample> AddConicCircle(HandOutline* outline) {
    const double c = 1082.0, d = 765.0;  // r / cos(22.5 deg), and that at 45 deg
    const double controls[8][2] = {{c, 0},  {d, -d}, {0, -c}, {-d, -d},
                                   {-c, 0}, {-d, d}, {0, c},  {d, d}};
    outline->BeginContour();
    std::vector<Sample> samples;
    for (int k = 0; k < 8; ++k) {
        const double* p = controls[k];
        const double* prev = controls[(k + 7) % 8];
        const double* next = controls[(k + 1) % 8];
        outline->Conic(p[0], p[1]);
        const double x0 = 0.5 * (prev[0] + p[0]), y0 = 0.5 * (prev[1] + p[1]);
        const double x2 = 0.5 * (p[0] + next[0]), y2 = 0.5 * (p[1] + next[1]);
        for (int i = 0; i <= kCurveSamples; ++i) {
            const double t = double(i) / kCurveSamples, u = 1 - t;
            samples.push_back({u * u * x0 + 2 * u * t * p[0] + t * t * x2,
                               u * u * y0 + 2 * u * t * p[1] + t * t * y2});
        }
    }
    return samples;
}

double DistanceToSegment(const Sample& s, const OutlinePoint& a, const OutlinePoint& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((s.x - a.x) * dx + (s.y - a.y) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(s.x - (a.x + t * dx), s.y - (a.y + t * dy));
}

// The polygon and the curve lie within tolerance of each other both ways:
// every curve sample is near some chord, every vertex is near the curve.
void ExpectPolygonFollowsCurve(const std::vector<OutlinePoint>& points,
                               const std::vector<Sample>& curve, double tolerance) {
    double worstSample = 0.0;
    for (const Sample& s : curve) {
        double nearest = 1e300;
        for (size_t i = 0; i < points.size(); ++i) {
            nearest =
                std::min(nearest, DistanceToSegment(s, points[i], points[(i + 1) % points.size()]));
        }
        worstSample = std::max(worstSample, nearest);
    }
    EXPECT_LE(worstSample, tolerance);
    // The samples, joined, stray less than 1e-4 units from the curve.
    double worstVertex = 0.0;
    for (const OutlinePoint& p : points) {
        double nearest = 1e300;
        for (size_t i = 0; i + 1 < curve.size(); ++i) {
            const OutlinePoint a{curve[i].x, curve[i].y, false};
            const OutlinePoint b{curve[i + 1].x, curve[i + 1].y, false};
            nearest = std::min(nearest, DistanceToSegment({p.x, p.y}, a, b));
        }
        worstVertex = std::max(worstVertex, nearest);
    }
    EXPECT_LE(worstVertex, 0.01) << "vertices should lie on the curve";
}

int CornerCount(const OutlineContour& contour) {
    int corners = 0;
    for (const auto& p : contour.points) corners += p.corner ? 1 : 0;
    return corners;
}

TEST(OutlineFlattening, cubic_curves_stay_within_one_unit_without_needless_chords) {
    HandOutline hand;
    const std::vector<Sample> curve = AddCubicCircle(&hand);
    GlyphOutline flat;
    ASSERT_TRUE(FlattenOutline(hand.Outline(), 1.0, 1.0, &flat));
    ASSERT_EQ(flat.contours.size(), 1u);
    const auto& points = flat.contours[0].points;
    ExpectPolygonFollowsCurve(points, curve, 1.0);
    // A quarter circle of radius 1000 needs 18 chords of sagitta 1.
    EXPECT_GE(points.size(), 4u * 18u);
    EXPECT_LE(points.size(), 4u * 40u);
    EXPECT_EQ(CornerCount(flat.contours[0]), 4);
    EXPECT_EQ(flat.fillSide, FillSide::Left);
    const double exact = ExactOutlineArea(hand.Outline());
    EXPECT_GT(exact, 3.0e6);
    EXPECT_NEAR(SignedArea(points), exact, 2 * kPi * kRadius * 1.0);
}

TEST(OutlineFlattening, conic_curves_between_implied_points_stay_within_one_unit) {
    HandOutline hand;
    const std::vector<Sample> curve = AddConicCircle(&hand);
    GlyphOutline flat;
    ASSERT_TRUE(FlattenOutline(hand.Outline(), 1.0, 1.0, &flat));
    ASSERT_EQ(flat.contours.size(), 1u);
    ExpectPolygonFollowsCurve(flat.contours[0].points, curve, 1.0);
    EXPECT_EQ(CornerCount(flat.contours[0]), 8);
    EXPECT_EQ(flat.fillSide, FillSide::Right);
    const double exact = ExactOutlineArea(hand.Outline());
    EXPECT_LT(exact, -3.0e6);
    EXPECT_NEAR(SignedArea(flat.contours[0].points), exact, 2 * kPi * kRadius * 1.0);
}

TEST(OutlineFlattening, scales_and_drops_repeated_points_and_empty_contours) {
    HandOutline hand;
    hand.BeginContour();
    // A doubled corner and the start repeated at the end.
    for (const auto& [x, y] :
         {std::pair{0, 0}, {0, 2048}, {0, 2048}, {2048, 2048}, {2048, 0}, {0, 0}}) {
        hand.OnCurve(x, y);
    }
    hand.BeginContour();  // a contour that encloses nothing
    hand.OnCurve(100, 100);
    hand.OnCurve(200, 200);
    GlyphOutline flat;
    ASSERT_TRUE(FlattenOutline(hand.Outline(), 1.0, 1.0 / 2048, &flat));
    ASSERT_EQ(flat.contours.size(), 1u);
    const auto& points = flat.contours[0].points;
    ASSERT_EQ(points.size(), 4u);
    EXPECT_DOUBLE_EQ(points[2].x, 1.0);
    EXPECT_DOUBLE_EQ(points[2].y, 1.0);
    EXPECT_DOUBLE_EQ(SignedArea(points), -1.0);
}

// A 10 x 10 square with a 4 x 4 hole, in either contour orientation.
GlyphOutline SquareWithHole(FillSide fillSide) {
    GlyphOutline outline;
    outline.fillSide = fillSide;
    if (fillSide == FillSide::Right) {
        outline.contours.push_back(Polygon({0, 0, 0, 10, 10, 10, 10, 0}));
        outline.contours.push_back(Polygon({3, 3, 7, 3, 7, 7, 3, 7}));
    } else {
        outline.contours.push_back(Polygon({0, 0, 10, 0, 10, 10, 0, 10}));
        outline.contours.push_back(Polygon({3, 3, 3, 7, 7, 7, 7, 3}));
    }
    return outline;
}

void ExpectFaceCounterClockwiseAndInside(const GlyphOutline& outline, const GlyphMesh& mesh) {
    const auto& t = mesh.faceTriangles;
    ASSERT_EQ(t.size() % 3, 0u);
    for (size_t i = 0; i < t.size(); i += 3) {
        const std::vector<MeshPoint> one(t.begin() + i, t.begin() + i + 3);
        EXPECT_GE(TriangleArea(one), -1e-9) << "triangle " << i / 3 << " runs clockwise";
        const double cx = (t[i].x + t[i + 1].x + t[i + 2].x) / 3;
        const double cy = (t[i].y + t[i + 1].y + t[i + 2].y) / 3;
        if (TriangleArea(one) > 1e-9) {
            EXPECT_TRUE(IsFilled(outline, cx, cy)) << cx << "," << cy;
        }
    }
}

// Each wall's normal leaves the fill, and its corners, in the order they
// are drawn, run counter-clockwise seen from the side the normal points to.
void ExpectWallsFaceOutward(const GlyphOutline& outline, const GlyphMesh& mesh, double probe) {
    for (const SideQuad& side : mesh.sides) {
        EXPECT_NEAR(std::hypot(side.normalX, side.normalY), 1.0, 1e-5);
        const double mx = 0.5 * (side.from.x + side.to.x);
        const double my = 0.5 * (side.from.y + side.to.y);
        EXPECT_FALSE(IsFilled(outline, mx + probe * side.normalX, my + probe * side.normalY))
            << "wall at " << mx << "," << my << " faces into the glyph";
        EXPECT_TRUE(IsFilled(outline, mx - probe * side.normalX, my - probe * side.normalY))
            << "wall at " << mx << "," << my << " has no glyph behind it";
        // (to - from) x (0, 0, -depth), the winding normal of the drawn quad.
        const double ex = side.to.x - side.from.x, ey = side.to.y - side.from.y;
        const double wx = -ey, wy = ex;
        EXPECT_GT(wx * side.normalX + wy * side.normalY, 0.0);
    }
}

class SquareWithHoleMesh : public ::testing::TestWithParam<FillSide> {};

TEST_P(SquareWithHoleMesh, face_leaves_the_hole_open_and_walls_face_outward) {
    const GlyphOutline outline = SquareWithHole(GetParam());
    OutlineTessellator tessellator;
    GlyphMesh mesh;
    ASSERT_TRUE(tessellator.BuildMesh(outline, false, &mesh));
    EXPECT_NEAR(TriangleArea(mesh.faceTriangles), 100.0 - 16.0, 1e-4);
    ExpectFaceCounterClockwiseAndInside(outline, mesh);
    EXPECT_EQ(mesh.sides.size(), 8u);
    ExpectWallsFaceOutward(outline, mesh, kWallProbe);
    EXPECT_TRUE(mesh.loops.empty());
    EXPECT_TRUE(mesh.depthEdges.empty());
}

INSTANTIATE_TEST_SUITE_P(BothOrientations, SquareWithHoleMesh,
                         ::testing::Values(FillSide::Right, FillSide::Left), [](const auto& info) {
                             return std::string(info.param == FillSide::Right ? "truetype"
                                                                              : "postscript");
                         });

TEST(OutlineMesh, fill_rule_decides_nested_and_overlapping_contours) {
    OutlineTessellator tessellator;
    GlyphMesh mesh;

    // Nested squares running the same way: a hole only by the even-odd rule.
    GlyphOutline nested;
    nested.contours.push_back(Polygon({0, 0, 0, 10, 10, 10, 10, 0}));
    nested.contours.push_back(Polygon({3, 3, 3, 7, 7, 7, 7, 3}));
    ASSERT_TRUE(tessellator.BuildMesh(nested, false, &mesh));
    EXPECT_NEAR(TriangleArea(mesh.faceTriangles), 100.0, 1e-4);
    nested.evenOddFill = true;
    ASSERT_TRUE(tessellator.BuildMesh(nested, false, &mesh));
    EXPECT_NEAR(TriangleArea(mesh.faceTriangles), 84.0, 1e-4);
    ExpectFaceCounterClockwiseAndInside(nested, mesh);

    // Overlapping squares, as composite glyphs overlap their parts: the
    // tessellator has to split the crossing edges.
    GlyphOutline overlap;
    overlap.contours.push_back(Polygon({0, 0, 0, 10, 10, 10, 10, 0}));
    overlap.contours.push_back(Polygon({5, 5, 5, 15, 15, 15, 15, 5}));
    ASSERT_TRUE(tessellator.BuildMesh(overlap, false, &mesh));
    EXPECT_NEAR(TriangleArea(mesh.faceTriangles), 175.0, 1e-4);
    ExpectFaceCounterClockwiseAndInside(overlap, mesh);
    overlap.evenOddFill = true;
    ASSERT_TRUE(tessellator.BuildMesh(overlap, false, &mesh));
    EXPECT_NEAR(TriangleArea(mesh.faceTriangles), 150.0, 1e-4);
}

TEST(OutlineMesh, wire_form_is_the_contours_joined_at_their_corners_only) {
    HandOutline hand;
    AddCubicCircle(&hand);
    GlyphOutline outline;
    ASSERT_TRUE(FlattenOutline(hand.Outline(), 1.0, 1.0 / kRadius, &outline));
    const GlyphOutline square = SquareWithHole(FillSide::Right);
    outline.contours.insert(outline.contours.end(), square.contours.begin(), square.contours.end());

    OutlineTessellator tessellator;
    GlyphMesh mesh;
    ASSERT_TRUE(tessellator.BuildMesh(outline, true, &mesh));
    EXPECT_TRUE(mesh.faceTriangles.empty());
    EXPECT_TRUE(mesh.sides.empty());
    ASSERT_EQ(mesh.loops.size(), 3u);
    EXPECT_EQ(mesh.loops[0].size(), outline.contours[0].points.size());
    EXPECT_EQ(mesh.loops[1].size(), 4u);
    EXPECT_EQ(mesh.depthEdges.size(), 4u + 4u + 4u);
}

}  // namespace
