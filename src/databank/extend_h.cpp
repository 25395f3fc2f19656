// X-ray diffraction sees the hydrogen's electron pulled into the X-H bond,
// so refined X-H bonds come out 0.1-0.2 Angstrom short. Each hydrogen is moved
// along its bond to the neutron-diffraction length of its chemical group, and
// the new length goes out as RESET BOND, KQ CON and MoPro restraint lines.
#include "databank/extend_h.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "connectivity/neighbours.hpp"
#include "connectivity/planes.hpp"
#include "connectivity/rings.hpp"
#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "databank/group_rules.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"
#include "structure/labels.hpp"

namespace tesk {

namespace {

using groups::C;
using groups::N;
using groups::O;
using groups::S;

constexpr std::string_view kGroupLine =
    "(3x,'X-H group : ',a,'-',a,' >',2x,a,a,f7.3,' /',f7.3,       ' Angstroms')";

// A standard X-H length and the name the log gives the group; no name when
// the group is not in the table.
struct XhKind {
  std::string_view label;
  float d0 = 0.0f;
};

const NeighbourRecord& nb(const Run& run, int a) { return run.nb.neighbors.at(a); }
int z(const Run& run, int a) { return run.atoms.at(a).iz; }
bool in_planar_ring(const Run& run, int a) { return groups::in_planar_ring(isitcyclic(run, a)); }

// Carbon: sp3 by the number of hydrogens and whether any heteroatom is
// bonded; sp2 by whether the C-H sits on a planar (aromatic) ring.
XhKind carbon_h(const Run& run, int x, int nnei, int nh) {
  const bool ch_only = groups::only_h_or_c(nb(run, x));
  if (nnei == 4) {
    switch (nh) {
      case 3: return ch_only ? XhKind{"C-C-H3", 1.077f} : XhKind{"X-C-H3", 1.077f};
      case 2: return ch_only ? XhKind{"C2-C-H2", 1.092f} : XhKind{"X2-C-H2", 1.091f};
      case 1: return ch_only ? XhKind{"C3-C-H", 1.099f} : XhKind{"X3-C-H", 1.098f};
      default: return {};
    }
  }
  if (nnei == 3) {
    if (nh == 1 && in_planar_ring(run, x)) return {"aromatic C-H", 1.083f};
    return {"C-C=C-H", 1.082f};
  }
  return {};
}

bool has_terminal_oxygen(const Run& run, int c) {
  for (int j : nb(run, c).jnei)
    if (z(run, j) == O && nb(run, j).nnei == 1) return true;
  return false;
}

// NH2 in the plane of its neighbours, by the carbon c it hangs on (0: none).
// Carbons with four neighbours and heteroatom-bound NH2 have entries of their
// own in the table.
XhKind planar_nh2(const Run& run, int c) {
  if (c == 0) return {"X-N-H2pl", 1.015f};
  const int cn = nb(run, c).nnei;
  if (cn == 4) return {"Csp3-N-H2pl", 1.002f};
  if (cn != 3) return {};
  if (in_planar_ring(run, c)) return {"C(ar)-N-H2pl", 1.010f};
  if (has_terminal_oxygen(run, c)) return {"C-N-H2 amido", 1.010f};
  return {"C-N-H2pl", 1.012f};
}

XhKind pyramidal_nh2(const Run& run, int c) {
  if (c == 0 || nb(run, c).nnei != 3) return {};
  if (in_planar_ring(run, c)) return {"C(ar)-N-H2py", 1.024f};
  return {"X-N-H2", 1.015f};
}

XhKind nitrogen_h(Run& run, int x, int nnei, int nh) {
  if (nnei == 4) return {"N+-H", 1.036f};
  if (nnei != 3) return {};
  const NeighbourRecord& r = nb(run, x);
  if (nh == 1) {
    int sp2_carbons = 0;
    for (int j : r.jnei)
      if (z(run, j) == C && nb(run, j).nnei == 3) ++sp2_carbons;
    return sp2_carbons == 2 ? XhKind{"C2-N-H", 1.030f} : XhKind{"X2-N-H", 1.027f};
  }
  if (nh != 2) return {};
  int c = 0;  // the last carbon in neighbour order
  for (int j : r.jnei)
    if (z(run, j) == C) c = j;
  const bool flat = planarity(run, false, collectnei(run, x), kGroupMode) == 1;
  return flat ? planar_nh2(run, c) : pyramidal_nh2(run, c);
}

// Y-O-H with Y a carbon: phenol, alcohol, acid or ester-like by the oxygens
// on Y.
XhKind carbon_hydroxyl(const Run& run, int x, int y, int y_oxygens) {
  const NeighbourRecord& yr = nb(run, y);
  if (y_oxygens == 1) {
    if (in_planar_ring(run, y)) return {"O-H in phenol", 0.992f};
    if (yr.nnei != 4) return {"C-O-H any", 0.98f};
    return {"Csp3-O-H in alcohol", 0.97f};
  }
  if (y_oxygens != 2) return {};
  int other = groups::member(yr, O, 0);
  if (other == x) other = groups::member(yr, O, 1);
  if (other == 0) err("ExtendH", "Error 2 in Y-O-H");
  return nb(run, other).nnei == 1 ? XhKind{"O-H in acid", 1.018f} : XhKind{"O-H in ether", 0.98f};
}

// Y is the oxygen's partner other than the hydrogen, which is the second
// neighbour whenever the hydrogen is the nearer one.
XhKind oxygen_h(const Run& run, int x, int h, int nnei, int nh) {
  if (nnei != 2) return {};
  if (nh == 2) return {"water", 0.9584f};
  if (nh != 1) return {};
  const int y = groups::other_neighbour(nb(run, x), h);
  const int y_oxygens = groups::count_of(nb(run, y), O);
  if (y_oxygens == 0) err("ExtendH", "Error 1 in Y-O-H");
  if (z(run, y) == C) return carbon_hydroxyl(run, x, y, y_oxygens);
  if (y_oxygens == 3 || y_oxygens == 4) return {"O-H in Pacid", 1.015f};
  return {"X-OH", 0.983f};
}

void group_line(Run& run, int x, int h, std::initializer_list<FArg> tail) {
  std::vector<FArg> items{run.atoms.at(x).label, run.atoms.at(h).label};
  items.insert(items.end(), tail.begin(), tail.end());
  run.out.log << ffmt(kGroupLine, items);
}

// RESET BOND in columns 1-10, the bond from column 13 on.
void reset_bond_line(Run& run, int x, int h, float d) {
  std::string line = "RESET BOND  ";
  line += ffmt_text("(a,' ',a,f6.3)", {run.atoms.at(x).label, run.atoms.at(h).label, d});
  run.out.resetbond << trim_right(line) << "\n";
}

// A MoPro name from the residue table; a symmetry copy answers with the
// name of the atom it was made from, whose label it carries too.
std::string residue_name(const Run& run, int a) {
  const auto& isq = run.cryst.isq;
  const std::size_t i = static_cast<std::size_t>(a - 1);
  if (i < isq.size() && isq[i] > 0) a = isq[i];
  const auto& names = run.resi1.resshort;
  const std::size_t row = static_cast<std::size_t>(a - 1);
  return row < names.size() ? names[row] : std::string(10, ' ');
}

// The DISTAN restraint to res_mopro.inp and the hydrogen's URATIO line for
// the MoPro writer: the hydrogen's U is tied to its parent's.
void mopro_lines(Run& run, int x, int h, float d, float ratio) {
  std::string uratio = "URATIO      ";
  if (run.resi1.resflag == 1) {
    const std::string xn = residue_name(run, x), hn = residue_name(run, h);
    run.out.resmopro << ffmt("(A,A,2X,A,1X,f6.3,2X,A)", {"DISTAN   ", xn, hn, d, "0.001"});
    uratio += ffmt_text("(A,2X,A,1X,f6.1,2X,A)", {xn, hn, ratio, "0.01"});
  } else {
    const std::string xn = erbras(run.atoms.at(x).label), hn = erbras(run.atoms.at(h).label);
    run.out.resmopro << ffmt("(A,A5,1X,I1,2X,A5,1X,I1,1X,f6.3,1X,A)",
                             {"DISTAN   ", xn, 1, hn, 1, d, "0.001"});
    uratio += ffmt_text("(A5,1X,I1,2X,A5,1X,I1,1X,f6.1,1X,A)", {xn, 1, hn, 1, ratio, "0.01"});
  }
  auto& cons = run.xh.cons;
  if (cons.size() < static_cast<std::size_t>(run.atoms.size()))
    cons.resize(static_cast<std::size_t>(run.atoms.size()), std::string(100, ' '));
  cons.at(static_cast<std::size_t>(h - 1)) = fixed_width(uratio, 100);
}

// KQ constraints that shift the hydrogen with its parent, one per axis.
void con_lines(Run& run, int x, int h, float d) {
  run.out.constbond << ffmt("('!',/,'! ',a,' - ',a,' = ',f9.3,' Angstroms',/,'!')",
                            {run.atoms.at(x).label, run.atoms.at(h).label, d});
  for (const char* axis : {"X", "Y", "Z"}) {
    const std::string px = axis + ("/" + std::to_string(x));
    const std::string ph = axis + ("/" + std::to_string(h));
    run.out.constbond << trim_right(ffmt_text("('CON 1 ',a,' -1 ',a,' = 0')", {px, ph})) << "\n";
  }
}

// U(H) / U(X): 1.2 for a hydrogen riding on carbon, 1.5 on N, O and S,
// whose X-H groups librate more freely.
float uratio_of(int zx) { return zx == C ? 1.2f : 1.5f; }

// What happened to the hydrogen, kept for the run's report.
void keep_extension(Run& run, int parent, int h, std::string_view group, float after) {
  auto& all = run.xh.extension;
  const auto i = static_cast<std::size_t>(h - 1);
  if (all.size() <= i) all.resize(std::max(i + 1, static_cast<std::size_t>(run.atoms.natoms)));
  const float now = dist(run.atoms.at(parent).xc, run.atoms.at(h).xc);
  all[i] = {true, std::string(group), after < 0.0f ? now : after, now};
}

}  // namespace

float extendbond(const Vec3& x, Vec3& h, float d0) {
  const Vec3 v{h[0] - x[0], h[1] - x[1], h[2] - x[2]};
  const float dold = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  for (std::size_t k = 0; k < 3; ++k) h[k] = x[k] + v[k] * d0 / dold;
  return dold;
}

void extendh(Run& run, int parent, int h) {
  run.nb.iprint = 0;
  if (run.atoms.at(h).flag == -1 && run.opt.disorder[0] != 1) {
    group_line(run, parent, h, {"H-ATOM IS DISORDERED"});
    keep_extension(run, parent, h, "H-ATOM IS DISORDERED", -1.0f);
    return;
  }
  run.out.log << ffmt("(/3a)", {" Trying to extend hydrogen ", run.atoms.at(h).label,
                                " to standard distance :"});
  const auto [nnei, zx, nh] = run.db.forh.at(static_cast<std::size_t>(h - 1));
  XhKind kind;
  switch (zx) {
    case C: kind = carbon_h(run, parent, nnei, nh); break;
    case N: kind = nitrogen_h(run, parent, nnei, nh); break;
    case O: kind = oxygen_h(run, parent, h, nnei, nh); break;
    case S: kind = {"S-H", 1.338f}; break;
    default:
      group_line(run, parent, h, {"DON'T KNOW HOW TO HANDLE"});
      keep_extension(run, parent, h, "DON'T KNOW HOW TO HANDLE", -1.0f);
      return;
  }

  float d = 0.0f;
  if (!kind.label.empty()) {
    Vec3 xh = run.atoms.at(h).xc;
    const float dold = extendbond(run.atoms.at(parent).xc, xh, kind.d0);
    set_atom_xc(run, h, xh);
    if (run.opt.ifra == 1) run.atoms.at(h).xf = rabs(run.transf, 1, xh);
    group_line(run, parent, h, {kind.label, " =", dold, kind.d0});
    keep_extension(run, parent, h, kind.label, dold);
    findnei(run, parent, 0.0f);
    d = kind.d0;
  } else {
    group_line(run, parent, h, {"NOT IDENTIFIED"});
    keep_extension(run, parent, h, "NOT IDENTIFIED", -1.0f);
    d = dist(run.atoms.at(parent).xc, run.atoms.at(h).xc);
  }
  reset_bond_line(run, parent, h, d);
  mopro_lines(run, parent, h, d, uratio_of(zx));
  con_lines(run, parent, h, d);
}

}  // namespace tesk
