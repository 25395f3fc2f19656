// Bonded-neighbour search: the bond rules, the neighbour order the axis rules
// see, the printouts, and agreement of the grid search with a plain scan.
#include "connectivity/neighbours.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"
#include "model/elements.hpp"

namespace tesk {
namespace {

struct Site {
  std::string label;
  int z;
  Vec3 xc;
  float occ = 1.0f;
  int flag = 0;
};

// Atoms given in cartesian coordinates; the cell matrices stay the identity,
// so fractional and cartesian coordinates coincide.
void fill(Run& run, const std::vector<Site>& sites) {
  for (int z = 0; z < static_cast<int>(run.covrad.size()); ++z)
    run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
  for (const Site& s : sites) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.label = s.label;
    a.label.resize(8, ' ');
    a.iz = s.z;
    a.xc = s.xc;
    a.xf = s.xc;
    a.occ = s.occ;
    a.flag = s.flag;
  }
  run.atoms.natoms = static_cast<int>(sites.size());
  run.cryst.nall = run.atoms.natoms;
}

std::vector<Site> water() {
  // O-H 0.957 Angstrom, H-O-H near 104.5 degrees; H2 is the nearer hydrogen.
  return {{"O1", 8, {0.0f, 0.0f, 0.0f}},
          {"H1", 1, {0.9572f, 0.0f, 0.0f}},
          {"H2", 1, {-0.2396f, 0.9267f, 0.0f}}};
}

std::vector<int> found(const Run& run) { return run.nb.neig.jnei; }

// --- The bond criterion -------------------------------------------------

// Two atoms on the x axis at distance d: bonded or not.
bool bonded_at(int z1, int z2, float d, int flag1 = 0, float occ1 = 1.0f, int flag2 = 0,
               float occ2 = 1.0f) {
  tesk::Run run;
  fill(run, {{"A", z1, {0.0f, 0.0f, 0.0f}, occ1, flag1}, {"B", z2, {d, 0.0f, 0.0f}, occ2, flag2}});
  int disordered = 0;
  getnei(run, 1, 0.0f, disordered);
  return run.nb.neig.nnei == 1;
}

TEST(BondCriterion, LimitIsInclusiveAndTooCloseIsStrict) {
  const float cc = 0.77f + 0.77f + 0.2f;  // C-C: two radii and the tolerance
  EXPECT_TRUE(bonded_at(6, 6, cc));
  EXPECT_FALSE(bonded_at(6, 6, std::nextafter(cc, 2.0f)));
  EXPECT_TRUE(bonded_at(8, 1, 1.33f - 0.001f));   // O-H limit 0.73 + 0.40 + 0.2
  EXPECT_FALSE(bonded_at(8, 1, 1.34f));
  // Nearer than 0.5 Angstrom is never a bond; 0.5 itself is.
  EXPECT_TRUE(bonded_at(1, 1, 0.5f));
  EXPECT_FALSE(bonded_at(1, 1, std::nextafter(0.5f, 0.0f)));
  EXPECT_FALSE(bonded_at(6, 6, 0.3f));
}

// A 3d or 4d metal reaches its ligands' donor atoms 0.3 Angstrom further:
// the whole Fe(H2O)6 octahedron of Mohr's salt (Fe-O 2.08-2.14), Mn(II)-O
// and -N; not the next shell, and no other pair.
TEST(BondCriterion, MetalToDonorAtoms) {
  const struct {
    int z1, z2;
    float d;
    bool bonded;
  } rows[] = {
      {26, 8, 2.14f, true},   {26, 8, 2.39f, true},  {26, 8, 2.41f, false}, {8, 25, 2.22f, true},
      {25, 7, 2.29f, true},   {44, 17, 2.44f, true}, {29, 8, 2.95f, false}, {26, 1, 1.78f, false},
      {26, 26, 2.55f, false}, {12, 8, 2.30f, false}, {6, 8, 1.71f, false},
  };
  for (const auto& r : rows)
    EXPECT_EQ(bonded_at(r.z1, r.z2, r.d), r.bonded) << r.z1 << "-" << r.z2 << " at " << r.d;
}

TEST(BondCriterion, NanDistanceIsNoBond) {
  // 'd > limit' is false for NaN: an atom at NaN once bonded to everything.
  EXPECT_FALSE(bonded_at(6, 6, NAN));
  EXPECT_FALSE(bonded_at(6, 6, INFINITY));
}

TEST(BondCriterion, ElementsWithoutRadiusBondOnlyWithinTolerancePlusPartner) {
  // Cs (55) has radius 0.0 in the table, berkelium (97) none: both count 0.0.
  EXPECT_TRUE(bonded_at(55, 6, 0.96f));   // limit 0.0 + 0.77 + 0.2
  EXPECT_FALSE(bonded_at(55, 6, 0.98f));
  EXPECT_TRUE(bonded_at(97, 8, 0.92f));   // limit 0.0 + 0.73 + 0.2
  EXPECT_FALSE(bonded_at(97, 8, 0.94f));
  EXPECT_TRUE(bonded_at(57, 8, 2.99f));   // La: 2.07 + 0.73 + 0.2
  EXPECT_FALSE(bonded_at(0, 0, 0.6f));  // unknown element: 0.0 + 0.0 + 0.2
}

TEST(BondCriterion, DisorderComponents) {
  // Different components (occupancies 0.60 / 0.40) are never neighbours.
  EXPECT_FALSE(bonded_at(6, 6, 1.5f, -1, 0.60f, -1, 0.40f));
  // Occupancies 0.50 and 0.51 differ by no more than 0.01: same component.
  EXPECT_TRUE(bonded_at(6, 6, 1.5f, -1, 0.50f, -1, 0.51f));
  EXPECT_FALSE(bonded_at(6, 6, 1.5f, -1, 0.50f, -1, 0.52f));
  // A disordered atom next to an ordered one follows the ordinary rule.
  EXPECT_TRUE(bonded_at(6, 6, 1.5f, -1, 0.60f, 0, 1.0f));
  // Special-position atoms (flag 1) are not disordered.
  EXPECT_TRUE(bonded_at(6, 6, 1.5f, 1, 0.50f, 1, 0.25f));
}

TEST(BondCriterion, TwoAtomsOnOneSiteGiveOneNeighbour) {
  // Atoms 2 and 3 lie 0.005 Angstrom apart: the lower number wins even when
  // it is the farther of the two. At exactly 0.01 apart both count.
  tesk::Run run;
  fill(run, {{"C1", 6, {0, 0, 0}}, {"O1", 8, {1.205f, 0, 0}}, {"O1A", 8, {1.2f, 0, 0}}});
  int disordered = 0;
  getnei(run, 1, 0.0f, disordered);
  EXPECT_EQ(found(run), (std::vector<int>{2}));

  tesk::Run apart;
  fill(apart, {{"C1", 6, {0, 0, 0}}, {"O1", 8, {0, 1.25f, 0}}, {"O1A", 8, {0, 1.25f, 0.01f}}});
  getnei(apart, 1, 0.0f, disordered);
  EXPECT_EQ(found(apart), (std::vector<int>{2, 3}));
}

TEST(BondCriterion, OrderByDistanceThenAtomNumber) {
  tesk::Run run;
  fill(run, {{"C1", 6, {0, 0, 0}},
             {"H3", 1, {0, 0, 1.09f}},
             {"H1", 1, {-1.0f, 0, 0}},
             {"H2", 1, {1.0f, 0, 0}},
             {"CL1", 17, {0, 0, -1.77f}}});
  int disordered = 0;
  getnei(run, 1, 0.0f, disordered);
  EXPECT_EQ(found(run), (std::vector<int>{3, 4, 2, 5}));
  EXPECT_FLOAT_EQ(run.nb.neig.dnei[2], 1.09f);
  EXPECT_EQ(disordered, 0);
}

TEST(RadiusSearch, UsesTheRadiusInsteadOfTheBondCriterion) {
  // In radius mode the limit is rmax (inclusive), elements do not matter,
  // and the 0.5 Angstrom rule still holds.
  tesk::Run run;
  fill(run, {{"C1", 6, {0, 0, 0}},
             {"C2", 6, {3.0f, 0, 0}},
             {"C3", 6, {0, 3.5f, 0}},
             {"H1", 1, {0, 0, 0.4f}}});
  int disordered = 0;
  getnei(run, 1, 3.0f, disordered);
  EXPECT_EQ(found(run), (std::vector<int>{2}));
  getnei(run, 1, 5.0f, disordered);
  EXPECT_EQ(found(run), (std::vector<int>{2, 3}));
}

// --- Grouping and ordering -----------------------------------------------

// A carbon bonded to O, two carbons and H. C2 is nearer than C3 but carries a
// hydrogen of its own; `with_h2` false leaves both carbons with one neighbour.
void substituted_carbon(Run& run, bool with_h2) {
  std::vector<Site> s = {{"C1", 6, {0, 0, 0}},
                         {"O1", 8, {1.43f, 0, 0}},
                         {"C2", 6, {-0.5f, 1.4f, 0}},
                         {"C3", 6, {-0.5f, -0.7f, 1.3f}},
                         {"H1", 1, {0, 0, -1.09f}}};
  if (with_h2) s.push_back({"H2", 1, {-1.5f, 1.7f, 0}});
  fill(run, s);
}

TEST(NeighbourOrder, TypesByAtomicNumberMembersByDistance) {
  tesk::Run run;
  substituted_carbon(run, true);
  findnei(run, 1, 0.0f);
  const NeighbourRecord& n = run.nb.neig;
  EXPECT_EQ(n.jnei, (std::vector<int>{5, 2, 3, 4}));  // H 1.09, O 1.43, C 1.487, C 1.559
  EXPECT_EQ(n.ntyp, 3);
  EXPECT_EQ(n.ztyp, (std::vector<int>{1, 6, 8}));
  EXPECT_EQ(n.ntnei, (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(n.tnei[1], (std::vector<int>{3, 4}));
}

TEST(NeighbourOrder, IsnPutsFewerNeighboursFirstThenNearer) {
  {
    tesk::Run run;
    substituted_carbon(run, true);
    findallneighbors(run);
    sortnei(run, 1);
    // O1, then C3 (one neighbour) before the nearer C2 (two), then H1.
    EXPECT_EQ(run.nb.isn, (std::vector<int>{2, 4, 3, 5}));
    EXPECT_EQ(collectnei(run, 1), (std::vector<int>{5, 2, 3, 4, 1}));
  }
  {
    tesk::Run run;
    substituted_carbon(run, false);
    findallneighbors(run);
    sortnei(run, 1);
    EXPECT_EQ(run.nb.isn, (std::vector<int>{2, 3, 4, 5}));
  }
}

TEST(NeighbourOrder, AtomWithoutNeighbours) {
  tesk::Run run;
  fill(run, {{"NA1", 11, {0, 0, 0}}, {"CL1", 17, {5.0f, 0, 0}}});
  findallneighbors(run);
  EXPECT_EQ(run.nb.neighbors.at(1).nnei, 0);
  EXPECT_EQ(run.nb.neighbors.at(1).ntyp, 0);
  sortnei(run, 1);
  EXPECT_TRUE(run.nb.isn.empty());
  EXPECT_EQ(collectnei(run, 1), (std::vector<int>{1}));
}

// --- Fatal stops ---------------------------------------------------------

TEST(NeighbourLimits, MoreThanTwentyBondedNeighboursStops) {
  // A carbon with 21 hydrogens spread over a sphere of radius 1.0.
  std::vector<Site> s = {{"C1", 6, {0, 0, 0}}};
  for (int k = 0; k < 21; ++k) {
    float zc = 1.0f - 2.0f * (static_cast<float>(k) + 0.5f) / 21.0f;
    float r = std::sqrt(1.0f - zc * zc);
    float phi = 2.39996f * static_cast<float>(k);
    s.push_back({"H" + std::to_string(k + 1), 1, {r * std::cos(phi), r * std::sin(phi), zc}});
  }
  tesk::Run run;
  fill(run, s);
  try {
    findallneighbors(run);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "FindAllNeighbors");
    EXPECT_EQ(e.message(), "atom C1 has more than 20 bonded neighbours");
  }
}

TEST(NeighbourLimits, MoreThanAThousandInOneSearchStops) {
  std::vector<Site> s;
  for (int k = 0; k < 1002; ++k)
    s.push_back({"C" + std::to_string(k + 1), 6, {0.6f * static_cast<float>(k), 0, 0}});
  tesk::Run run;
  fill(run, s);
  std::ostringstream log, console;
  run.out.log.attach(log);
  run.out.console.attach(console);
  int disordered = 0;
  try {
    getnei(run, 1, 1000.0f, disordered);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_EQ(e.kind(), FatalError::Kind::Stop);
  }
  const std::string text =
      "\n GetNei :: atom =        1  C1      \n"
      "           rmax =     1000.000\n"
      "           inei exceeds dimension maxnei (   1000 )\n\n";
  EXPECT_EQ(log.str(), text);
  EXPECT_EQ(console.str(), text);
}

TEST(NeighbourLimits, SortNeiChecksTheCount) {
  tesk::Run run;
  fill(run, water());
  findallneighbors(run);
  run.nb.neighbors.at(1).nnei = 3;
  try {
    sortnei(run, 1);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "SortNei");
    EXPECT_EQ(e.message(), "l.ne.nnei(k)");
  }
}

// --- Printouts -----------------------------------------------------------

const char* const kWaterFullPass =
    "\n"
    " -------------------------------------------------------------------------------\n"
    "\n"
    " IDENTIFYING COVALENTLY-BONDED NEIGHBORS FOR EACH ATOM\n"
    "\n"
    " Printout of neighbors of all atoms sorted by \n"
    "    1) atomic number (descending)\n"
    "    2) hybridization ( ascending)\n"
    "    3) distance      ( ascending)\n"
    "\n"
    " Atom #      1 = O1       :\n"
    "        1   1      0.957       3   H2      \n"
    "        1   1      0.957       2   H1      \n"
    "\n"
    " Atom #      2 = H1       :\n"
    "        8   2      0.957       1   O1      \n"
    "\n"
    " Atom #      3 = H2       :\n"
    "        8   2      0.957       1   O1      \n";

TEST(NeighbourPrintout, WaterFullPass) {
  tesk::Run run;
  fill(run, water());
  std::ostringstream log, console;
  run.out.log.attach(log);
  run.out.console.attach(console);
  findallneighbors(run);
  EXPECT_EQ(log.str(), kWaterFullPass);
  EXPECT_EQ(console.str(), "\n IDENTIFYING COVALENTLY-BONDED NEIGHBORS FOR EACH ATOM\n");
}

const char* const kWaterSearch =
    "\n"
    " Covalently-bonded neighbors to O1       =    2\n"
    "\n"
    "     i       n     r(Ang)    atom       occ\n"
    "     1       3      0.957    H2         1.0000\n"
    "     2       2      0.957    H1         1.0000\n";

const char* const kWaterTypes =
    "\n"
    "    There is(are)    1 atom type(s) among neighbors\n"
    "\n"
    "    Type =    1\n"
    "      atomic number =    1\n"
    "      neighbors of this type =    2\n"
    "      atoms : H2       H1      \n";

TEST(NeighbourPrintout, WaterSearchAtVerbosityOneAndTwo) {
  for (int verbosity : {1, 2}) {
    tesk::Run run;
    fill(run, water());
    run.opt.verbosity = verbosity;
    std::ostringstream log;
    run.out.log.attach(log);
    run.nb.iprint = 1;
    findnei(run, 1, 0.0f);
    std::string expected = kWaterSearch;
    if (verbosity == 2) expected += kWaterTypes;
    EXPECT_EQ(log.str(), expected) << "verbosity " << verbosity;

    // The stored record prints the same, without the trace of the search.
    run.nb.iprint = 0;
    findallneighbors(run);
    std::ostringstream out;
    Sink sink;
    sink.attach(out);
    prtatomnei(run, 1, sink);
    EXPECT_EQ(out.str(), expected) << "verbosity " << verbosity;
  }
}

TEST(NeighbourPrintout, RadiusSearchAndDisorderNote) {
  tesk::Run run;
  fill(run, {{"C1", 6, {0, 0, 0}, 1.0f, 0}, {"C2A", 6, {1.52f, 0, 0}, 0.6f, -1}});
  std::ostringstream log;
  run.out.log.attach(log);
  run.nb.iprint = 1;
  findnei(run, 1, 2.5f);
  EXPECT_EQ(log.str(),
            "\n"
            " Neighbors of C1       within   2.500 Ang =    1\n"
            "\n"
            "     i       n     r(Ang)    atom       occ\n"
            "     1       2      1.520    C2A        0.6000\n"
            "\n"
            "    Note : at least 1 neighbor is disordered\n");
}

// --- Moving atoms -------------------------------------------------------

TEST(SearchGrid, MovedAtomsAreFoundWhereTheyAre) {
  tesk::Run run;
  fill(run, water());
  findnei(run, 1, 0.0f);
  ASSERT_EQ(run.nb.neig.nnei, 2);
  set_atom_xc(run, 2, {8.0f, 0, 0});
  findnei(run, 1, 0.0f);
  EXPECT_EQ(found(run), (std::vector<int>{3}));
  set_atom_xc(run, 2, {0, 0, 1.0f});
  findnei(run, 1, 0.0f);
  EXPECT_EQ(found(run), (std::vector<int>{3, 2}));
}

// --- The grid search equals the plain scan -------------------------------

struct PlainResult {
  std::vector<int> jnei;
  std::vector<float> dnei;
  int disordered = 0;
};

// Every atom in ascending number, then a bubble sort that exchanges only on
// a strictly greater distance.
PlainResult plain_getnei(const Run& run, int i, float rmax) {
  PlainResult r;
  const Atom& a = run.atoms.at(i);
  auto rad = [&](int z) { return z >= 1 && z <= kMaxRadiusZ ? run.covrad[static_cast<std::size_t>(z)] : 0.0f; };
  for (int j = 1; j <= run.cryst.nall; ++j) {
    if (j == i) continue;
    const Atom& b = run.atoms.at(j);
    if (a.flag == -1 && b.flag == -1 && std::fabs(a.occ - b.occ) > 0.01f) continue;
    float d = dist(a.xc, b.xc);
    if (rmax > 0.0f) {
      if (d > rmax) continue;
    } else if (d > rad(a.iz) + rad(b.iz) + run.opt.tol1()) {
      continue;
    }
    if (d < 0.5f) continue;
    bool same = false;
    for (int k : r.jnei) same = same || dist(b.xc, run.atoms.at(k).xc) < 0.01f;
    if (same) continue;
    r.jnei.push_back(j);
    r.dnei.push_back(d);
    if (b.flag == -1) r.disordered = 1;
  }
  for (std::size_t pass = 0; pass < r.jnei.size(); ++pass) {
    for (std::size_t k = 0; k + 1 < r.jnei.size(); ++k) {
      if (r.dnei[k] > r.dnei[k + 1]) {
        std::swap(r.dnei[k], r.dnei[k + 1]);
        std::swap(r.jnei[k], r.jnei[k + 1]);
      }
    }
  }
  return r;
}

// Random atoms in a box, with atoms doubled onto nearly the same site (within
// 0.001 and 0.01 Angstrom), disorder components and atoms placed at exactly a
// bond length, so that every rule and tie is exercised.
void random_structure(Run& run, std::mt19937& rng, int n, float box) {
  std::uniform_real_distribution<float> pos(0.0f, box), unit(0.0f, 1.0f), small(-0.006f, 0.006f);
  const int elements[] = {1, 1, 6, 6, 7, 8, 16, 17, 0, 60};
  const float occs[] = {0.5f, 0.505f, 0.51f, 0.6f, 0.4f};
  std::vector<Site> s;
  for (int k = 0; k < n; ++k) {
    Site site{"X" + std::to_string(k + 1), elements[rng() % 10], {pos(rng), pos(rng), pos(rng)}};
    float r = unit(rng);
    if (k > 0 && r < 0.15f) {
      const Site& prev = s[rng() % s.size()];
      site.xc = prev.xc;
      if (r < 0.1f) site.xc = {prev.xc[0] + small(rng), prev.xc[1] + small(rng), prev.xc[2]};
      if (r < 0.03f) site.xc[2] = prev.xc[2] + 1.54f;  // a C-C bond length away
    }
    if (unit(rng) < 0.25f) {
      site.flag = -1;
      site.occ = occs[rng() % 5];
    }
    s.push_back(site);
  }
  fill(run, s);
}

TEST(GridSearch, EqualsPlainScanOnRandomBoxes) {
  std::mt19937 rng(20240611);
  for (int trial = 0; trial < 8; ++trial) {
    tesk::Run run;
    random_structure(run, rng, 50 + 25 * trial, 6.0f + 1.2f * static_cast<float>(trial));
    run.opt.tols[0] = trial % 3 == 0 ? 0.4f : 0.2f;
    for (float rmax : {0.0f, 2.6f, 7.0f}) {
      for (int i = 1; i <= run.cryst.nall; ++i) {
        int disordered = -1;
        getnei(run, i, rmax, disordered);
        PlainResult p = plain_getnei(run, i, rmax);
        ASSERT_EQ(run.nb.neig.jnei, p.jnei) << "trial " << trial << " atom " << i << " r " << rmax;
        ASSERT_EQ(run.nb.neig.dnei, p.dnei);
        ASSERT_EQ(disordered, p.disordered);
      }
    }
  }
}

TEST(GridSearch, FullPassEqualsPlainScan) {
  std::mt19937 rng(7);
  tesk::Run run;
  random_structure(run, rng, 300, 16.0f);
  findallneighbors(run);
  for (int i = 1; i <= run.cryst.nall; ++i) {
    PlainResult p = plain_getnei(run, i, 0.0f);
    const NeighbourRecord& rec = run.nb.neighbors.at(i);
    ASSERT_EQ(rec.jnei, p.jnei) << "atom " << i;
    ASSERT_EQ(rec.dnei, p.dnei);
    int members = 0;
    for (int t = 0; t < rec.ntyp; ++t) members += rec.ntnei[static_cast<std::size_t>(t)];
    EXPECT_EQ(members, rec.nnei);
  }
}

}  // namespace
}  // namespace tesk

