// Rings found by the ring search, with a per-atom membership index.
#pragma once

#include <vector>

namespace tesk {

constexpr int kMaxRings = 1000;
constexpr int kMaxRingSize = 100;

struct Ring {
  int rsize = 0;
  std::vector<int> ratom;  // atom numbers in walk order around the ring
  int rplan = 0;           // 1 planar
  int rcent = 0;           // atom number of the ring-centre dummy, 0 if none
};

struct RingTable {
  std::vector<Ring> ring;              // ring r is ring[r-1]
  std::vector<std::vector<int>> member_of;  // per atom (index 0 = atom 1): ring numbers, ascending
  int nor() const { return static_cast<int>(ring.size()); }
  // Ring numbers holding the atom; empty for atoms the search never saw.
  const std::vector<int>& rings_of(int atom) const;
};

// The reduced list and connectivity the ring search builds.
struct RingSearchState {
  std::vector<int> newat;                 // list position p (1-based) -> atom number newat[p-1]
  // Per position: connected positions, ascending (until findrings moves a
  // branch atom to position 1, which swaps two numbers in place).
  std::vector<std::vector<int>> icon;
  int count() const { return static_cast<int>(newat.size()); }
};

}  // namespace tesk
