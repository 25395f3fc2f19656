// The run context: every table of one run, owned in one place and passed by
// reference to each stage.
#pragma once

#include <array>
#include <string>

#include "model/neighbour_table.hpp"
#include "model/ring_table.hpp"
#include "core/line_reader.hpp"
#include "model/options.hpp"
#include "core/sink.hpp"
#include "model/databank_tables.hpp"
#include "model/elements.hpp"
#include "model/atom_table.hpp"
#include "model/cell_symmetry.hpp"
#include "model/fragment_table.hpp"
#include "model/local_axes_tables.hpp"
#include "model/shelx_records.hpp"
#include "model/xh_tables.hpp"

namespace tesk {

// Output files of a run. Each is a Sink: closed until the driver opens it.
struct OutputFiles {
  Sink console;    // standard output
  Sink log;        // tesk.out
  Sink kqmas;      // kq_tesk.mas
  Sink kqinp;      // kq_tesk.inp
  Sink conmopro;   // con_mopro.inp
  Sink mopropar;   // mopro_tesk.par
  Sink resetbond;  // reset.bond
  Sink constbond;  // const.bond
  Sink resmopro;   // res_mopro.inp
  Sink spf;        // tesk.spf
  Sink fixedh;     // fixedH.ins
};

struct Run {
  Options opt;
  OutputFiles out;
  LineExtract lx;                   // keyword record of the last scan
  std::array<float, kMaxRadiusZ + 1> covrad{};  // covalent radii by atomic number (RADII may change them)

  AtomTable atoms;
  AtomTypes types;
  int nsft = 0;
  UnitCell ucell;
  Transf transf;
  Symmetry symm;
  Shelx1 shelx1;
  Resi1 resi1;
  Cryst cryst;
  NeighbourState nb;
  RingTable rings;
  RingSearchState ringsearch;
  DatabankState db;
  LocalAxesState axes;
  XhState xh;

  // Writes the same text to the log and then the console.
  void both(const std::string& text) { out.log << text; out.console << text; }
  // Console first, then log.
  void both_console_first(const std::string& text) { out.console << text; out.log << text; }
  int verbosity() const { return opt.verbosity; }
};

// The covalent radius the bond criterion uses for atomic number z. Elements
// without a tabulated radius (z 0, Cs, Ba and z above 96) count as 0.0 Angstrom, so
// they bond only within the tolerance plus their partner's radius.
inline float bond_radius(const Run& run, int z) {
  if (z < 1 || z >= static_cast<int>(run.covrad.size())) return 0.0f;
  return run.covrad[static_cast<std::size_t>(z)];
}

// The radii held for the 3d and 4d metals (Sc-Zn, Y-Cd) are single-bond
// metallic radii, 1.15-1.45 Angstrom, made for metal-metal bonds. A metal's
// bonds to the donor atoms of its ligands are longer: high-spin M(II)-OH2
// is 2.08-2.22 Angstrom (Mohr's salt Fe-O 2.08-2.14, Mn-O 2.17-2.22), while
// radius + radius + 0.2 stops at 2.10 and cuts coordination octahedra in
// two. Radii fitted to metal-ligand distances (Cordero et al., Dalton Trans.
// 2008, 2832) are 0.1-0.45 Angstrom larger than these. Bonds between such a
// metal and a non-metal donor (B, C, N, O, F, Si, P, S, Cl, As, Se, Br, Te,
// I) reach this much further; second-shell contacts (M...O of a
// neighbouring ligand, 2.9 Angstrom and beyond) stay out.
constexpr float kCoordinationReach = 0.3f;

inline bool coordination_pair(int zi, int zj) {
  auto metal = [](int z) { return (z >= 21 && z <= 30) || (z >= 39 && z <= 48); };
  auto donor = [](int z) {
    switch (z) {
      case 5: case 6: case 7: case 8: case 9: case 14: case 15: case 16:
      case 17: case 33: case 34: case 35: case 52: case 53:
        return true;
      default:
        return false;
    }
  };
  return (metal(zi) && donor(zj)) || (metal(zj) && donor(zi));
}

// The longest distance at which atoms of atomic numbers zi and zj are
// bonded (the limit itself included).
inline float bond_limit(const Run& run, int zi, int zj) {
  return bond_radius(run, zi) + bond_radius(run, zj) + run.opt.tol1() +
         (coordination_pair(zi, zj) ? kCoordinationReach : 0.0f);
}

}  // namespace tesk
