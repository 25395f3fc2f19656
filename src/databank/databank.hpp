// The pseudoatom databank: parsed once, searched per atom.
#pragma once

#include <string>

namespace tesk {

struct Run;

// Free-atom valence population of atomic number z.
float pval(int z);

}  // namespace tesk
