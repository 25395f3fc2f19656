// The order in which the axis rules are tried: too few neighbours, no
// chemistry to go by, planar rings, then the general rules by neighbour count.
#include "local_axes/axis_rules.hpp"

#include <algorithm>
#include <cmath>

#include "connectivity/neighbours.hpp"
#include "connectivity/planes.hpp"
#include "connectivity/rings.hpp"
#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/axis_context.hpp"
#include "local_axes/dummy_atoms.hpp"
#include "local_axes/equivalence.hpp"
#include "local_axes/geometry.hpp"
#include "structure/cell.hpp"

namespace tesk {

AxisPoint AxisContext::point(int a) const {
  AxisPoint p;
  p.label = fixed_width(run.atoms.at(a).label, 8);
  p.atom = a;
  p.xc = run.atoms.at(a).xc;
  return p;
}

AxisPoint AxisContext::dummy(bool frac, const Vec3& x) {
  return dummy_point(run, adddummyatom(run, frac, x));
}

namespace {

// Cartesian x, y or z, whichever is least in line with `dir` (x for a zero
// direction): at least 54.7 degrees off it.
std::size_t least_aligned_axis(const Vec3& dir) {
  std::size_t best = 0;
  for (std::size_t c = 1; c < 3; ++c)
    if (std::fabs(dir[c]) < std::fabs(dir[best])) best = c;
  return best;
}

}  // namespace

AxisPoint AxisContext::fixed_dummy(float at, const AxisPoint* other) {
  const Vec3& origin = xc(atom);
  const Vec3 stored{at, at, at};
  const Vec3 want = run.opt.ifra == 1 ? rabs(run.transf, 0, stored) : stored;
  const bool on_atom = rlength(vsub(want, origin)) < kTooClose;
  const bool on_line = other != nullptr && !off_axis_line(calcang(want, origin, other->xc));
  if (!on_atom && !on_line) return dummy(run.opt.ifra == 1, stored);
  const Vec3 dir = other != nullptr ? vsub(other->xc, origin) : Vec3{0.0f, 0.0f, 0.0f};
  const std::size_t c = least_aligned_axis(dir);
  Vec3 x = origin;
  x[c] += 1.0f;
  const char* names[] = {"x", "y", "z"};
  run.both_console_first(
      ffmt("(/' The point ',a,' lies on atom ',a,' or in line with its other axis;',"
           "/,' dummy made 1 Angstrom from the atom along cartesian ',a,' instead')",
           {at == 0.0f ? "0,0,0" : "0.5,0.5,0.5", trim_right(run.atoms.at(atom).label), names[c]}));
  return dummy(false, x);
}

int AxisContext::off_line(int x, const std::vector<int>& candidates) const {
  for (int k : candidates)
    if (k != x && off_axis_line(calcang(xc(x), xc(atom), xc(k)))) return k;
  return 0;
}

void AxisContext::first_two_sorted_axes() {
  const int x = isn(1);
  const int y = off_line(x, run.nb.isn);
  if (y > 0) {
    axes(AxisLetter::X, point(x), AxisLetter::Y, point(y));
    return;
  }
  const AxisPoint px = point(x);
  axes(AxisLetter::X, px, AxisLetter::Y, fixed_dummy(0.5f, &px));
}

void AxisContext::axes(AxisLetter first, const AxisPoint& p1, AxisLetter second,
                       const AxisPoint& p2) {
  d.first = first;
  d.p1 = p1;
  d.second = second;
  d.p2 = p2;
}

void AxisContext::sym(const char* label) { run.atoms.at(atom).sitesym = fixed_width(label, 5); }

void AxisContext::nothing_found(int about, float radius, const char* note) {
  run.both_console_first(ffmt("(/' No neighbors of atom ',a,' were found within ',f10.2,' Angstroms')",
                              {run.atoms.at(about).label, radius}));
  run.both_console_first(ffmt("(/a)", {note}));
}

namespace {

constexpr AxisLetter X = AxisLetter::X, Y = AxisLetter::Y;

void prepare(AxisContext& c) {
  Run& run = c.run;
  run.db.iring = 0;
  run.db.imemb = 0;
  run.nb.iprint = 1;
  prtatomnei(run, c.atom, c.log());
  sortnei(run, c.atom);
  c.self_disordered = run.atoms.at(c.atom).flag == -1;
  c.neighbour_disordered = neighbour_disordered(run, c.atom);
  run.db.lpg = c.nb.nnei < 4;
  c.nh = (c.nb.ntyp > 0 && c.nb.ztyp[0] == 1) ? c.nb.ntnei[0] : 0;
  c.log() << ffmt("(/a,i4)", {" Number of covalently-bonded H-atoms = ", c.nh});
}

// Nothing bonded to go by: X and Y to the two nearest atoms within a radius
// growing from 5 to 20 Angstrom, or to dummies at the cell origin and centre.
void widening_search(AxisContext& c) {
  c.d.rule = AxisRule::TooFewNeighbours;
  float r = 5.0f;
  findnei(c.run, c.atom, r);
  while (c.run.nb.neig.nnei < 2 && r < 20.0f) {
    r += 1.0f;
    findnei(c.run, c.atom, r);
  }
  c.sym("NO");
  if (c.run.nb.neig.nnei >= 2) {
    // The nearest, and the next nearest off its line.
    const std::vector<int> found = c.run.nb.neig.jnei;
    const AxisPoint pa = c.point(found[0]);
    const int b = c.off_line(found[0], found);
    c.axes(X, pa, Y, b > 0 ? c.point(b) : c.fixed_dummy(0.5f, &pa));
    return;
  }
  c.nothing_found(c.atom, r, " Will make dummies at 0,0,0 and 0.5,0.5,0.5");
  const AxisPoint origin = c.fixed_dummy(0.0f);
  c.axes(X, origin, Y, c.fixed_dummy(0.5f, &origin));
}

bool too_few_neighbours(const AxisContext& c) {
  return c.run.opt.lsx == 1 ? c.nb.nnei <= 1 : c.nb.nnei == 0;
}

bool no_chemistry(const AxisContext& c) {
  return c.nb.nnei >= 5 || c.run.opt.lsx == 1 || (!c.self_disordered && c.neighbour_disordered);
}

// X and Y to the first two neighbours in type order. An ordered atom whose
// only neighbour is disordered has no second one: it is placed like an atom
// without neighbours.
void first_two_sorted(AxisContext& c) {
  if (c.nb.nnei < 2) return widening_search(c);
  c.d.rule = AxisRule::NoChemistry;
  c.first_two_sorted_axes();
  c.sym("NO");
}

bool in_ring(const Run& run, int atom, int ring) {
  const auto& members = run.rings.ring[static_cast<std::size_t>(ring - 1)].ratom;
  return std::find(members.begin(), members.end(), atom) != members.end();
}

// First neighbour in type order satisfying `ok`, 0 when none.
template <class F>
int first_sorted(const AxisContext& c, F ok) {
  for (int k : c.run.nb.isn)
    if (ok(k)) return k;
  return 0;
}

// One planar ring: X to the ring centre, Y to a ring neighbour, a mirror in
// the ring plane.
bool one_planar_ring(AxisContext& c, const RingMembership& m) {
  c.log() << ffmt("(/a,i5,a)", {" Atom belongs to only one planar ring ( #", m.ring, " )"});
  c.run.db.iring = 1;
  c.run.db.imemb = m.size;
  if (c.run.opt.ring1[2] != 1) return false;
  const int centre = ring_centre_dummy(c.run, m.ring);
  c.log() << ffmt("(/' Dummy atom which defines the ring center = ',a)",
                  {fixed_width(c.run.axes.dummy.dum[static_cast<std::size_t>(centre - 1)].label, 6)});
  const int y = first_sorted(c, [&](int k) { return in_ring(c.run, k, m.ring); });
  if (y == 0) err("DefLoc", "Could not find atom to direct Y-axis");
  c.d.rule = AxisRule::OnePlanarRing;
  c.axes(X, dummy_point(c.run, centre), Y, c.point(y));
  c.sym("m");
  return true;
}

// A fusion atom of two planar rings: X to the other fusion atom; for a 5+6
// or 6+6 pair, Y to the neighbour in the six-membered ring only.
bool two_planar_rings(AxisContext& c, const RingMembership& m) {
  c.log() << ffmt("(/a,i5,a)", {" Atom belongs to 2 planar rings of tot numb ( #", m.ring, " )"});
  c.run.db.iring = 2;
  c.run.db.imemb = m.size;
  if (c.run.opt.ring1[2] != 1) return false;
  c.sym("m");
  const int x = first_sorted(c, [&](int k) {
    const RingMembership r = isitcyclic(c.run, k);
    return r.cyclic == 1 && (r.intwoplanar == 1 || r.inplanar != 1);
  });
  if (x == 0) err("DefLoc", "Could not find atom to direct X-axis");
  const int fused = isitcyclic(c.run, x).size;
  if (fused != 11 && fused != 12) return false;
  const int y = first_sorted(c, [&](int k) {
    const RingMembership r = isitcyclic(c.run, k);
    return r.inplanar == 1 && r.size == 6;
  });
  if (y == 0) err("DefLoc", "Could not find atom to direct Y-axis");
  c.d.rule = AxisRule::TwoPlanarRings;
  c.axes(X, c.point(x), Y, c.point(y));
  return true;
}

bool ring_rules(AxisContext& c) {
  const RingMembership m = isitcyclic(c.run, c.atom);
  if (m.inplanar == 1) return one_planar_ring(c, m);
  if (m.intwoplanar == 1) return two_planar_rings(c, m);
  if (m.cyclic == 1)
    c.log() << ffmt("(/' This atom belongs to 1 or 2 rings which are NOT planar '' or it belongs "
                    "to >2 rings',/,' Will be treated as if it DOES NOT belong to a ring')");
  return false;
}

// Planarity of the atom with its neighbours, and the pairs of equivalent
// neighbours that give the local symmetry.
void group_and_pairs(AxisContext& c) {
  Run& run = c.run;
  if (c.nb.nnei >= 3) {
    const std::vector<int> group = collectnei(run, c.atom);
    run.db.lpg = planarity(run, run.verbosity() >= 3, group, kGroupMode) == 1;
    c.log() << ffmt("(/' Atomic group (',i2,' atoms) planarity (lPG) = .',l1,'.')",
                    {static_cast<int>(group.size()), run.db.lpg});
  }
  for (int k = 1; k <= c.nb.nnei; ++k)
    for (int l = k + 1; l <= c.nb.nnei; ++l)
      if (sameatoms(run, c.jnei(k), c.jnei(l), false, false, run.opt.simple == 1, false) == 1) {
        c.pairs.emplace_back(c.jnei(k), c.jnei(l));
        c.log() << ffmt("(/a,2i6)", {" Same atoms : ", c.jnei(k), c.jnei(l)});
      }
  c.log() << ffmt("(/a,i4)", {" is = ", static_cast<int>(c.pairs.size())});
}

void general_rules(AxisContext& c) {
  group_and_pairs(c);
  switch (c.nb.nnei) {
    case 1: return c.z(c.atom) == 1 ? one_neighbour_hydrogen(c) : one_neighbour(c);
    case 2: return two_neighbours(c);
    case 3: return three_neighbours(c);
    default: return four_neighbours(c);
  }
}

}  // namespace

AxisDecision decide_axes(Run& run, int atom) {
  AxisContext c(run, atom);
  prepare(c);
  if (too_few_neighbours(c)) {
    widening_search(c);
  } else if (no_chemistry(c)) {
    first_two_sorted(c);
  } else if (!ring_rules(c)) {
    general_rules(c);
  }
  return c.d;
}

std::string symplm_code(const std::string& sitesym, AxisLetter first, AxisLetter second) {
  const std::string sym = trim_right(sitesym);
  auto has = [&](AxisLetter a) { return first == a || second == a; };
  if (sym == "m") {
    if (has(AxisLetter::X) && has(AxisLetter::Y)) return "mz  ";
    if (has(AxisLetter::Y) && has(AxisLetter::Z)) return "mx  ";
    if (has(AxisLetter::X) && has(AxisLetter::Z)) return "my  ";
  }
  if (sym == "mm2") return "mxmz";
  if (sym == "3m") return "3m  ";
  if (sym == "cyl") return "cy  ";
  return "    ";
}

}  // namespace tesk
