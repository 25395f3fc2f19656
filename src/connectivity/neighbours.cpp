// Bonded-neighbour search: the raw distance search of one atom, the grouping
// of its neighbours by element, the full pass over the working list with the
// order the axis rules rely on, and the printouts.
#include "connectivity/neighbours.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "structure/cell.hpp"
#include "structure/complete_fragments.hpp"

namespace tesk {

namespace {

// Cell edge of the search grid: the longest bond the atoms can form, and no
// less than 2 Angstrom so that radius searches of several Angstrom visit a
// modest number of cells.
// The atoms closer than samexyz to `atom` (itself excluded), ascending.
std::vector<int> twins_of(const Run& run, const SearchGrid& sg, int atom) {
  std::vector<int> near, twins;
  const Vec3& x = run.atoms.at(atom).xc;
  sg.grid.collect(x, kSameXyz * 1.0001f + 1.0e-4f, near);
  for (int k : near)
    if (k != atom && dist(x, run.atoms.at(k).xc) < kSameXyz) twins.push_back(k);
  std::sort(twins.begin(), twins.end());
  twins.erase(std::unique(twins.begin(), twins.end()), twins.end());
  return twins;
}

SearchGrid& search_grid(Run& run) {
  SearchGrid& sg = run.nb.search;
  const int nall = run.cryst.nall;
  if (sg.count == nall) return sg;
  float maxrad = 0.0f;
  for (int j = 1; j <= nall; ++j) maxrad = std::max(maxrad, bond_radius(run, run.atoms.at(j).iz));
  float longest = maxrad + maxrad + run.opt.tol1() + kCoordinationReach;
  sg.grid.reset(std::max(longest, 2.0f));
  sg.grid.bound_to_points(static_cast<std::size_t>(nall),
                          [&](std::size_t j) -> const Vec3& { return run.atoms.at(static_cast<int>(j) + 1).xc; });
  for (int j = 1; j <= nall; ++j) sg.grid.insert(j, run.atoms.at(j).xc);
  sg.count = nall;
  sg.maxrad = maxrad;
  sg.twins.assign(static_cast<std::size_t>(nall), {});
  for (int j = 1; j <= nall; ++j) sg.twins[static_cast<std::size_t>(j - 1)] = twins_of(run, sg, j);
  sg.accepted.assign(static_cast<std::size_t>(nall) + 1, 0);
  sg.search = 0;
  return sg;
}

// Atoms that are never bonded whatever their distance. Where the file names
// disorder parts, the parts decide; between two atoms it gives no part for,
// two disordered atoms of different occupancy belong to different disorder
// components.
bool never_bonded(const Run& run, int i, int j) {
  const Atom& a = run.atoms.at(i);
  const Atom& b = run.atoms.at(j);
  if (a.part == 0 && b.part == 0)
    return a.flag == -1 && b.flag == -1 && std::fabs(a.occ - b.occ) > 0.01f;
  return !parts_allow_bond(a, run.cryst.image_of(i), b, run.cryst.image_of(j));
}

[[noreturn]] void too_many_found(Run& run, int atom, float rmax) {
  run.both_console_first(ffmt("(/a,i8,2x,a/a,f12.3/a,i6,a/)",
                              {" GetNei :: atom = ", atom, run.atoms.at(atom).label,
                               "           rmax = ", rmax,
                               "           inei exceeds dimension maxnei ( ",
                               kMaxSearchNeighbours, " )"}));
  stop_run("GetNei");
}

// Types in ascending atomic number, members in the order met (distance).
void group_by_element(const Run& run, NeighbourRecord& n) {
  n.ntyp = 0;
  n.ztyp.clear();
  n.ntnei.clear();
  n.tnei.clear();
  for (int j : n.jnei) {
    int z = run.atoms.at(j).iz;
    auto t = std::find(n.ztyp.begin(), n.ztyp.end(), z);
    if (t != n.ztyp.end()) {
      auto k = static_cast<std::size_t>(t - n.ztyp.begin());
      n.tnei[k].push_back(j);
      ++n.ntnei[k];
    } else {
      n.ztyp.push_back(z);
      n.ntnei.push_back(1);
      n.tnei.push_back({j});
      ++n.ntyp;
    }
  }
  std::vector<int> order(n.ztyp.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return n.ztyp[static_cast<std::size_t>(a)] < n.ztyp[static_cast<std::size_t>(b)];
  });
  NeighbourRecord sorted = n;
  for (std::size_t k = 0; k < order.size(); ++k) {
    auto from = static_cast<std::size_t>(order[k]);
    sorted.ztyp[k] = n.ztyp[from];
    sorted.ntnei[k] = n.ntnei[from];
    sorted.tnei[k] = n.tnei[from];
  }
  n = std::move(sorted);
}

std::vector<FArg> labels_of(const Run& run, const std::vector<int>& atoms) {
  std::vector<FArg> items;
  for (int j : atoms) items.emplace_back(run.atoms.at(j).label);
  return items;
}

void print_search(Run& run, int atom, float rmax, int disordered) {
  const NeighbourRecord& n = run.nb.neig;
  Sink& log = run.out.log;
  const std::string& label = run.atoms.at(atom).label;
  if (rmax <= 0.0f)
    log << ffmt("(/1x,'Covalently-bonded neighbors to ',a,' = ',i4,/)", {label, n.nnei});
  else
    log << ffmt("(/1x,'Neighbors of ',a,' within ',f7.3,' Ang = ',i4,/)", {label, rmax, n.nnei});
  log << ffmt("(5x,'i',7x,'n',5x,'r(Ang)',4x,'atom',7x,'occ')");
  for (int k = 0; k < n.nnei; ++k) {
    const Atom& a = run.atoms.at(n.jnei[static_cast<std::size_t>(k)]);
    log << ffmt("(i6,i8,2x,f9.3,4x,a,2x,f7.4)", {k + 1, n.jnei[static_cast<std::size_t>(k)],
                                                 n.dnei[static_cast<std::size_t>(k)], a.label,
                                                 a.occ});
  }
  if (disordered == 1) log << ffmt("(/4x,'Note : at least 1 neighbor is disordered')");
  if (run.verbosity() < 2) return;
  log << ffmt("(/4x,a,i4,a)", {"There is(are) ", n.ntyp, " atom type(s) among neighbors"});
  for (int t = 0; t < n.ntyp; ++t) {
    auto k = static_cast<std::size_t>(t);
    log << ffmt("(/4x,a,i4)", {"Type = ", t + 1});
    log << ffmt("( 4x,a,i4)", {"  atomic number = ", n.ztyp[k]});
    log << ffmt("( 4x,a,i4)", {"  neighbors of this type = ", n.ntnei[k]});
    log << ffmt("( 6x,'atoms : ', 6(a,1x), 100(/,14x,6(a,1x)) )", labels_of(run, n.tnei[k]));
  }
}

float distance_from(const NeighbourRecord& rec, int member) {
  for (std::size_t k = 0; k < rec.jnei.size(); ++k)
    if (rec.jnei[k] == member) return rec.dnei[k];
  return 0.0f;
}

// An atom's members of one element: fewest own neighbours first (the
// "hybridization" of the partner), then nearest first.
void order_members(Run& run, int atom) {
  NeighbourTable& table = run.nb.neighbors;
  NeighbourRecord& rec = table.at(atom);
  for (auto& members : rec.tnei) {
    std::stable_sort(members.begin(), members.end(), [&](int a, int b) {
      int na = table.at(a).nnei;
      int nb = table.at(b).nnei;
      if (na != nb) return na < nb;
      return distance_from(rec, a) < distance_from(rec, b);
    });
  }
}

void print_sorted_record(Run& run, int atom) {
  const NeighbourTable& table = run.nb.neighbors;
  const NeighbourRecord& rec = table.at(atom);
  run.out.log << ffmt("(/a,i6,3a)", {" Atom # ", atom, " = ", run.atoms.at(atom).label, " :"});
  for (int t = rec.ntyp - 1; t >= 0; --t) {
    for (int m : rec.tnei[static_cast<std::size_t>(t)]) {
      const Atom& a = run.atoms.at(m);
      run.out.log << ffmt("(5x,2i4,f11.3,i8,3x,a)",
                          {a.iz, table.at(m).nnei, distance_from(rec, m), m, a.label});
    }
  }
}

}  // namespace

