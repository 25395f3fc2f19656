// Dummy atoms: named points without scattering power that a local axis may
// point at where no real atom lies in a suitable direction (ring centres,
// midpoints and centroids of equivalent neighbours, fixed points of the
// cell), and the replacement of symmetry-generated axis atoms, which the KQ
// master file cannot name, by dummies at their positions.
#pragma once

#include <string>
#include <vector>

#include "core/vec3.hpp"

namespace tesk {

struct Run;
struct AxisDecision;
struct AxisPoint;

// "DUM" followed by k without blanks (DUM1, DUM10, DUM100);
// err("DummyLab", "DUMMY label exceeds format...") for k of 1000 or more.
std::string dummylab(int k);

// A dummy atom at `x` (fractional when `frac`, else cartesian). With ifra 1
// the position is stored as fractional coordinates, with ifra 0 as given. A
// dummy already closer than 0.1 Angstrom (compared in cartesian space) is
// reused: its number comes back and no new one is made. Otherwise a new
// dummy, number ndum + 1.
int adddummyatom(Run& run, bool frac, const Vec3& x);

// Cartesian position of dummy k.
Vec3 dummy_xc(const Run& run, int k);

// An axis point at dummy k: its label (padded to 8), number and position.
AxisPoint dummy_point(const Run& run, int k);

// A dummy at the mean of the atoms' positions (fractional when ifra is 1,
// else cartesian).
int centroid_dummy(Run& run, const std::vector<int>& atoms);

// The centre dummy of ring r (1-based), made on first use at the mean of the
// ring atoms' positions (fractional when ifra is 1, else cartesian) and kept
// in the ring's rcent so that every atom of the ring shares it.
int ring_centre_dummy(Run& run, int r);

// Each axis point lying within 0.001 Angstrom of a symmetry-generated atom
// of the working list (natoms+1 .. nall) becomes a new dummy (no reuse test)
// at that atom's fractional coordinates, with a log line; generated atoms in
// ascending number, first axis point before the second.
void checksymeq(Run& run, AxisDecision& d);

}  // namespace tesk
