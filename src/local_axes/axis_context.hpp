// The working state of one axis decision, shared by the rule files.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/local_axes_tables.hpp"
#include "model/run.hpp"

namespace tesk {

struct AxisContext {
  AxisContext(Run& r, int a) : run(r), atom(a), nb(r.nb.neighbors.at(a)) {}

  Run& run;
  int atom;
  const NeighbourRecord& nb;
  AxisDecision d;
  int nh = 0;                         // hydrogen neighbours
  bool self_disordered = false;
  bool neighbour_disordered = false;
  std::vector<std::pair<int, int>> pairs;  // equivalent neighbour pairs, jnei order

  Sink& log() { return run.out.log; }
  int jnei(int k) const { return nb.jnei[static_cast<std::size_t>(k - 1)]; }  // 1-based
  int isn(int k) const { return run.nb.isn[static_cast<std::size_t>(k - 1)]; }
  int z(int a) const { return run.atoms.at(a).iz; }
  const Vec3& xc(int a) const { return run.atoms.at(a).xc; }

  AxisPoint point(int a) const;
  // A dummy at x (fractional when `frac`), reused when one lies near.
  AxisPoint dummy(bool frac, const Vec3& x);
  // A dummy at the cell origin or centre, in the form dummies are stored in,
  // when that point makes a usable axis from the atom: off the atom, and off
  // the line of the other axis (`other`, when that axis is already chosen).
  // Otherwise (an ion at the origin, a linear molecule through it) a dummy
  // 1 Angstrom from the atom along the cartesian direction least in line
  // with the other axis, with a note on console and log.
  AxisPoint fixed_dummy(float at, const AxisPoint* other = nullptr);
  // The first of `candidates` other than x that is off the line of the axis
  // from the atom to x; 0 when none is.
  int off_line(int x, const std::vector<int>& candidates) const;
  // X to the first neighbour in type order, Y to the next one off its line
  // (an atom on a centre of symmetry has its second neighbour opposite the
  // first).
  void first_two_sorted_axes();
  void axes(AxisLetter first, const AxisPoint& p1, AxisLetter second, const AxisPoint& p2);
  void sym(const char* label);
  // "No neighbors of atom ... were found within" and the dummy note, on
  // console and log.
  void nothing_found(int about, float radius, const char* note);
};

// The general rules by neighbour count, once rings and the special cases
// have not decided.
void one_neighbour(AxisContext& c);
void one_neighbour_hydrogen(AxisContext& c);
void two_neighbours(AxisContext& c);
void three_neighbours(AxisContext& c);
void four_neighbours(AxisContext& c);

}  // namespace tesk
