// The per-atom loop: local axes, site symmetry, chemical equivalence and
// the databank transfer of every input atom.
#pragma once

#include <string>

namespace tesk {

struct Run;

void localdef(Run& run);

}  // namespace tesk
