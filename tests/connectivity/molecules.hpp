// Small molecules built atom by atom for the connectivity tests: cartesian
// coordinates in Angstrom, the working list set to the atoms given.
#pragma once

#include <cmath>
#include <sstream>
#include <string>

#include "app/control_file.hpp"
#include "model/run.hpp"

namespace tesk::testing {

// A run with default options and radii whose log is captured.
struct MoleculeRun {
  Run run;
  std::ostringstream log;
  std::ostringstream console;

  MoleculeRun() {
    init(run);
    run.out.log.attach(log);
    run.out.console.attach(console);
  }

  int add(const std::string& label, int z, float x, float y, float zc, int flag = 0) {
    const int i = run.atoms.append("test");
    Atom& a = run.atoms.at(i);
    a.label = label + std::string(8 - label.size(), ' ');
    a.iz = z;
    a.xc = {x, y, zc};
    a.flag = flag;
    a.occ = 1.0f;
    run.atoms.natoms = i;
    run.cryst.nall = i;
    return i;
  }

  void rings(int smallest, int largest) {
    run.opt.rings_flag = 1;
    run.opt.ring1 = {smallest, largest, 0};
  }
};

// Corners of a regular hexagon of unit radius, the first on the x axis.
inline constexpr float kHexagon[6][2] = {{1.0f, 0.0f},   {0.5f, 0.866f},   {-0.5f, 0.866f},
                                         {-1.0f, 0.0f}, {-0.5f, -0.866f}, {0.5f, -0.866f}};

// A benzene ring of radius r in the xy plane, carbons labelled from
// `first`; with h > 0 hydrogens H1..H6 at h outwards, listed before the
// carbons when `h_first`.
inline void add_benzene(MoleculeRun& m, float r = 1.39f, float h = 0.0f, bool h_first = false,
                        int first = 1) {
  auto hydrogens = [&] {
    for (int i = 0; i < 6; ++i)
      m.add("H" + std::to_string(i + 1), 1, (r + h) * kHexagon[i][0], (r + h) * kHexagon[i][1], 0);
  };
  if (h > 0.0f && h_first) hydrogens();
  for (int i = 0; i < 6; ++i)
    m.add("C" + std::to_string(first + i), 6, r * kHexagon[i][0], r * kHexagon[i][1], 0);
  if (h > 0.0f && !h_first) hydrogens();
}

}  // namespace tesk::testing
