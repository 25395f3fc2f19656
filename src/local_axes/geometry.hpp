// Vector helpers of the axis rules: midpoints, angles, cross products, all in
// single precision on cartesian coordinates.
#pragma once

#include "core/sink.hpp"
#include "core/vec3.hpp"

namespace tesk {

struct Run;

Vec3 midpoint(const Vec3& a, const Vec3& b);
// The angle at p2 between p1 and p3, in degrees. The cosine is clamped to
// [-1, 1]: rounding can push a perfectly linear triple just past -1, and the
// arc cosine of that is NaN, which no angle test would recognise as linear.
float calcang(const Vec3& p1, const Vec3& p2, const Vec3& p3);
float rlength(const Vec3& v);
Vec3 vmult(const Vec3& a, const Vec3& b);  // a x b
Vec3 vsub(const Vec3& a, const Vec3& b);
// "Angle   i - j - k = ..." with the trimmed labels of working-list atoms.
void prtang(const Run& run, Sink& out, int i, int j, int k, float angle);

}  // namespace tesk
