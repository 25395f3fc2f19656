// Bonded-neighbour search and ordering.
#pragma once

#include <vector>

#include "control/sink.hpp"

namespace tesk {

struct Run;

void findallneighbors(Run& run);
// One search into run.nb.neig: rmax 0 selects the bond criterion.
void findnei(Run& run, int atom, float rmax);
void getnei(Run& run, int atom, float rmax, int& disordered);
// The atom's neighbours in jnei order followed by the atom itself.
std::vector<int> collectnei(const Run& run, int atom);
void sortnei(Run& run, int atom);
void prtatomnei(const Run& run, int atom, Sink& out);

}  // namespace tesk
