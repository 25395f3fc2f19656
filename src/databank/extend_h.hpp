// Extension of X-H bonds to standard neutron-diffraction lengths.
#pragma once

namespace tesk {

struct Run;

// Moves hydrogen `h` along its bond from `parent` to the standard length of
// its group and writes the restraint lines of the side files.
void extendh(Run& run, int parent, int h);

}  // namespace tesk
