// Extension of X-H bonds to standard neutron-diffraction lengths.
#pragma once

#include "core/vec3.hpp"

namespace tesk {

struct Run;

// Moves hydrogen `h` along its bond from `parent` to the standard length of
// its group and writes the restraint lines of the side files.
void extendh(Run& run, int parent, int h);

// Sets h = x + (h - x) * d0 / |h - x|: h slides along the bond to length d0
// while x stays put. Returns the old length |h - x|.
float extendbond(const Vec3& x, Vec3& h, float d0);

}  // namespace tesk
