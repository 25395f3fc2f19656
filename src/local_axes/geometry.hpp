// Vector helpers of the axis rules: midpoints, angles, cross products, all in
// single precision on cartesian coordinates.
#pragma once

#include "core/sink.hpp"
#include "connectivity/neighbours.hpp"
#include "core/vec3.hpp"

namespace tesk {

struct Run;

// An axis point within 10 degrees of the line of the other axis (either way
// along it) gives no second direction: the same margin the terminal rule
// uses for the neighbours of its partner.
inline bool off_axis_line(float angle) { return angle > 10.0f && angle < 170.0f; }

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
