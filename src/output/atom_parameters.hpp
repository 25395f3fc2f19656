// What the KQ and MoPro parameter writers read of one input atom: its
// local-axis record and its populations in the order both files list them.
#pragma once

#include <array>

#include "model/databank_tables.hpp"
#include "model/local_axes_tables.hpp"

namespace tesk {

struct Run;

// The atom's numeric local-axis record; a blank record for an atom the
// per-atom loop has not reached.
const AxisRecord& axis_record(const Run& run, int atom);
// The atom's valence and multipole populations; zeros for an atom without any.
const AtomPoles& atom_poles(const Run& run, int atom);

// Pv followed by the 25 populations P(l,m) in the order of both files: P00,
// P11, P1-1, P10, then for l = 2..4 the m = 0 term and +1, -1, +2, -2, ...
std::array<float, 26> pv_and_populations(const AtomPoles& poles);

}  // namespace tesk
