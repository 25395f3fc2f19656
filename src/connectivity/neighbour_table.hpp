// Bonded neighbours: one record per atom of the working list, and the work
// record of the last single search.
#pragma once

#include <vector>

namespace tesk {

constexpr int kMaxNeighbours = 20;    // per atom record
constexpr int kMaxSearchNeighbours = 1000;  // maxnei, one search

// One atom's neighbours: jnei/dnei by ascending distance; types by ascending
// atomic number, each with its members (tnei).
struct NeighbourRecord {
  int nnei = 0;
  std::vector<int> jnei;
  std::vector<float> dnei;
  int ntyp = 0;
  std::vector<int> ztyp;
  std::vector<int> ntnei;
  std::vector<std::vector<int>> tnei;

  void clear() { *this = NeighbourRecord{}; }
};

struct NeighbourTable {
  std::vector<NeighbourRecord> rec;  // index 0 = atom 1
  NeighbourRecord& at(int atom);
  const NeighbourRecord& at(int atom) const;
};

struct NeighbourState {
  NeighbourTable neighbors;
  NeighbourRecord neig;     // the last search (inei = neig.nnei)
  std::vector<int> isn;     // neighbours of the current atom in type order
  int iprint = 0;           // findnei prints its result when 1
};

}  // namespace tesk
