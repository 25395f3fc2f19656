// Bonded neighbours: one record per atom of the working list, and the work
// record of the last single search.
#pragma once

#include <utility>
#include <vector>

#include "core/cell_grid.hpp"

namespace tesk {

constexpr int kMaxNeighbours = 20;    // per atom record
constexpr int kMaxSearchNeighbours = 1000;  // maxnei, one search

// One atom's neighbours: jnei/dnei by ascending distance; types by ascending
// atomic number, each with its members (tnei). The lists hold exactly nnei
// and ntyp entries.
struct NeighbourRecord {
  int nnei = 0;
  std::vector<int> jnei;
  std::vector<float> dnei;
  int ntyp = 0;
  std::vector<int> ztyp;
  std::vector<int> ntnei;
  std::vector<std::vector<int>> tnei;

  // Empties the record but keeps its storage for the next search.
  void clear() {
    nnei = 0;
    ntyp = 0;
    jnei.clear();
    dnei.clear();
    ztyp.clear();
    ntnei.clear();
    tnei.clear();
  }
};

struct NeighbourTable {
  std::vector<NeighbourRecord> rec;  // index 0 = atom 1
  NeighbourRecord& at(int atom);     // checked, 1-based
  const NeighbourRecord& at(int atom) const;
  int size() const { return static_cast<int>(rec.size()); }
};

// The cell grid of the working list that single searches use. Built on the
// first search, rebuilt when nall changes; an atom moved afterwards must go
// through set_atom_xc (neighbours.hpp) so that the grid follows it.
struct SearchGrid {
  CellGrid grid;
  int count = -1;          // nall when built; -1 not built
  float maxrad = 0.0f;     // largest covalent radius among the atoms filed
  // Per atom (index 0 = atom 1): the other atoms closer than samexyz, so a
  // search tests a candidate against the few atoms on its own site instead
  // of against every neighbour accepted so far.
  std::vector<std::vector<int>> twins;
  // accepted[j] == search: atom j was accepted by the search under way.
  std::vector<unsigned> accepted;
  unsigned search = 0;
  // Work lists of one search, kept between searches so that each does not
  // allocate its own.
  std::vector<int> candidates;
  std::vector<std::pair<int, float>> within;
  std::vector<std::pair<float, int>> by_distance;
};

struct NeighbourState {
  NeighbourTable neighbors;
  NeighbourRecord neig;     // the last search (inei = neig.nnei)
  std::vector<int> isn;     // neighbours of the current atom in type order
  int iprint = 0;           // findnei prints its result when 1
  SearchGrid search;
};

}  // namespace tesk
