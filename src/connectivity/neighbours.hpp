// Bonded-neighbour search and ordering. Searches look at the atoms 1..nall of
// the working list only, by cartesian distance, through a cell grid; the
// results equal those of a scan in ascending atom number.
#pragma once

#include <functional>

#include <vector>

#include "core/sink.hpp"
#include "model/atom_table.hpp"

namespace tesk {

struct Run;

constexpr float kTooClose = 0.5f;   // tooclose: nearer than this is no bond
constexpr float kSameXyz = 0.01f;   // samexyz: two atoms on one site

// Fills run.nb.neighbors for atoms 1..nall and prints every record, sorted,
// to the log.
void findallneighbors(Run& run);
// One search into run.nb.neig: rmax 0 selects the bond criterion.
void findnei(Run& run, int atom, float rmax);
void getnei(Run& run, int atom, float rmax, int& disordered);
// The first atom, in the distance order of findnei(atom, rmax), that
// `accept` takes; 0 when none does. A search over a nearer shell answers
// when its first accepted atom lies well inside the shell (every atom before
// it in the full list, and every atom sharing a site with those, is then in
// the shell too); otherwise the full search decides. Prints nothing; leaves
// neig holding the search that answered.
int first_in_distance_order(Run& run, int atom, float rmax, const std::function<bool(int)>& accept);

// True when a bonded neighbour of the atom belongs to a disordered part.
bool neighbour_disordered(const Run& run, int atom);

// The atom's neighbours in jnei order followed by the atom itself.
std::vector<int> collectnei(const Run& run, int atom);
// run.nb.isn: the neighbours by atomic number (descending), then in tnei order.
void sortnei(Run& run, int atom);
void prtatomnei(const Run& run, int atom, Sink& out);

// Moves an atom of the working list and keeps the search grid in step.
// Every stage that changes xc after the first search must use it.
void set_atom_xc(Run& run, int atom, const Vec3& xc);

}  // namespace tesk
