// Functional-group rules for carbon: carbonyl and carboxyl carbons, carbons
// next to amines, and the aromatic-ring carbons whose heteroatom neighbours
// (ring nitrogens, exocyclic N, O, S) change their density.
#include <algorithm>

#include "model/run.hpp"
#include "databank/group_rules.hpp"
#include "format/fortran_format.hpp"

namespace tesk::groups {
namespace {

// Smallest, largest and total neighbour count of the carbon's neighbours.
struct Spread {
  int lo = 99, hi = 0, sum = 0;
};

Spread neighbour_spread(Scan& s) {
  Spread sp;
  const NeighbourRecord& r = s.nb(s.atom());
  for (int k = 0; k < r.nnei; ++k) {
    int n = s.nnei(r.jnei[static_cast<std::size_t>(k)]);
    sp.lo = std::min(sp.lo, n);
    sp.hi = std::max(sp.hi, n);
    sp.sum += n;
  }
  return sp;
}

// The oxygen of a two-oxygen carbon that has two neighbours; the later one
// when both have.
int oxygen_with_two(Scan& s, int o1, int o2) {
  if (s.nnei(o2) == 2) return o2;
  if (s.nnei(o1) == 2) return o1;
  return 0;
}

// C(=O)O: carboxylate, acid, ester or anhydride, from the second oxygen.
Name carboxyl_carbon(Scan& s) {
  s.checking("Coo(?)");
  const NeighbourRecord& r = s.nb(s.atom());
  int o1 = member(r, O, 0), o2 = member(r, O, 1);
  if (std::max(s.nnei(o1), s.nnei(o2)) == 1) return "carboxylate";
  int oh = oxygen_with_two(s, o1, o2);
  if (oh == 0) return s.unknown("cOO(?)", true);
  const NeighbourRecord& on = s.nb(oh);
  if (type_z(on, 0) == H) return "carboxylic";
  if (!env_is(on, {{C, 2}})) return s.unknown("cOO(?)", true);
  int w = other_neighbour(on, s.atom());
  if (s.nnei(w) == 3) return "anhydride";
  if (s.nnei(w) == 4) return "ester";
  return s.unknown("cOO(?)", true);
}

// N-C(=O)O: carbamate, carbamic acid or carbamate ester.
Name carbamate_carbon(Scan& s) {
  s.checking("Coo(?)");
  const NeighbourRecord& r = s.nb(s.atom());
  int o1 = member(r, O, 0), o2 = member(r, O, 1);
  if (std::max(s.nnei(o1), s.nnei(o2)) == 1) return "carbamate";
  int oh = oxygen_with_two(s, o1, o2);
  if (oh != 0) {
    const NeighbourRecord& on = s.nb(oh);
    if (type_z(on, 0) == H) return "carbamic acid";
    if (s.nnei(other_neighbour(on, s.atom())) == 4) return "carbamate ester";
  }
  return s.unknown("cOO(?)", true);
}

// An sp3 carbon bonded to one nitrogen and otherwise only to C and H: the
// nitrogen is an ammonium ion or a flat or pyramidal amine.
Name carbon_on_amine(Scan& s) {
  s.checking("n-C-(c/h)3");
  const NeighbourRecord& r = s.nb(s.atom());
  for (int t = 0; t < r.ntyp - 1; ++t)
    if (type_z(r, t) != H && type_z(r, t) != C) return s.unknown("n-C-(x/y/z)", false);
  int n = member(r, N);
  s.run().out.log << ffmt("(/100a)", {" Checking connected N-atom = ", s.run().atoms.at(n).label});
  if (s.nnei(n) == 4) return "ammonium";
  if (s.nnei(n) == 3) return s.coplanar(n) ? "planar amine" : "pyramidal amine";
  return s.unknown("n-C-(c/h)3", false);
}

// Ring carbon carrying O: the O closes a furan-like ring, or hangs off the
// ring as phenolate or phenolic OH.
Name ring_carbon_oxygen(Scan& s, const RingMembership& rc) {
  s.checking("C(cyc)-o-x");
  int o = member(s.nb(s.atom()), O);
  const NeighbourRecord& on = s.nb(o);
  RingMembership ro = s.rings(o);
  if (in_planar_ring(ro) && same_ring(ro, rc)) {
    if (on.nnei == 2 && env_is(on, {{C, 2}})) return "furano";
    if (on.nnei == 2 && env_is(on, {{C, 1}, {N, 1}})) return "furanoN";
    return {};
  }
  if (on.nnei == 1) return "phenolate";
  if (on.nnei == 2 && (type_z(on, 0) == H || on.ntyp == 1)) return "phenolic";
  return {};
}

// Aryl boron: a trifluoroborate.
Name carbon_on_boron(Scan& s) {
  s.checking("c2Cb(?)");
  int b = member(s.nb(s.atom()), B);
  int first = other_neighbour(s.nb(b), s.atom());
  if (first != 0 && s.z(first) == F) return "C-b-F3";
  return s.unknown("(?)", true);
}

// Ring carbon between three nitrogens (triazine, guanidinium-like): the
// nitrogens' own neighbour counts say which carry substituents.
Name carbon_three_nitrogens(Scan& s) {
  s.checking("n-Cn-n");
  Spread sp = neighbour_spread(s);
  if (sp.hi == 3 && sp.sum == 7) return "3N-sp2(232)";
  if (sp.lo == 3) return "3N-sp2(333)";
  if (sp.hi == 3 && sp.sum == 8) return "3N-sp2(233)";
  return {};
}

// One of the carbon's nitrogens lies outside every single planar ring: an
// amino or nitro-substituted nitrogen hanging off the ring.
Name exocyclic_nitrogen(Scan& s) {
  s.checking(" n-=Cn=-c (?) ");
  const NeighbourRecord& r = s.nb(s.atom());
  Spread sp = neighbour_spread(s);
  bool nitro = false;
  for (int k = 0; k < 3; ++k)
    if (highest_z(s.nb(r.jnei[static_cast<std::size_t>(k)])) == O) nitro = true;
  s.run().out.log << ffree({nitro ? " ia1, ia2, ia3 = " : " ia4, ia5, ia6 = ", r.jnei[0],
                            r.jnei[1], r.jnei[2]});
  if (sp.hi == 3 && sp.lo == 2 && sp.sum == 8) return nitro ? "nitro-n2n3c3" : "n2n3c3";
  if (sp.hi == 3 && sp.lo == 3 && sp.sum == 9) return nitro ? "nitro-n3n3c3" : "n3n3c3";
  return {};
}

// Ring carbon with two nitrogen neighbours (imidazole, pyrimidine, purine):
// whether the two ring nitrogens carry H or substituents.
Name ring_nitrogens(Scan& s, const RingMembership& rc) {
  s.checking("n-C(cyc)-n");
  const NeighbourRecord& r = s.nb(s.atom());
  int counted = 0, i1n = 0, i2n = 0;
  for (int k = 0; k < r.nnei; ++k) {
    int a = r.jnei[static_cast<std::size_t>(k)];
    RingMembership ra = s.rings(a);
    s.run().out.log << ffree({" iatr, iCr = ", ra.ring, rc.ring});
    if (s.z(a) != N) continue;
    if (!in_planar_ring(ra)) return exocyclic_nitrogen(s);
    ++counted;
    if (ra.ring == rc.ring) {
      if (i1n == 0) i1n = a;
      else if (i2n == 0) i2n = a;
    }
    // A nitrogen of another ring bonded to this ring carbon.
    if (counted <= 2 && ra.ring != rc.ring)
      return neighbour_spread(s).sum == 8 ? "NNring1" : "NNring2";
  }
  s.run().out.log << ffree({" i1N, i2N = ", i1n, i2n});
  if (i1n == 0 || i2n == 0) return {};
  int n1 = s.nnei(i1n), n2 = s.nnei(i2n);
  s.run().out.log << ffree({" i1Nn, i2Nn = ", n1, n2});
  int lo = std::min(n1, n2), hi = std::max(n1, n2);
  if (hi == 2) return "non-substituted nitrogens";
  if (lo == 3) {
    bool zinc = highest_z(s.nb(i1n)) == Zn || highest_z(s.nb(i2n)) == Zn;
    return zinc ? "ZNnCn" : "substituted nitrogens";
  }
  if (lo == 2 && hi == 3) return "mixed nitrogens";
  return {};
}

// Ring carbon with two N and an O: the O in the ring, or a ring C=O.
Name ring_carbon_n2o(Scan& s, const RingMembership& rc) {
  s.checking("Cn2(cyc)=o/Cno(cyc)-n(?)");
  int o = member(s.nb(s.atom()), O);
  RingMembership ro = s.rings(o);
  if (in_planar_ring(ro) && same_ring(ro, rc)) return s.nnei(o) == 2 ? "pirofurano" : Name{};
  if (s.nnei(o) == 1) return "aromaturea";
  return {};
}

// Ring carbon with C, N and O (lactam, oxazole): the N and O must be its two
// nearest neighbours.
Name ring_carbon_cno(Scan& s, const RingMembership& rc) {
  s.checking("Ccno(?)");
  const NeighbourRecord& r = s.nb(s.atom());
  int za = s.z(r.jnei[0]), zb = s.z(r.jnei[1]);
  if (!((za == N && zb == O) || (za == O && zb == N))) {
    s.run().out.log << ffree({":("});
    return s.unknown("C(cyc)-n=", false);
  }
  int o = member(r, O);
  if (same_ring(s.rings(o), rc)) return "o-Cc-n";
  if (s.nnei(o) == 1) return "amido";
  if (s.nnei(o) == 2) return "amidoH";
  return {};
}

// Ring carbon with one N: a ring nitrogen (pyridine-like or substituted), or
// an exocyclic nitro, oxime or amino group.
Name ring_carbon_one_nitrogen(Scan& s, const RingMembership& rc) {
  s.checking("C(cyc)-n=");
  int n = member(s.nb(s.atom()), N);
  const NeighbourRecord& nn = s.nb(n);
  RingMembership rn = s.rings(n);
  if (in_planar_ring(rn) && same_ring(rn, rc)) {
    if (nn.nnei == 3 && only_h_or_c(nn)) return "substituted nitrogen";
    if (nn.nnei == 2) return "non-substituted nitrogen";
    return s.unknown("C(cyc)-n=", false);
  }
  if (nn.nnei == 3 && highest_z(nn) == O && highest_n(nn) == 2) return "nitrophenyl";
  if (nn.nnei == 2 && highest_z(nn) == O && highest_n(nn) == 1) return "ph-noh";
  if (nn.nnei == 3 && only_h_or_c(nn)) return "aminophenyl";
  if (nn.nnei == 4 && only_h_or_c(nn)) return "protonated aminophenyl";
  if (!only_h_or_c(nn)) return s.unknown("C(cyc)-n=", false);
  return {};
}

// Fusion carbon of two planar rings bonded to N: a five-membered N ring.
Name fused_carbon_nitrogen(Scan& s) {
  s.checking("C(2cyc)-n=");
  RingMembership rn = s.rings(member(s.nb(s.atom()), N));
  if (in_planar_ring(rn) && rn.size == 5) return "C(2cyc)-n5";
  return {};
}

// Ring carbon next to an sp3 ring carbon: a cyclic alkene.
Name ring_carbon_carbons(Scan& s, const RingMembership& rc) {
  s.checking("c(sp3,cyc)-C(cyc)=x");
  int c = member(s.nb(s.atom()), C);
  if (s.nnei(c) == 4 && same_ring(s.rings(c), rc)) return "cycloene";
  return {};
}

// Methyl or methylene thiolate on zinc.
Name carbon_on_sulphur(Scan& s) {
  s.checking("C-s(?)");
  const NeighbourRecord& sn = s.nb(member(s.nb(s.atom()), S));
  if (type_z(sn, 0) == Zn || type_z(sn, 1) == Zn) return "C-s-Zn";
  return s.unknown("c-s-(?)", true);
}

// Thioamide carbon: the sulphur's own connectivity.
Name thioamide_carbon(Scan& s) {
  s.checking("c-C(=s)-n(?)");
  int n = s.nnei(member(s.nb(s.atom()), S));
  if (n == 1) return "THIO";
  if (n == 2) return "THIO-X";
  if (n == 4) return "SX4";
  return s.unknown("c-C(=s)-n(?)", true);
}

}  // namespace

Name carbon_group(Scan& s) {
  const NeighbourRecord& r = s.nb(s.atom());
  RingMembership rc = s.rings(s.atom());
  const bool ring = in_planar_ring(rc);
  const bool three = r.nnei == 3;
  const int top_z = highest_z(r), top_n = highest_n(r);

  if (three && env_is(r, {{C, 2}, {O, 1}}) && !ring) {
    s.checking("c2Co");  // ketone carbon
    if (s.nnei(member(r, O)) == 1) return "ketone";
    return s.unknown("c2--C--o-", true);
  }
  if (three && env_is(r, {{C, 1}, {O, 2}})) return carboxyl_carbon(s);
  if (three && env_is(r, {{N, 1}, {O, 2}})) return carbamate_carbon(s);
  if (r.nnei == 4 && top_z == N && top_n == 1) return carbon_on_amine(s);
  if (three && env_is(r, {{C, 2}, {O, 1}}) && ring) return ring_carbon_oxygen(s, rc);
  if (three && env_is(r, {{B, 1}, {C, 2}})) return carbon_on_boron(s);
  if (three && ring && top_z == N && top_n == 3) return carbon_three_nitrogens(s);
  if (three && ring && top_z == N && top_n == 2) return ring_nitrogens(s, rc);
  if (three && env_is(r, {{N, 2}, {O, 1}}) && ring) return ring_carbon_n2o(s, rc);
  if (three && env_is(r, {{C, 1}, {N, 1}, {O, 1}}) && ring) return ring_carbon_cno(s, rc);
  if (three && ring && top_z == N && top_n == 1) return ring_carbon_one_nitrogen(s, rc);
  if (three && rc.intwoplanar == 1 && top_z == N && top_n == 1) return fused_carbon_nitrogen(s);
  if (three && ring && top_z == C && top_n == 2) return ring_carbon_carbons(s, rc);
  if (r.nnei == 4 && (env_is(r, {{H, 3}, {S, 1}}) || env_is(r, {{H, 2}, {C, 1}, {S, 1}})))
    return carbon_on_sulphur(s);
  if (three && env_is(r, {{C, 1}, {N, 1}, {S, 1}})) return thioamide_carbon(s);
  return {};
}

}  // namespace tesk::groups
