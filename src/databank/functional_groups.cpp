// Functional-group recognition ("exceptions"): the dispatcher by element and
// the rules for hydrogen, nitrogen, oxygen, phosphorus, sulphur and halogens.
// Carbon has its own file.
#include "databank/functional_groups.hpp"

#include <algorithm>

#include "connectivity/neighbours.hpp"
#include "connectivity/planes.hpp"
#include "core/errors.hpp"
#include "model/run.hpp"
#include "databank/group_rules.hpp"
#include "format/fortran_format.hpp"

namespace tesk {
namespace groups {

Scan::Scan(Run& run, int atom) : run_(run), atom_(atom) {}

int Scan::z(int a) const { return run_.atoms.at(a).iz; }
const NeighbourRecord& Scan::nb(int a) const { return run_.nb.neighbors.at(a); }
RingMembership Scan::rings(int a) const { return isitcyclic(run_, a); }

void Scan::checking(std::string_view tag) {
  run_.db.except.at(static_cast<std::size_t>(atom_ - 1)).flag = 1;
  run_.out.log << ffmt("(/' DetExcept :: checking ',a,' group...')", {tag});
}

Name Scan::unknown(std::string_view tag, bool with_printgroup) {
  run_.out.log << ffmt(
      "(/' DetExcept :: Unknown ',a,' functional group'/,/"
      "' See file group.ang for more info...'/)",
      {tag});
  if (with_printgroup) printgroup(run_, atom_);
  return {};
}

bool Scan::coplanar(int a) {
  return planarity(run_, run_.verbosity() >= 3, collectnei(run_, a), 3) == 1;
}

bool env_is(const NeighbourRecord& r, std::initializer_list<Count> env) {
  if (r.ntyp != static_cast<int>(env.size())) return false;
  int t = 0;
  for (const Count& c : env) {
    if (type_z(r, t) != c.z || type_n(r, t) != c.n) return false;
    ++t;
  }
  return true;
}

int type_z(const NeighbourRecord& r, int t) {
  return t >= 0 && t < r.ntyp ? r.ztyp[static_cast<std::size_t>(t)] : 0;
}

int type_n(const NeighbourRecord& r, int t) {
  return t >= 0 && t < r.ntyp ? r.ntnei[static_cast<std::size_t>(t)] : 0;
}

int highest_z(const NeighbourRecord& r) { return type_z(r, r.ntyp - 1); }
int highest_n(const NeighbourRecord& r) { return type_n(r, r.ntyp - 1); }

int count_of(const NeighbourRecord& r, int z) {
  for (int t = 0; t < r.ntyp; ++t)
    if (type_z(r, t) == z) return type_n(r, t);
  return 0;
}

int member(const NeighbourRecord& r, int z, int k) {
  for (int t = 0; t < r.ntyp; ++t) {
    if (type_z(r, t) != z) continue;
    const auto& m = r.tnei[static_cast<std::size_t>(t)];
    return k < type_n(r, t) ? m[static_cast<std::size_t>(k)] : 0;
  }
  return 0;
}

bool only_h_or_c(const NeighbourRecord& r) {
  for (int t = 0; t < r.ntyp; ++t)
    if (type_z(r, t) != H && type_z(r, t) != C) return false;
  return true;
}

int other_neighbour(const NeighbourRecord& r, int not_this) {
  for (int k = 0; k < r.nnei; ++k)
    if (r.jnei[static_cast<std::size_t>(k)] != not_this) return r.jnei[static_cast<std::size_t>(k)];
  return 0;
}

bool types_are(const NeighbourRecord& r, std::initializer_list<int> zs) {
  if (r.ntyp != static_cast<int>(zs.size())) return false;
  int t = 0;
  for (int z : zs)
    if (type_z(r, t++) != z) return false;
  return true;
}

namespace {

// ---------------------------------------------------------------- hydrogen

// H on an oxygen with two neighbours: the hydroxyl's other partner Y decides.
Name hydroxyl_hydrogen(Scan& s, int o) {
  s.checking("x-o-H");
  const NeighbourRecord& on = s.nb(o);
  if (on.ntyp == 1) return s.unknown("x-o-H [1]", false);  // water, peroxide...
  int y = on.tnei[1][0];
  const NeighbourRecord& yn = s.nb(y);
  switch (s.z(y)) {
    case C: {
      if (yn.nnei == 4) return "alcohol";
      RingMembership yr = s.rings(y);
      if (yn.nnei == 3 && in_planar_ring(yr)) return "phenol";
      // An sp2 carbon outside rings carrying two oxygens: the acid's C(=O)OH.
      if (yn.nnei == 3 && yr.cyclic == 0 && highest_z(yn) == O && highest_n(yn) == 2)
        return "carboxylic";
      return s.unknown("c-o-H", false);
    }
    case B:
      return "b-o-H";
    case P:
      if (yn.nnei == 4) return "phosp... acid";
      return s.unknown("p-o-H", false);
    default:
      return s.unknown("x-o-H [2]", false);
  }
}

// H on a three-connected nitrogen: flat (sp2, often conjugated) or pyramidal.
Name amine_hydrogen(Scan& s, int n) {
  s.checking("x2-n-H");
  if (!s.coplanar(n)) return "pyramidal amine";
  if (in_planar_ring(s.rings(n))) return "aromatic";
  return "planar amine";
}

Name hydrogen_group(Scan& s) {
  const NeighbourRecord& h = s.nb(s.atom());
  if (h.nnei == 0) return {};
  int x = h.jnei[0];
  if (s.z(x) == O && s.nnei(x) == 2) return hydroxyl_hydrogen(s, x);
  if (s.z(x) == N && s.nnei(x) == 3) return amine_hydrogen(s, x);
  return {};
}

// ---------------------------------------------------------------- nitrogen

// A flat N bonded to three carbons: which of them are sp2 (3 neighbours) and
// which sp3 (4 neighbours).
Name planar_tertiary_nitrogen(Scan& s) {
  s.checking("c-Nc1-c1 N-planar c1=?");
  const NeighbourRecord& r = s.nb(s.atom());
  int lo = 99, hi = 0, sum = 0;
  for (int k = 0; k < 3; ++k) {
    int n = s.nnei(r.jnei[static_cast<std::size_t>(k)]);
    lo = std::min(lo, n);
    hi = std::max(hi, n);
    sum += n;
  }
  if (lo == 3 && hi == 4 && sum == 11) return "csp2sp3sp3";
  if (lo == 3 && hi == 4 && sum == 10) return "csp3sp2sp2";
  return s.unknown("c-Nc1-c1 planar", true);
}

// Oximes C=N-OH and nitroso groups C-N=O.
Name nitrogen_oxygen(Scan& s) {
  s.checking("c--N--o(?)");
  int o = member(s.nb(s.atom()), O);
  const NeighbourRecord& on = s.nb(o);
  if (env_is(on, {{H, 1}, {N, 1}})) return "N-OH";
  if (on.nnei == 1 && s.z(on.jnei[0]) == N) return "N=O";
  return s.unknown("c--N--c?", true);
}

Name nitrogen_group(Scan& s) {
  const NeighbourRecord& r = s.nb(s.atom());
  // Three points always lie in a plane, so two neighbours already count.
  bool flat = r.nnei >= 2 && s.coplanar(s.atom());
  if (flat && r.nnei == 3 && env_is(r, {{C, 3}})) return planar_tertiary_nitrogen(s);
  if (r.nnei == 2 && env_is(r, {{C, 1}, {O, 1}})) return nitrogen_oxygen(s);
  return {};
}

// ---------------------------------------------------------------- oxygen

// Hydroxyl O: alcohol, phenol, or the OH of a carboxylic acid.
Name hydroxyl_oxygen(Scan& s) {
  s.checking("c-O-h");
  int c = member(s.nb(s.atom()), C);
  const NeighbourRecord& cn = s.nb(c);
  int k = count_of(cn, O);
  if (k == 1) {
    if (cn.nnei == 3 && in_planar_ring(s.rings(c))) return "phenol";
    if (cn.nnei == 3 || cn.nnei == 4) return "alcohol";
    return s.unknown("c-O-h", true);
  }
  if (k == 2) {
    int other = member(cn, O, 0) == s.atom() ? member(cn, O, 1) : member(cn, O, 0);
    if (other == 0 || other == s.atom()) err("DetExcept", "Could not identify \"other\" O-atom");
    return s.nnei(other) == 1 ? "carboxylic" : "alcohol";
  }
  return s.unknown("x-O-h", true);
}

// Y, the second oxygen of a carboxyl-like carbon X, and W, Y's partner other
// than X, tell carboxylate, acid, ester and anhydride apart.
struct SecondOxygen {
  int y = 0;
  int y_nnei = 0;
  int y_first_type = 0;
  int w = 0;
  int w_nnei = 0;
};

SecondOxygen second_oxygen(Scan& s, int x) {
  SecondOxygen so;
  const NeighbourRecord& xn = s.nb(x);
  so.y = member(xn, O, 0) == s.atom() ? member(xn, O, 1) : member(xn, O, 0);
  if (so.y == 0) return so;
  const NeighbourRecord& yn = s.nb(so.y);
  so.y_nnei = yn.nnei;
  so.y_first_type = type_z(yn, 0);
  so.w = other_neighbour(yn, x);
  if (so.w != 0) so.w_nnei = s.nnei(so.w);
  return so;
}

// Carbonyl O bonded to a trigonal carbon X: the rest of X names the group.
Name carbonyl_oxygen(Scan& s) {
  s.checking("(?)c=O");
  int x = s.nb(s.atom()).jnei[0];
  const NeighbourRecord& xn = s.nb(x);
  if (xn.nnei != 3) return s.unknown("(?)c=O [1]", true);
  int first_z = type_z(xn, 0), first_n = type_n(xn, 0);
  if (in_planar_ring(s.rings(x))) {
    if (first_z == N && first_n == 2) return "aromaturea";
    if (first_z == C && first_n == 2) return "aromatketone";
    if (env_is(xn, {{C, 1}, {O, 2}})) return "aromatester";
    if (types_are(xn, {C, N, O})) return "aromatamide";
  }
  if (first_z == H && type_z(xn, 1) == C) return "aldehyde";
  if (first_z == C && first_n == 2) return "ketone";
  if (first_z == N && first_n == 2) return "urea";
  if (env_is(xn, {{C, 1}, {O, 2}})) {
    SecondOxygen so = second_oxygen(s, x);
    if (so.y_nnei == 1) return "carboxylate";
    if (so.y_nnei == 2 && so.y_first_type == H) return "carboxylic";
    if (so.w_nnei == 4) return "ester";
    if (so.w_nnei == 3) return count_of(s.nb(so.w), O) == 2 ? "anhydride" : Name{};
    return s.unknown("(?)c=O [2]", true);
  }
  if (env_is(xn, {{N, 1}, {O, 2}})) {
    SecondOxygen so = second_oxygen(s, x);
    if (so.y_nnei == 1) return "carbamate";
    if (so.y_nnei == 2 && so.y_first_type == H) return "carbamic acid";
    if (so.w_nnei == 4) return "carbamate ester";
    return s.unknown("(?)c=O [2]", true);
  }
  if (highest_z(xn) == S && highest_n(xn) == 1) return "thioester";
  if (types_are(xn, {C, N, O}) && s.nnei(member(xn, N)) >= 3) return "amide";
  return s.unknown("(?)c=O [3]", true);
}

// Ether-like O between two carbons: anhydride, ester or carbamate ester.
Name bridging_oxygen(Scan& s) {
  s.checking("c-O-c");
  const NeighbourRecord& r = s.nb(s.atom());
  int c1 = r.jnei[0], c2 = r.jnei[1];
  const NeighbourRecord& n1 = s.nb(c1);
  const NeighbourRecord& n2 = s.nb(c2);
  auto acyl = [](const NeighbourRecord& cr) { return cr.nnei == 3 && env_is(cr, {{C, 1}, {O, 2}}); };
  auto carbamoyl = [](const NeighbourRecord& cr) {
    return cr.nnei == 3 && env_is(cr, {{N, 1}, {O, 2}});
  };
  if (acyl(n1) && acyl(n2)) return "anhydride";
  int lo = std::min(n1.nnei, n2.nnei), hi = std::max(n1.nnei, n2.nnei);
  if (lo == 3 && (hi == 3 || hi == 4)) {
    if (acyl(n1) || acyl(n2)) return "ester";
    if (carbamoyl(n1) || carbamoyl(n2)) return "carbamate ester";
  }
  return s.unknown("c-O-c", true);
}

// Terminal O on N: nitroso or nitro.
Name nitro_oxygen(Scan& s) {
  s.checking("(?)N-O");
  const NeighbourRecord& nn = s.nb(s.nb(s.atom()).jnei[0]);
  if (nn.nnei == 2 && env_is(nn, {{C, 1}, {O, 1}})) return "NO";
  if (nn.nnei == 3 && env_is(nn, {{C, 1}, {O, 2}})) return "NO2";
  return s.unknown("(?)N-O [1]", true);
}

// The phosphorus of a phosphonate or phosphate belongs to the group its
// terminal oxygen names: its row is marked too. A P that has no name of its
// own takes the oxygen's, which is the name its own rule gives whenever that
// rule recognises the group (names compare case-blind), so the row never
// holds a flag without a name.
void mark_phosphorus(Scan& s, int p, const Name& name) {
  if (name.empty()) return;
  ExceptRow& row = s.run().db.except.at(static_cast<std::size_t>(p - 1));
  row.flag = 1;
  if (row.group.find_first_not_of(' ') == std::string::npos) {
    row.group = name;
    row.group.resize(40, ' ');
  }
}

// Sum of the neighbour counts of the given element's members around r.
int neighbour_sum(Scan& s, const NeighbourRecord& r, int z) {
  int sum = 0;
  for (int k = 0; k < r.nnei; ++k) {
    int a = r.jnei[static_cast<std::size_t>(k)];
    if (z == 0 || s.z(a) == z) sum += s.nnei(a);
  }
  return sum;
}

// Terminal O on a four-connected P. Each bridging O-X adds one to the sum of
// the oxygens' neighbour counts, which tells how far the acid is esterified.
Name phosphoryl_oxygen(Scan& s) {
  s.checking("(?)p=O");
  int p = s.nb(s.atom()).jnei[0];
  const NeighbourRecord& pn = s.nb(p);
  if (pn.nnei != 4) return s.unknown("(?)p=O [1]", true);
  if (env_is(pn, {{C, 3}, {O, 1}})) return "C3PO";
  Name name;
  if (env_is(pn, {{C, 1}, {O, 3}})) {
    s.checking("cpOoo(?)");
    int sum = neighbour_sum(s, pn, O);
    if (sum == 4) name = "CPO2(O-X)";
    else if (sum == 5) name = "CPO(O-X)2";
    else if (sum == 3) name = "CPO3";
    else return s.unknown("cpOoo(?)", true);
  } else {
    s.checking("pOooo(?)");
    int sum = neighbour_sum(s, pn, 0);
    if (sum == 4) name = "pO4";
    else if (sum == 7) name = "O-p(ox)3";
    else if (sum == 5) name = "O3-p(ox)";
    else return s.unknown("pOooo(?)", true);
  }
  mark_phosphorus(s, p, name);
  return name;
}

Name oxygen_group(Scan& s) {
  const NeighbourRecord& r = s.nb(s.atom());
  if (r.nnei == 2 && env_is(r, {{H, 1}, {C, 1}})) return hydroxyl_oxygen(s);
  if (r.nnei == 1 && s.z(r.jnei[0]) == C) return carbonyl_oxygen(s);
  if (r.nnei == 2 && env_is(r, {{C, 2}})) return bridging_oxygen(s);
  if (r.nnei == 1 && s.z(r.jnei[0]) == N) return nitro_oxygen(s);
  if (r.nnei == 1 && s.z(r.jnei[0]) == P) return phosphoryl_oxygen(s);
  return {};
}

// ---------------------------------------------------------------- P, S, halogens

Name phosphorus_group(Scan& s) {
  const NeighbourRecord& r = s.nb(s.atom());
  if (r.nnei != 4) return {};
  if (env_is(r, {{C, 1}, {O, 3}})) {
    s.checking("cPooo(?)");
    int sum = neighbour_sum(s, r, O);
    if (sum == 4) return "CPO2(O-X)";
    if (sum == 5) return "CPO(O-X)2";
    if (sum == 3) return "CPO3";
    return s.unknown("cPooo(?)", true);
  }
  if (env_is(r, {{O, 4}})) {
    s.checking("Poooo(?)");
    int sum = neighbour_sum(s, r, O);
    if (sum == 5) return "o3-P(ox)";
    if (sum == 6) return "o2-P(ox)2";
    if (sum == 7) return "o-P(ox)3";
    return s.unknown("Poooo(?)", true);
  }
  return {};
}

// Thiocarbonyl S: the trigonal carbon it sits on, in an aromatic ring.
Name sulphur_group(Scan& s) {
  const NeighbourRecord& r = s.nb(s.atom());
  if (r.nnei == 0) return {};
  s.checking("(?)c=S");
  int x = r.jnei[0];
  const NeighbourRecord& xn = s.nb(x);
  if (xn.nnei != 3) return s.unknown("(?)c=S [1]", true);
  if (!in_planar_ring(s.rings(x))) return {};
  if (type_z(xn, 0) == N && type_n(xn, 0) == 2) return "PHthiourea";
  if (type_z(xn, 0) == C && type_n(xn, 0) == 2) return "PH=S";
  if (types_are(xn, {C, N, S})) return "aromathioamide";
  return {};
}

// Halogen on an aromatic ring carbon; an alkyl halide has no group.
Name halogen_group(Scan& s, std::string_view symbol) {
  const NeighbourRecord& r = s.nb(s.atom());
  if (r.nnei != 1 || s.z(r.jnei[0]) != C) return {};
  s.checking("(?)c-" + std::string(symbol));
  if (in_planar_ring(s.rings(r.jnei[0]))) return "PH-" + std::string(symbol);
  return {};
}

Name group_of(Scan& s) {
  switch (s.z(s.atom())) {
    case H: return hydrogen_group(s);
    case C: return carbon_group(s);
    case N: return nitrogen_group(s);
    case O: return oxygen_group(s);
    case P: return phosphorus_group(s);
    case S: return sulphur_group(s);
    case F: return halogen_group(s, "F");
    case Cl: return halogen_group(s, "Cl");
    case Br: return halogen_group(s, "Br");
    default: return {};
  }
}

}  // namespace
}  // namespace groups

void detexcept(Run& run, int atom) {
  auto& table = run.db.except;
  if (table.size() < static_cast<std::size_t>(run.atoms.size()))
    table.resize(static_cast<std::size_t>(run.atoms.size()));
  ExceptRow& row = table.at(static_cast<std::size_t>(atom - 1));
  row = ExceptRow{};
  groups::Scan scan(run, atom);
  groups::Name name = groups::group_of(scan);
  row = ExceptRow{};
  if (!name.empty()) {
    row.flag = 1;
    row.group = name;
    row.group.resize(40, ' ');
  }
}

}  // namespace tesk
