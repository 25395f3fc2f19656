// Small molecules built atom by atom for the connectivity tests: cartesian
// coordinates in Angstrom, the working list set to the atoms given.
#pragma once

#include <cmath>
#include <sstream>
#include <string>

#include "control/control_file.hpp"
#include "control/run.hpp"

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

// A regular hexagon of carbons C1..C6 (radius r, in the xy plane, C1 on
// the x axis) and, when h > 0, hydrogens H1..H6 at distance h outwards.
inline void add_benzene(MoleculeRun& m, float r = 1.39f, float h = 0.0f) {
  for (int i = 0; i < 6; ++i) {
    const float a = static_cast<float>(i) * 1.0471976f;
    m.add("C" + std::to_string(i + 1), 6, r * std::cos(a), r * std::sin(a), 0.0f);
  }
  if (h <= 0.0f) return;
  for (int i = 0; i < 6; ++i) {
    const float a = static_cast<float>(i) * 1.0471976f;
    m.add("H" + std::to_string(i + 1), 1, (r + h) * std::cos(a), (r + h) * std::sin(a), 0.0f);
  }
}

}  // namespace tesk::testing