void getnei(Run& run, int atom, float rmax, int& disordered) {
  NeighbourRecord& n = run.nb.neig;
  n.clear();
  disordered = 0;
  const Atom& ai = run.atoms.at(atom);
  const float tol1 = run.opt.tol1();
  const float ri = bond_radius(run, ai.iz);
  SearchGrid& sg = search_grid(run);
  if (++sg.search == 0) {  // the counter wrapped: forget every old mark
    std::fill(sg.accepted.begin(), sg.accepted.end(), 0u);
    sg.search = 1;
  }
  float reach = rmax > 0.0f ? rmax : ri + sg.maxrad + tol1 + kCoordinationReach;

  // The distance tests do not depend on the order; only the same-site test
  // does (the lower atom number wins), so it runs over the survivors in
  // ascending atom number.
  std::vector<int>& candidates = sg.candidates;
  candidates.clear();
  sg.grid.collect(ai.xc, reach * 1.0001f + 1.0e-4f, candidates);
  std::vector<std::pair<int, float>>& within = sg.within;
  within.clear();
  for (int j : candidates) {
    if (j == atom) continue;
    const Atom& aj = run.atoms.at(j);
    if (never_bonded(run, atom, j)) continue;
    float d = dist(ai.xc, aj.xc);
    // The bond limit is inclusive: a distance equal to it is a bond. Written
    // so that a NaN distance is no bond.
    float limit = rmax > 0.0f ? rmax : bond_limit(run, ai.iz, aj.iz);
    if (!(d <= limit)) continue;
    if (d < kTooClose) continue;
    within.emplace_back(j, d);
  }
  std::sort(within.begin(), within.end());
  within.erase(std::unique(within.begin(), within.end()), within.end());

  // Accepted in ascending atom number, then ordered by distance; equal
  // distances keep that order.
  std::vector<std::pair<float, int>>& order = sg.by_distance;
  order.clear();
  for (const auto& [j, d] : within) {
    // A second atom on the site of a neighbour already accepted is no
    // neighbour of its own.
    const auto& twins = sg.twins[static_cast<std::size_t>(j - 1)];
    if (std::any_of(twins.begin(), twins.end(), [&](int k) {
          return sg.accepted[static_cast<std::size_t>(k)] == sg.search;
        }))
      continue;
    if (static_cast<int>(order.size()) + 1 > kMaxSearchNeighbours) too_many_found(run, atom, rmax);
    sg.accepted[static_cast<std::size_t>(j)] = sg.search;
    order.emplace_back(d, j);
    if (run.atoms.at(j).flag == -1) disordered = 1;
  }
  std::sort(order.begin(), order.end());
  n.nnei = static_cast<int>(order.size());
  n.jnei.reserve(order.size());
  n.dnei.reserve(order.size());
  for (const auto& [d, j] : order) {
    n.jnei.push_back(j);
    n.dnei.push_back(d);
  }
}

