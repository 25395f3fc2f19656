// Shared vocabulary of the functional-group rules: the neighbour environment
// of an atom read as element counts, ring membership, and the log lines every
// rule writes when it fires or meets a variant it does not know.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "model/neighbour_table.hpp"
#include "connectivity/rings.hpp"

namespace tesk {

struct Run;

namespace groups {

constexpr int H = 1, B = 5, C = 6, N = 7, O = 8, F = 9, P = 15, S = 16, Cl = 17, Zn = 30,
              Br = 35;

// One element of an environment: atomic number and how many neighbours of it.
struct Count {
  int z;
  int n;
};

// The name a rule gives; empty when the atom ends without a group.
using Name = std::string;

// The atom being classified, with read access to its surroundings.
class Scan {
 public:
  Scan(Run& run, int atom);

  Run& run() { return run_; }
  int atom() const { return atom_; }

  int z(int a) const;
  const NeighbourRecord& nb(int a) const;
  int nnei(int a) const { return nb(a).nnei; }
  RingMembership rings(int a) const;

  // Logs the checking line of a rule that fits and marks the atom as having
  // an exception until the rule's outcome says otherwise.
  void checking(std::string_view tag);
  // A known kind of group in a variant without a name: the log says so and
  // points the user to group.ang, which printgroup writes when asked.
  Name unknown(std::string_view tag, bool with_printgroup);
  // Least-squares planarity of atom a with its bonded neighbours (group mode).
  bool coplanar(int a);

 private:
  Run& run_;
  int atom_;
};

// Exactly these elements with these counts, in ascending atomic number.
bool env_is(const NeighbourRecord& r, std::initializer_list<Count> env);
// Atomic number and member count of the t-th type (0-based); 0 when absent.
int type_z(const NeighbourRecord& r, int t);
int type_n(const NeighbourRecord& r, int t);
int highest_z(const NeighbourRecord& r);
int highest_n(const NeighbourRecord& r);
// Number of neighbours of element z.
int count_of(const NeighbourRecord& r, int z);
// The k-th (0-based) member of element z in tnei order; 0 when absent.
int member(const NeighbourRecord& r, int z, int k = 0);
// Every neighbour is hydrogen or carbon.
bool only_h_or_c(const NeighbourRecord& r);
// The first neighbour in distance order other than `not_this`; 0 when none.
int other_neighbour(const NeighbourRecord& r, int not_this);
// Neighbour types exactly the listed elements (any counts).
bool types_are(const NeighbourRecord& r, std::initializer_list<int> zs);

// In exactly one ring and that ring is planar (two planar rings do not count).
inline bool in_planar_ring(const RingMembership& m) { return m.cyclic == 1 && m.inplanar == 1; }
// Both atoms report the same (non-zero) planar ring.
inline bool same_ring(const RingMembership& a, const RingMembership& b) {
  return a.ring != 0 && a.ring == b.ring;
}

Name carbon_group(Scan& s);

}  // namespace groups
}  // namespace tesk
