// Ring search: elimination of open atoms, the ring walk and ring membership.
#pragma once

#include <vector>

namespace tesk {

struct Run;

constexpr int kMaxConnections = 20;     // connections kept per list position
constexpr int kMaxPath = 1000000;       // entries of the walk's path

// Reduces the working list to the atoms that can lie on a ring and leaves
// the list and its connectivity in run.ringsearch; writes reduced.ang and
// reduced_1.ang.
void connect4rings(Run& run);
// One line per list position: position, label, labels of its connections.
void writeconn(Run& run, const std::vector<int>& newat,
               const std::vector<std::vector<int>>& icon);

// Walks the reduced connectivity and fills run.rings.
void findrings(Run& run);
// 1 if a stored ring has exactly atoms.size() atoms and holds every one of them.
int ichk_ring(const Run& run, const std::vector<int>& atoms);

struct RingMembership {
  int cyclic = 0;       // in one ring or more
  int inplanar = 0;     // counted as in one planar ring
  int intwoplanar = 0;  // in exactly two rings, both planar
  int ring = 0;         // that ring's number, or the sum of both numbers
  int size = 0;         // its size, or the sum of both sizes
};
RingMembership isitcyclic(const Run& run, int atom);

}  // namespace tesk