int first_in_distance_order(Run& run, int atom, float rmax, const std::function<bool(int)>& accept) {
  // The answer is nearly always a bonded neighbour, so a small shell is
  // searched first. Its order is the full search's order up to the shell
  // radius as long as no atom of the shell shares its site with another
  // (the same-site test could then depend on atoms outside the shell).
  constexpr float kShell = 2.0f;
  int disordered = 0;
  if (rmax > kShell) {
    getnei(run, atom, kShell, disordered);
    const NeighbourRecord& n = run.nb.neig;
    const SearchGrid& sg = run.nb.search;
    const bool lone_sites = std::all_of(n.jnei.begin(), n.jnei.end(), [&](int j) {
      return sg.twins[static_cast<std::size_t>(j - 1)].empty();
    });
    if (lone_sites)
      for (std::size_t k = 0; k < n.jnei.size() && n.dnei[k] < kShell; ++k)
        if (accept(n.jnei[k])) return n.jnei[k];
  }
  getnei(run, atom, rmax, disordered);
  for (int j : run.nb.neig.jnei)
    if (accept(j)) return j;
  return 0;
}

void findnei(Run& run, int atom, float rmax) {
  int disordered = 0;
  getnei(run, atom, rmax, disordered);
  group_by_element(run, run.nb.neig);
  if (run.nb.iprint == 1) print_search(run, atom, rmax, disordered);
}

