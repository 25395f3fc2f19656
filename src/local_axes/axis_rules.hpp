// The choice of an atom's local axes: two axis points (atoms of the working
// list or dummy atoms), their letters and the local site symmetry, from the
// bonded neighbours, the rings and the equivalence of the neighbours.
#pragma once

#include <string>

#include "model/local_axes_tables.hpp"

namespace tesk {

struct Run;

// Decides the axes of input atom `atom`. Sets its sitesym, the ring context
// and group planarity the databank matcher reads (run.db.iring, imemb, lpg),
// the parent summary run.db.forh of a hydrogen; may create dummy atoms and,
// with EXTEND_H, move a hydrogen; logs every step.
AxisDecision decide_axes(Run& run, int atom);

// The 4-character code of the MoPro SYMPLM line for a site symmetry and the
// two axis letters: a mirror is named by the axis perpendicular to it.
std::string symplm_code(const std::string& sitesym, AxisLetter first, AxisLetter second);

}  // namespace tesk
