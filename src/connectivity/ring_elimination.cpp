// Elimination of open atoms before the ring walk: an atom with fewer than
// two connections cannot lie on a ring; removing it may open its neighbour,
// so the elimination repeats in cycles until a cycle removes nothing.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "connectivity/rings.hpp"
#include "core/cell_grid.hpp"
#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "structure/cell.hpp"
#include "model/elements.hpp"

namespace tesk {
namespace {

bool finite_point(const Vec3& x) {
  return std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2]);
}

// Every pair of atoms 1..n within the bond limit (covalent radius + radius
// + tol1, further for a metal and its donor atoms; the limit included), per
// atom (index a-1) in ascending atom number, as a scan over all pairs finds
// them.
std::vector<std::vector<int>> contacts(const Run& run, int n) {
  std::vector<std::vector<int>> adj(static_cast<std::size_t>(n));
  float rmax = 0.0f;
  for (int a = 1; a <= n; ++a) rmax = std::max(rmax, bond_radius(run, run.atoms.at(a).iz));
  const float cut = rmax + rmax + run.opt.tol1() + kCoordinationReach;
  if (n == 0 || !(cut >= 0.0f)) return adj;

  // Atoms with a non-finite coordinate stay out of the grid: their distances
  // compare false against any limit. The slack on the reach covers rounding
  // of the single-precision distance.
  const float reach = cut * 1.001f + 1e-3f;
  CellGrid grid(reach);
  grid.bound_to_points(static_cast<std::size_t>(n), [&](std::size_t a) -> const Vec3& {
    return run.atoms.at(static_cast<int>(a) + 1).xc;
  });
  for (int a = 1; a <= n; ++a)
    if (finite_point(run.atoms.at(a).xc)) grid.insert(a, run.atoms.at(a).xc);
  std::vector<int> near;
  for (int a = 1; a <= n; ++a) {
    const Vec3& xa = run.atoms.at(a).xc;
    if (!finite_point(xa)) continue;
    const int za = run.atoms.at(a).iz;
    auto& list = adj[static_cast<std::size_t>(a - 1)];
    near.clear();
    grid.collect(xa, reach, near);
    for (int b : near)
      if (b != a && dist(xa, run.atoms.at(b).xc) <= bond_limit(run, za, run.atoms.at(b).iz))
        list.push_back(b);
    std::sort(list.begin(), list.end());
  }
  return adj;
}

// The elimination cycles worked on the full connectivity, found once: an
// atom's count in a cycle is the number of its connections to atoms still
// in the list, so after each cycle only the neighbours of the removed atoms
// need recounting, and only those that fell below two can go next.
struct Elimination {
  std::vector<std::vector<int>> adj;  // per atom (index a-1), ascending
  std::vector<char> disordered;       // flag -1: no connections of its own
  std::vector<int> count;             // connections within the current list
  std::vector<char> kept;
  std::vector<int> next;              // atoms whose count fell below two
  int listcount = 0;
};

// A disordered atom gets no connections, though others may connect to it.
std::vector<std::vector<int>> cycle0_table(const Elimination& el) {
  std::vector<std::vector<int>> icon(el.adj.size());
  for (std::size_t i = 0; i < el.adj.size(); ++i)
    if (!el.disordered[i]) icon[i] = el.adj[i];
  return icon;
}

[[noreturn]] void too_many_connections(std::string label) {
  while (!label.empty() && label.back() == ' ') label.pop_back();
  err("Connect4Rings", "Too many connections (maxcon) to atom " + label);
}

// One elimination cycle; returns the number of atoms kept.
int eliminate(Run& run, Elimination& el, int cycle) {
  std::vector<int> removed;
  if (cycle == 0) {
    const int n = static_cast<int>(el.adj.size());
    for (int a = 1; a <= n; ++a) {
      const auto i = static_cast<std::size_t>(a - 1);
      el.count[i] = el.disordered[i] ? 0 : static_cast<int>(el.adj[i].size());
      if (el.count[i] > kMaxConnections)
        too_many_connections(run.atoms.at(a).label);
      if (el.count[i] < 2) removed.push_back(a);
    }
    if (run.verbosity() > 2) {
      std::vector<int> all(static_cast<std::size_t>(n));
      for (int a = 1; a <= n; ++a) all[static_cast<std::size_t>(a - 1)] = a;
      writeconn(run, all, cycle0_table(el));
    }
  } else {
    removed.swap(el.next);
    std::sort(removed.begin(), removed.end());
  }
  el.next.clear();
  for (int r : removed) el.kept[static_cast<std::size_t>(r - 1)] = 0;
  for (int r : removed) {
    for (int a : el.adj[static_cast<std::size_t>(r - 1)]) {
      const auto i = static_cast<std::size_t>(a - 1);
      if (!el.kept[i] || el.disordered[i]) continue;
      if (--el.count[i] == 1) el.next.push_back(a);
    }
  }
  return el.listcount - static_cast<int>(removed.size());
}

