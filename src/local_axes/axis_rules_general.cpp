// The general axis rules by number of bonded neighbours: terminal atoms and
// hydrogens, linear and bent two-connected atoms, three- and four-connected
// atoms by the pairs of equivalent neighbours they have.
#include <algorithm>

#include "connectivity/neighbours.hpp"
#include "core/errors.hpp"
#include "databank/extend_h.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/axis_context.hpp"
#include "local_axes/dummy_atoms.hpp"
#include "local_axes/geometry.hpp"

namespace tesk {

namespace {

constexpr AxisLetter X = AxisLetter::X, Y = AxisLetter::Y, Z = AxisLetter::Z;
constexpr const char* kDummyAtOrigin = " Will make dummy at 0,0,0";

// angle(a-b-c) at b
float angle(const AxisContext& c, int a, int b, int k) { return calcang(c.xc(a), c.xc(b), c.xc(k)); }

// The second axis to atom k, with the angle the choice rests on in the log
// (the atom itself, the reference atom and k, whatever the vertex).
void second_axis_to(AxisContext& c, int reference, int k, float ang) {
  prtang(c.run, c.log(), c.atom, reference, k, ang);
  c.d.p2 = c.point(k);
}

// Neither along nor opposite the first axis: the angle that makes a usable
// second axis for a terminal atom.
bool usable(float ang) { return ang > 10.0f && ang <= 160.0f; }

bool in_pair(const std::pair<int, int>& p, int a) { return p.first == a || p.second == a; }

// The last neighbour in jnei order that is not in the pair.
int unpaired(const AxisContext& c, const std::pair<int, int>& p) {
  int u = 0;
  for (int j : c.nb.jnei)
    if (!in_pair(p, j)) u = j;
  return u;
}

AxisPoint midpoint_dummy(AxisContext& c, int a, int b) {
  return c.dummy(false, midpoint(c.xc(a), c.xc(b)));
}

// Y for a terminal atom: a neighbour of its partner A1 at a usable angle,
// else an atom found around A1 within 4 to 12 Angstrom.
bool terminal_y_from_partner(AxisContext& c, int a1) {
  const NeighbourRecord& r1 = c.run.nb.neighbors.at(a1);
  if (r1.nnei < 2) return false;
  for (int k : r1.jnei) {
    if (k == c.atom) continue;
    const float ang = angle(c, c.atom, a1, k);
    if (usable(ang)) {
      second_axis_to(c, a1, k, ang);
      return true;
    }
    if (ang > 160.0f) {
      c.d.first = Z;
      c.sym("cyl");
    }
  }
  return false;
}

bool terminal_y_from_search(AxisContext& c, int a1, float& r) {
  const NeighbourRecord& r1 = c.run.nb.neighbors.at(a1);
  for (r = 4.0f; r <= 12.0f; r += 2.0f) {
    findnei(c.run, a1, r);
    if (r1.nnei < 2) continue;
    const int last = r1.jnei.back();
    for (int k : c.run.nb.neig.jnei) {
      if (k == c.atom || k == last) continue;
      const float ang = angle(c, c.atom, a1, k);
      if (usable(ang)) {
        second_axis_to(c, a1, k, ang);
        return true;
      }
    }
  }
  r = 12.0f;
  return false;
}

}  // namespace

// A terminal non-hydrogen atom: X along its bond, Y towards a neighbour of
// its partner; an (almost) linear partner makes the bond a cylinder axis.
void one_neighbour(AxisContext& c) {
  c.d.rule = AxisRule::Terminal;
  const int a1 = c.jnei(1);
  c.axes(X, c.point(a1), Y, AxisPoint{});
  c.sym("m");
  if (terminal_y_from_partner(c, a1)) return;
  float r = 0.0f;
  if (terminal_y_from_search(c, a1, r)) return;
  c.nothing_found(a1, r, kDummyAtOrigin);
  c.d.p2 = c.fixed_dummy(0.0f, &c.d.p1);
}

// A hydrogen: Z along the X-H bond, Y towards the parent's nearest heavy
// neighbour of the input list. The parent summary feeds the databank match
// and the X-H extension.
void one_neighbour_hydrogen(AxisContext& c) {
  Run& run = c.run;
  c.d.rule = AxisRule::Hydrogen;
  const int a1 = c.jnei(1);
  const NeighbourRecord& r1 = run.nb.neighbors.at(a1);
  c.axes(Z, c.point(a1), Y, AxisPoint{});
  c.sym("cyl");
  const int parent_h = r1.ntyp > 0 ? r1.ntnei[0] : 0;
  auto& forh = run.db.forh;
  if (forh.size() < static_cast<std::size_t>(run.atoms.size()))
    forh.resize(static_cast<std::size_t>(run.atoms.size()));
  forh[static_cast<std::size_t>(c.atom - 1)] = {r1.nnei, c.z(a1), parent_h};
  c.log() << ffmt("(/' Hydrogen connected to an atom with ',i2,' bonds ( ',i2,' - Hydrogen(s) )')",
                  {r1.nnei, parent_h});

  const bool all_h = std::all_of(r1.jnei.begin(), r1.jnei.end(), [&](int j) { return c.z(j) == 1; });
  bool found = false;
  if (all_h && r1.nnei >= 2) {
    for (int k : r1.jnei)
      if (k != c.atom) {
        c.d.p2 = c.point(k);
        found = true;
        break;
      }
    if (!found) err("DefLoc", "can not happen <1>");
  } else {
    // The nearest heavy atom of the input list around the parent that is
    // not behind the hydrogen.
    run.nb.iprint = 0;
    const int k = first_in_distance_order(run, a1, 10.0f, [&](int j) {
      return c.z(j) != 1 && j <= run.atoms.natoms && angle(c, c.atom, a1, j) <= 170.0f &&
             off_axis_line(angle(c, a1, c.atom, j));
    });
    if (k > 0) {
      second_axis_to(c, a1, k, angle(c, c.atom, a1, k));
      found = true;
    }
    if (!found) {
      c.nothing_found(a1, 10.0f, kDummyAtOrigin);
      c.d.p2 = c.fixed_dummy(0.0f, &c.d.p1);
    }
  }
  if (run.opt.lfh == 1) extendh(run, a1, c.atom);
}

namespace {

// A linear atom: Z along the line, X towards the first atom off the line
// found within a radius growing from 2 to 10 Angstrom.
void linear(AxisContext& c, int a1, int a2) {
  c.d.rule = AxisRule::Linear;
  c.log() << ffmt("(/a)", {" LINEAR conformation !"});
  const int zatom = c.z(a2) == 1 ? a1 : a2;
  c.axes(Z, c.point(zatom), X, AxisPoint{});
  c.sym("cyl");
  float r = 2.0f;
  for (; r <= 10.0f; r += 0.5f) {
    findnei(c.run, c.atom, r);
    const std::vector<int> found = c.run.nb.neig.jnei;
    for (std::size_t n = 2; n < found.size(); ++n) {
      const int k = found[n];
      // An atom on the line itself (the far end of acetylene) gives no X.
      const float ang = angle(c, zatom, c.atom, k);
      if (off_axis_line(ang) && ang <= 160.0f) {
        second_axis_to(c, zatom, k, ang);
        return;
      }
    }
  }
  c.nothing_found(c.atom, 10.0f, kDummyAtOrigin);
  c.d.p2 = c.fixed_dummy(0.0f, &c.d.p1);
}

}  // namespace

void two_neighbours(AxisContext& c) {
  const int a1 = c.jnei(1), a2 = c.jnei(2);
  if (angle(c, a1, c.atom, a2) >= 170.0f) return linear(c, a1, a2);
  c.d.rule = AxisRule::Bent;
  c.log() << ffmt("(/a)", {" BENT conformation !"});
  if (c.pairs.size() == 1) {
    // Two equivalent neighbours: the twofold axis bisects them.
    c.axes(Z, midpoint_dummy(c, a1, a2), Y, c.point(a1));
    c.sym("mm2");
    return;
  }
  if (c.nh == 1)
    c.axes(X, c.point(a2), Y, c.point(a1));
  else
    c.axes(X, c.point(a1), Y, c.point(a2));
  c.sym("m");
}

void three_neighbours(AxisContext& c) {
  c.d.rule = AxisRule::ThreeNeighbours;
  const bool planar = c.run.db.lpg;
  const int npairs = static_cast<int>(c.pairs.size());
  if (npairs != 0 && npairs != 1 && npairs != 3)
    err("DefLoc", ffmt("(a,i4,a)", {" is = ", npairs, " is not valid..."}));
  c.d.case_label = 300 + (planar ? 0 : 10) + npairs;
  c.log() << ffmt("(/' Label = ',i5)", {c.d.case_label});
  const int a1 = c.jnei(1), a2 = c.jnei(2), a3 = c.jnei(3);
  switch (c.d.case_label) {
    case 300:
    case 310:
      c.first_two_sorted_axes();
      c.sym(planar ? "m" : "NO");
      return;
    case 301: {
      // Planar with two equivalent neighbours (carboxylate, nitro): the
      // twofold axis runs along the third bond.
      const auto& p = c.pairs[0];
      const int u = unpaired(c, p);
      AxisPoint zp = c.z(u) != 1 ? c.point(u) : midpoint_dummy(c, p.first, p.second);
      c.axes(Z, zp, X, c.point(p.first));
      c.sym("mm2");
      return;
    }
    case 303:
      c.axes(X, c.point(a1), Y, c.point(a2));
      c.sym("3m");
      return;
    case 311: {
      const auto& p = c.pairs[0];
      AxisPoint xp = midpoint_dummy(c, p.first, p.second);
      c.axes(X, xp, Y, c.point(unpaired(c, p)));
      c.sym("m");
      return;
    }
    default: {  // 312: pyramidal with three equivalent neighbours
      AxisPoint zp = dummy_point(c.run, centroid_dummy(c.run, {a1, a2, a3}));
      c.axes(Z, zp, X, c.point(a1));
      c.sym("3m");
      return;
    }
  }
}

void four_neighbours(AxisContext& c) {
  c.d.rule = AxisRule::FourNeighbours;
  const auto& pairs = c.pairs;
  switch (pairs.size()) {
    case 0:
      c.first_two_sorted_axes();
      c.sym("NO");
      return;
    case 1: {
      // One mirror through the two atoms that are not equivalent (CH2 between
      // two different groups).
      std::vector<int> rest;
      for (int k : c.run.nb.isn)
        if (!in_pair(pairs[0], k)) rest.push_back(k);
      c.axes(X, c.point(rest[0]), Y, c.point(rest[1]));
      c.sym("m");
      return;
    }
    case 2: {
      std::size_t p = 0;
      while (p < pairs.size() && c.z(pairs[p].first) == 1) ++p;
      if (p == pairs.size()) err("DefLoc", "4 neighbors: 2 + 2 case");
      const std::size_t other = p == 0 ? 1 : 0;
      AxisPoint zp = midpoint_dummy(c, pairs[p].first, pairs[p].second);
      c.axes(Z, zp, Y, c.point(pairs[other].first));
      c.sym("mm2");
      return;
    }
    case 3: {
      // Three equivalent neighbours: the threefold axis along the fourth bond.
      int lone = 0;
      for (int j : c.nb.jnei)
        if (std::none_of(pairs.begin(), pairs.end(), [&](const auto& q) { return in_pair(q, j); }))
          lone = j;
      c.axes(Z, c.point(lone), X, c.point(pairs[0].first));
      c.sym("3m");
      return;
    }
    default: {
      // Four equivalent neighbours (SiH4, NH4+, CCl4): Z bisects the first
      // two, Y towards the next. In a square-planar group the first two may
      // be trans, with their midpoint on the atom: the first with a cis
      // partner is bisected instead.
      int partner = 2;
      while (partner < 4 && rlength(vsub(midpoint(c.xc(c.jnei(1)), c.xc(c.jnei(partner))),
                                         c.xc(c.atom))) < kTooClose)
        ++partner;
      const int y = partner == 2 ? c.jnei(3) : c.jnei(2);
      AxisPoint zp = midpoint_dummy(c, c.jnei(1), c.jnei(partner));
      c.axes(Z, zp, Y, c.point(y));
      c.sym("-42m");
      return;
    }
  }
}

}  // namespace tesk
