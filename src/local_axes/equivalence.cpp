// Chemical equivalence: the pairwise comparison of two atoms' bonded
// environments, and the kappa-set search along the input list, which finds
// the first equivalent earlier atom through an index of the compared values.
#include "local_axes/equivalence.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "core/line_reader.hpp"
#include "databank/functional_groups.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/dummy_atoms.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

constexpr int kHydrogen = 1;
constexpr int kGroupWidth = 40;
// A set whose kappa and kappa' both lie this close to 1.0 is an
// independent-atom (spherical) set.
constexpr float kIamTolerance = 0.0001f;

// Group names are compared case-blind: the caller upper-cases an atom's own
// name, but a name that another atom's rule writes into this row keeps the
// rule's spelling.
std::string group_of(const Run& run, int a) {
  const auto i = static_cast<std::size_t>(a - 1);
  if (i >= run.db.except.size()) return std::string(kGroupWidth, ' ');
  return upper(run.db.except[i].group);
}

std::array<int, 3> forh_of(const Run& run, int a) {
  const auto i = static_cast<std::size_t>(a - 1);
  return i < run.db.forh.size() ? run.db.forh[i] : std::array<int, 3>{};
}

int ring_size(const Run& run, int a) { return isitcyclic(run, a).size; }

// Atomic number and member count of neighbour type t (0-based).
int type_z(const NeighbourRecord& r, int t) {
  const auto i = static_cast<std::size_t>(t);
  return i < r.ztyp.size() ? r.ztyp[i] : 0;
}
int type_n(const NeighbourRecord& r, int t) {
  const auto i = static_cast<std::size_t>(t);
  return i < r.ntnei.size() ? r.ntnei[i] : 0;
}

std::string numbered(const char* head, int t) { return ffmt_text("(a,i2,a)", {head, t, "-th type"}); }

// The reason of the first criterion that a and b fail; empty when they pass.
std::string difference(const Run& run, int a, int b, bool bysym, bool bygroup, bool simple,
                       bool byring) {
  const Atom& aa = run.atoms.at(a);
  const Atom& ab = run.atoms.at(b);
  if (aa.iz != ab.iz) return " Diff. atomic numbers";
  const NeighbourRecord& na = run.nb.neighbors.at(a);
  const NeighbourRecord& nb = run.nb.neighbors.at(b);
  if (na.nnei != nb.nnei) return " Diff. number of neighbors";
  if (!simple) {
    if (na.ntyp != nb.ntyp) return " Diff. number of neighbor types";
    for (int t = 0; t < na.ntyp; ++t)
      if (type_z(na, t) != type_z(nb, t)) return numbered(" Diff. atomic numbers of ", t + 1);
    for (int t = 0; t < na.ntyp; ++t)
      if (type_n(na, t) != type_n(nb, t)) return numbered(" Diff. num. of nei. of ", t + 1);
    if (byring && ring_size(run, a) != ring_size(run, b)) return " Diff. ring memb numbers";
  }
  if (bysym && aa.sitesym != ab.sitesym) return " Diff. local symmetry";
  if (bygroup && group_of(run, a) != group_of(run, b)) return " Diff. functional groups";
  return {};
}

// ---------------------------------------------------------------- index keys

void put(std::string& key, int v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); }

void put(std::string& key, const std::string& s) {
  put(key, static_cast<int>(s.size()));
  key += s;
}

// Everything the kappa-set comparison of two non-hydrogen atoms looks at:
// two atoms have the same key exactly when sameatoms(.., 1, 1, 0, 1) says 1.
std::string heavy_key(const Run& run, int a) {
  const Atom& atom = run.atoms.at(a);
  const NeighbourRecord& r = run.nb.neighbors.at(a);
  std::string key;
  put(key, atom.iz);
  put(key, r.nnei);
  put(key, r.ntyp);
  for (int t = 0; t < r.ntyp; ++t) {
    put(key, type_z(r, t));
    put(key, type_n(r, t));
  }
  put(key, ring_size(run, a));
  put(key, atom.sitesym);
  put(key, group_of(run, a));
  return key;
}

