// The PLATON plot of the local axes in tesk.spf: each atom and the tips of
// its three axes, 0.2 Angstrom out from the atom.
#pragma once

#include <array>
#include <string>

#include "core/vec3.hpp"

namespace tesk {

struct Run;
struct AxisDecision;

// Unit vectors of the local X, Y and Z axes of an atom at `origin`: the
// first letter along the first axis point, the second in the plane of both
// points, perpendicular to the first, and the third completing a
// right-handed frame (X x Y = Z whichever two letters the rules chose).
std::array<Vec3, 3> local_frame(const Vec3& origin, const AxisDecision& d);

// Why no frame can be made from the decision, empty when it can: an axis
// point on the atom, both points on one line through it, or (rounding) a
// frame that is not orthonormal and right-handed.
std::string frame_fault(const Vec3& origin, const AxisDecision& d);
// The three axis tips at 0.2 Angstrom from `origin` along the frame.
std::array<Vec3, 3> getdummy(const Vec3& origin, const std::array<Vec3, 3>& frame);

// Atom number as text without blanks ("12").
std::string getdummylabel(int atom);

// Writes the atom line and its X, Y and Z tip lines (labels X12, Y12, Z12)
// to tesk.spf.
void loc2plat(Run& run, int atom, const AxisDecision& d);

}  // namespace tesk
