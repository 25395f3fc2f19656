// fixedH.ins: every input atom as a SHELX-style line, with the hydrogens at
// their extended X-H positions.
#pragma once

namespace tesk {

struct Run;

// One atom's line: label, scattering type, x y z, occupancy, U11.
void write_fixed_h_atom(Run& run, int atom);

}  // namespace tesk