void findallneighbors(Run& run) {
  run.nb.iprint = 0;
  std::vector<FArg> dashes(79, FArg("-"));
  run.out.log << ffmt("(/1x,79a)", dashes);
  run.both_console_first(ffmt("(/' IDENTIFYING COVALENTLY-BONDED NEIGHBORS FOR EACH ATOM')"));

  const int nall = run.cryst.nall;
  NeighbourTable& table = run.nb.neighbors;
  table.rec.assign(static_cast<std::size_t>(nall), NeighbourRecord{});
  for (int i = 1; i <= nall; ++i) {
    findnei(run, i, 0.0f);
    const NeighbourRecord& found = run.nb.neig;
    if (found.nnei > kMaxNeighbours) {
      std::string label = run.atoms.at(i).label;
      label.erase(label.find_last_not_of(' ') + 1);
      err("FindAllNeighbors", "atom " + label + " has more than 20 bonded neighbours");
    }
    table.at(i) = found;
  }

  run.out.log << ffmt("(/' Printout of neighbors of all atoms sorted by ',/,"
                      "4x,'1) atomic number (descending)',/,"
                      "4x,'2) hybridization ( ascending)',/,"
                      "4x,'3) distance      ( ascending)')");
  for (int i = 1; i <= nall; ++i) {
    order_members(run, i);
    print_sorted_record(run, i);
  }
}

bool neighbour_disordered(const Run& run, int atom) {
  const std::vector<int>& jnei = run.nb.neighbors.at(atom).jnei;
  return std::any_of(jnei.begin(), jnei.end(), [&run](int j) { return run.atoms.at(j).flag == -1; });
}

std::vector<int> collectnei(const Run& run, int atom) {
  std::vector<int> list = run.nb.neighbors.at(atom).jnei;
  list.push_back(atom);
  return list;
}

void sortnei(Run& run, int atom) {
  const NeighbourRecord& rec = run.nb.neighbors.at(atom);
  std::vector<int>& isn = run.nb.isn;
  isn.clear();
  for (int t = static_cast<int>(rec.tnei.size()) - 1; t >= 0; --t)
    for (int m : rec.tnei[static_cast<std::size_t>(t)]) isn.push_back(m);
  if (static_cast<int>(isn.size()) != rec.nnei) err("SortNei", "l.ne.nnei(k)");
}

void prtatomnei(const Run& run, int atom, Sink& out) {
  const NeighbourRecord& rec = run.nb.neighbors.at(atom);
  out << ffmt("(/1x,'Covalently-bonded neighbors to ',a,' = ',i4,/)",
              {run.atoms.at(atom).label, rec.nnei});
  out << ffmt("(5x,'i',7x,'n',5x,'r(Ang)',4x,'atom',7x,'occ')");
  for (int k = 0; k < rec.nnei; ++k) {
    auto kk = static_cast<std::size_t>(k);
    const Atom& a = run.atoms.at(rec.jnei[kk]);
    out << ffmt("(i6,i8,2x,f9.3,4x,a,2x,f7.4)", {k + 1, rec.jnei[kk], rec.dnei[kk], a.label, a.occ});
  }
  if (run.verbosity() < 2) return;
  out << ffmt("(/4x,'There is(are) ',i4,' atom type(s) among neighbors')", {rec.ntyp});
  for (int t = 0; t < rec.ntyp; ++t) {
    auto k = static_cast<std::size_t>(t);
    out << "\n";
    out << ffmt("(4x,a,i4)", {"Type = ", t + 1});
    out << ffmt("(4x,a,i4)", {"  atomic number = ", rec.ztyp[k]});
    out << ffmt("(4x,a,i4)", {"  neighbors of this type = ", rec.ntnei[k]});
    out << ffmt("( 6x,'atoms : ', 6(a,1x), 100(/,14x,6(a,1x)) )", labels_of(run, rec.tnei[k]));
  }
}

void set_atom_xc(Run& run, int atom, const Vec3& xc) {
  Atom& a = run.atoms.at(atom);
  SearchGrid& sg = run.nb.search;
  if (sg.count < 0 || atom > sg.count) {
    a.xc = xc;
    return;
  }
  sg.grid.erase(atom, a.xc);
  sg.grid.insert(atom, xc);
  auto unlink = [&](int k) {
    auto& t = sg.twins[static_cast<std::size_t>(k - 1)];
    t.erase(std::remove(t.begin(), t.end(), atom), t.end());
  };
  for (int k : sg.twins[static_cast<std::size_t>(atom - 1)]) unlink(k);
  a.xc = xc;
  auto& mine = sg.twins[static_cast<std::size_t>(atom - 1)];
  mine = twins_of(run, sg, atom);
  for (int k : mine) {
    auto& t = sg.twins[static_cast<std::size_t>(k - 1)];
    t.insert(std::upper_bound(t.begin(), t.end(), atom), atom);
  }
}

}  // namespace tesk