namespace tesk {
namespace {

// The near-shell answer equals the first accepted atom of the whole search,
// also after atoms were moved onto and off other atoms' sites.
TEST(GridSearch, NearShellAndMovedAtomsAgreeWithPlainScan) {
  std::mt19937 rng(99);
  tesk::Run run;
  random_structure(run, rng, 400, 14.0f);
  for (int i = 1; i <= run.cryst.nall; i += 7) {
    auto accept = [&](int j) { return (j % 3 != 0) && run.atoms.at(j).iz != 1; };
    int want = 0;
    for (int j : plain_getnei(run, i, 10.0f).jnei)
      if (accept(j)) {
        want = j;
        break;
      }
    EXPECT_EQ(first_in_distance_order(run, i, 10.0f, accept), want) << "atom " << i;
  }
  for (int k = 1; k <= 60; ++k) {
    const int a = 1 + static_cast<int>(rng() % 400), b = 1 + static_cast<int>(rng() % 400);
    Vec3 x = run.atoms.at(b).xc;
    if (k % 2 == 0) x[0] += 0.004f;  // onto b's site, or next to it
    set_atom_xc(run, a, x);
  }
  for (int i = 1; i <= run.cryst.nall; ++i) {
    int disordered = -1;
    getnei(run, i, 3.0f, disordered);
    ASSERT_EQ(run.nb.neig.jnei, plain_getnei(run, i, 3.0f).jnei) << "atom " << i;
  }
}

}  // namespace
}  // namespace tesk