// What a hydrogen is compared by: scattering type, the three values that
// describe its parent atom, and the functional group.
std::string hydrogen_key(const Run& run, int a) {
  std::string key;
  put(key, run.atoms.at(a).sftype);
  for (int v : forh_of(run, a)) put(key, v);
  put(key, group_of(run, a));
  return key;
}

using KeyMap = std::unordered_map<std::string, std::vector<int>>;

void file_under(KeyMap& map, const std::string& key, int a) {
  std::vector<int>& atoms = map[key];
  atoms.insert(std::upper_bound(atoms.begin(), atoms.end(), a), a);
}

void unfile(KeyMap& map, const std::string& key, int a) {
  auto it = map.find(key);
  if (it == map.end()) return;
  std::vector<int>& atoms = it->second;
  auto at = std::lower_bound(atoms.begin(), atoms.end(), a);
  if (at != atoms.end() && *at == a) atoms.erase(at);
  if (atoms.empty()) map.erase(it);
}

void file_atom(Run& run, int a) {
  EquivalenceIndex& ix = run.axes.equivalent;
  ix.heavy_key.push_back(heavy_key(run, a));
  ix.hydrogen_key.push_back(hydrogen_key(run, a));
  file_under(ix.heavy, ix.heavy_key.back(), a);
  file_under(ix.hydrogen, ix.hydrogen_key.back(), a);
}

// The index must hold exactly the atoms before `atom`. The loop treats atoms
// in order, so this only rebuilds when a run starts again or skips about.
void sync_index(Run& run, int atom) {
  EquivalenceIndex& ix = run.axes.equivalent;
  if (ix.count() == atom - 1) return;
  ix = EquivalenceIndex{};
  for (int j = 1; j < atom; ++j) file_atom(run, j);
}

void refile(Run& run, int a) {
  EquivalenceIndex& ix = run.axes.equivalent;
  const auto i = static_cast<std::size_t>(a - 1);
  std::string heavy = heavy_key(run, a);
  if (heavy != ix.heavy_key[i]) {
    unfile(ix.heavy, ix.heavy_key[i], a);
    file_under(ix.heavy, heavy, a);
    ix.heavy_key[i] = std::move(heavy);
  }
  std::string hydrogen = hydrogen_key(run, a);
  if (hydrogen != ix.hydrogen_key[i]) {
    unfile(ix.hydrogen, ix.hydrogen_key[i], a);
    file_under(ix.hydrogen, hydrogen, a);
    ix.hydrogen_key[i] = std::move(hydrogen);
  }
}

// Recognising one atom's group may name a bonded atom's group too (the
// phosphorus of a phosphate takes its terminal oxygen's name), so bonded
// atoms already filed are filed again under what they now hold.
void refile_neighbours(Run& run, int atom) {
  const int filed = run.axes.equivalent.count();
  for (int j : run.nb.neighbors.at(atom).jnei)
    if (j >= 1 && j <= filed) refile(run, j);
}

// ---------------------------------------------------------------- kappa sets

int first_filed(const KeyMap& map, const std::string& key) {
  auto it = map.find(key);
  return it == map.end() ? 0 : it->second.front();
}

// The first earlier atom that `atom` is chemically equivalent to, 0 when
// none (or when constraints are off for its kind of atom).
int first_equivalent(Run& run, int atom) {
  const EquivalenceIndex& ix = run.axes.equivalent;
  if (run.atoms.at(atom).iz == kHydrogen) {
    if (run.opt.lchem[0] != 1) return 0;
    return first_filed(ix.hydrogen, hydrogen_key(run, atom));
  }
  if (run.opt.lchem[1] != 1) return 0;
  if (run.verbosity() >= 3) {  // every comparison up to the match is traced in the log
    for (int j = 1; j < atom; ++j)
      if (sameatoms(run, atom, j, true, true, false, true) == 1) return j;
    return 0;
  }
  return first_filed(ix.heavy, heavy_key(run, atom));
}

bool next_to_disorder(const Run& run, int atom) {
  return run.atoms.at(atom).flag != -1 && neighbour_disordered(run, atom);
}

