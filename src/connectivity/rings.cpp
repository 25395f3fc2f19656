// Questions asked of the ring table: is this set of atoms a stored ring, and
// which rings does one atom belong to.
#include <algorithm>

#include "connectivity/rings.hpp"
#include "model/run.hpp"

namespace tesk {

const std::vector<int>& RingTable::rings_of(int atom) const {
  static const std::vector<int> none;
  if (atom < 1 || atom > static_cast<int>(member_of.size())) return none;
  return member_of[static_cast<std::size_t>(atom - 1)];
}

int ichk_ring(const Run& run, const std::vector<int>& atoms) {
  if (atoms.empty()) return 0;
  const int n = static_cast<int>(atoms.size());
  // Only rings through the first atom can hold them all.
  for (int r : run.rings.rings_of(atoms.front())) {
    if (run.rings.ring[static_cast<std::size_t>(r - 1)].rsize != n) continue;
    const bool all = std::all_of(atoms.begin(), atoms.end(), [&](int a) {
      const auto& in = run.rings.rings_of(a);
      return std::binary_search(in.begin(), in.end(), r);
    });
    if (all) return 1;
  }
  return 0;
}

RingMembership isitcyclic(const Run& run, int atom) {
  RingMembership m;
  const auto& in = run.rings.rings_of(atom);
  if (in.empty()) return m;
  m.cyclic = 1;
  auto planar = [&run](int r) { return run.rings.ring[static_cast<std::size_t>(r - 1)].rplan == 1; };
  auto size = [&run](int r) { return run.rings.ring[static_cast<std::size_t>(r - 1)].rsize; };
  if (in.size() == 1) {
    if (planar(in[0])) {
      m.inplanar = 1;
      m.ring = in[0];
      m.size = size(in[0]);
    }
  } else if (in.size() == 2) {
    const int r1 = in[0], r2 = in[1];
    if (planar(r1) && planar(r2)) {
      m.intwoplanar = 1;
      m.ring = r1 + r2;
      m.size = size(r1) + size(r2);
    } else if (planar(r1) || planar(r2)) {
      const int r = planar(r1) ? r1 : r2;
      m.inplanar = 1;
      m.ring = r;
      m.size = size(r);
    }
  }
  // In three rings or more an atom counts only as cyclic: the axis rules
  // then treat it as if it belonged to no ring.
  return m;
}

}  // namespace tesk