void write_reduced_files(const Run& run) {
  const auto& newat = run.ringsearch.newat;
  Sink plain;
  Sink numbered;
  plain.open_or_stop("reduced.ang", "Connect4Rings");
  numbered.open_or_stop("reduced_1.ang", "Connect4Rings");
  plain << "ANGSTROM\n";
  numbered << "ANGSTROM\n";
  for (std::size_t p = 0; p < newat.size(); ++p) {
    const Atom& at = run.atoms.at(newat[p]);
    plain << ffmt("('ATOM ',a8,3f12.4)", {at.label, at.xc[0], at.xc[1], at.xc[2]});
    // Element symbol and list position: unique, short labels, written
    // left-aligned in the eight columns.
    std::string label = atsym(at.iz) + std::to_string(p + 1);
    std::erase(label, ' ');
    label = fixed_width(label, 8);
    numbered << ffmt("('ATOM ',a8,3f12.4)", {label, at.xc[0], at.xc[1], at.xc[2]});
  }
  plain.close();
  numbered.close();
}

}  // namespace

void writeconn(Run& run, const std::vector<int>& newat,
               const std::vector<std::vector<int>>& icon) {
  for (std::size_t p = 0; p < newat.size(); ++p) {
    std::vector<FArg> items{static_cast<int>(p + 1), run.atoms.at(newat[p]).label};
    for (int q : icon[p]) items.emplace_back(run.atoms.at(newat[static_cast<std::size_t>(q - 1)]).label);
    run.out.log << ffmt("(i7,1x,a8,' -',10(1x,a8))", items);
  }
}

void connect4rings(Run& run) {
  const int n = run.cryst.nall;
  Elimination el;
  el.adj = contacts(run, n);
  el.disordered.resize(static_cast<std::size_t>(n));
  for (int a = 1; a <= n; ++a) el.disordered[static_cast<std::size_t>(a - 1)] = run.atoms.at(a).flag == -1;
  el.count.assign(static_cast<std::size_t>(n), 0);
  el.kept.assign(static_cast<std::size_t>(n), 1);
  el.listcount = n;

  run.out.log << ffmt("(/80a)", std::vector<FArg>(80, FArg("-")));
  run.both(ffmt("(/' CREATING CONNECTIVITY TABLE AND ELIMINATING OPEN ATOMS')"));
  for (int cycle = 0;; ++cycle) {
    run.both(ffmt("(/' **** ELIMINATION CYCLE =',i5,5x,'NUMBER OF ATOMS =',i7)",
                  {cycle, el.listcount}));
    const int nkept = eliminate(run, el, cycle);
    const int nremoved = el.listcount - nkept;
    run.both(ffmt("(8x,'NUMBER OF ATOMS REMOVED FROM THE TABLE = ',i7)", {nremoved}));
    el.listcount = nkept;
    if (nremoved == 0) break;
  }

  // The list and connectivity of the last cycle, in list positions.
  auto& rs = run.ringsearch;
  rs.newat.clear();
  std::vector<int> position(static_cast<std::size_t>(n), 0);
  for (int a = 1; a <= n; ++a) {
    if (!el.kept[static_cast<std::size_t>(a - 1)]) continue;
    rs.newat.push_back(a);
    position[static_cast<std::size_t>(a - 1)] = rs.count();
  }
  rs.icon.assign(rs.newat.size(), {});
  for (std::size_t p = 0; p < rs.newat.size(); ++p) {
    for (int b : el.adj[static_cast<std::size_t>(rs.newat[p] - 1)]) {
      const int q = position[static_cast<std::size_t>(b - 1)];
      if (q > 0) rs.icon[p].push_back(q);
    }
  }

  if (run.verbosity() > 1) {
    run.out.log << ffmt("(/a)", {" CONNECTIVITY TABLE AFTER THE FINAL ELIMINATION CYCLE :"});
    writeconn(run, rs.newat, rs.icon);
  }
  write_reduced_files(run);
}

}  // namespace tesk