// An existing independent-atom set of the atom's scattering type, 0 if none.
int iam_set(const Run& run, int atom) {
  const int sftype = run.atoms.at(atom).sftype;
  const int count = std::min(run.db.nkappas, static_cast<int>(run.db.kappas.size()));
  for (int k = 1; k <= count; ++k) {
    const KappaSet& set = run.db.kappas[static_cast<std::size_t>(k - 1)];
    if (set.sftype == sftype && std::fabs(set.kappa[0] - 1.0f) <= kIamTolerance &&
        std::fabs(set.kappa[1] - 1.0f) <= kIamTolerance)
      return k;
  }
  return 0;
}

// Functional group of the atom, its name upper-cased in place as the
// databank search expects it.
void recognise_group(Run& run, int atom) {
  run.out.log << ffmt("(/a)", {" Calling DetExcept..."});
  detexcept(run, atom);
  ExceptRow& row = run.db.except.at(static_cast<std::size_t>(atom - 1));
  row.group = upper(row.group);
  if (row.flag == 1)
    run.out.log << ffmt("(/' Exception identified for ',a,' : Functional group = [',a,']')",
                        {run.atoms.at(atom).label, row.group});
  refile_neighbours(run, atom);
}

void size_tables(Run& run, int atom) {
  const auto n = static_cast<std::size_t>(std::max(run.atoms.natoms, atom));
  if (run.db.kappaset.size() < n) run.db.kappaset.resize(n, 0);
  if (run.axes.chemcon.size() < n) run.axes.chemcon.resize(n, 0);
  if (run.axes.rec.size() < n) run.axes.rec.resize(n);
}

void set_kappa(Run& run, int atom, int kset, int reference) {
  const auto i = static_cast<std::size_t>(atom - 1);
  run.db.kappaset[i] = kset;
  run.axes.chemcon[i] = reference > 0 ? 1 : 0;
  run.axes.rec[i].chemcon = reference;
}

void new_set(Run& run, int atom) {
  const int kset = ++run.db.nkappaset;
  run.out.log << ffmt("(/a,i4)", {" New kappa set = ", kset});
  set_kappa(run, atom, kset, 0);
}

void search_set(Run& run, int atom, AxisDecision& d) {
  if (run.cryst.nall > run.atoms.natoms) checksymeq(run, d);
  recognise_group(run, atom);
  if (atom == 1) return new_set(run, atom);
  run.out.log << ffmt("(/a)", {" Trying to determine the KAPPA SET : "});
  const int j = first_equivalent(run, atom);
  if (j == 0) return new_set(run, atom);
  const int kset = run.db.kappaset[static_cast<std::size_t>(j - 1)];
  run.out.log << ffmt("(/a,i4)", {" Old kappa set = ", kset});
  set_kappa(run, atom, kset, j);
}

}  // namespace

int sameatoms(Run& run, int a, int b, bool bysym, bool bygroup, bool simple, bool byring) {
  const bool trace = run.verbosity() >= 3;
  if (trace)
    run.out.log << ffmt("(/' Checking if atoms ',a,' and ',a,' are chemically equivalent:')",
                        {run.atoms.at(a).label, run.atoms.at(b).label});
  const std::string reason = difference(run, a, b, bysym, bygroup, simple, byring);
  if (!reason.empty()) {
    if (trace) run.out.log << ffmt("(3x,'atoms are NOT chemically equivalent : ',a)", {reason});
    return 0;
  }
  if (trace) run.out.log << ffmt("(a)", {"  YES, these atoms are chemically equivalent !"});
  return 1;
}

void assign_kappa_set(Run& run, int atom, AxisDecision& d) {
  size_tables(run, atom);
  sync_index(run, atom);
  if (run.opt.lsx == 1) {
    // A plain conversion: one set per scattering type.
    const int kset = run.atoms.at(atom).sftype;
    run.db.nkappaset = std::max(run.db.nkappaset, kset);
    set_kappa(run, atom, kset, 0);
  } else if (next_to_disorder(run, atom)) {
    // The databank is not applied here, so the atom stays spherical.
    const int kset = iam_set(run, atom);
    if (kset == 0) {
      new_set(run, atom);
    } else {
      run.out.log << ffmt("(/a,i4)", {" Using old [IAM] kappa set = ", kset});
      set_kappa(run, atom, kset, 0);
    }
  } else {
    search_set(run, atom, d);
  }
  file_atom(run, atom);
}

}  // namespace tesk
