// Helpers for the glyph geometry tests: hand-made FreeType outlines, the
// exact area of an outline's curves, and a point-in-glyph test, each worked
// out independently of the flattening and tessellation under test.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <initializer_list>
#include <vector>

#include "outline_geometry.h"

// An FT_Outline over storage owned by this object.
class HandOutline {
public:
    // Starts a contour; the points that follow belong to it.
    void BeginContour();
    void OnCurve(double x, double y);
    void Conic(double x, double y);  // a quadratic control point
    void Cubic(double x, double y);  // a cubic control point
    FT_Outline& Outline();

private:
    std::vector<FT_Vector> points_;
    std::vector<unsigned char> tags_;
    std::vector<short> contourStarts_;
    std::vector<short> contourEnds_;
    FT_Outline outline_{};
};

// The signed area enclosed by the outline's true curves, positive for
// counter-clockwise contours (Green's theorem on every segment exactly).
double ExactOutlineArea(const FT_Outline& outline);

// The winding number of (x, y) around all contours.
int WindingNumber(const GlyphOutline& outline, double x, double y);

// Whether (x, y) lies in the filled area under the outline's fill rule.
bool IsFilled(const GlyphOutline& outline, double x, double y);

// The summed area of triangles given as consecutive point triples,
// positive for counter-clockwise ones.
double TriangleArea(const std::vector<MeshPoint>& triangles);

// A polygon contour from x, y pairs, every point a corner.
OutlineContour Polygon(std::initializer_list<double> coordinates);
