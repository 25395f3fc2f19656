// The ring search on small molecules: which rings the walk stores, in which
// order, their planarity, the printouts, and ring membership of one atom.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "connectivity/molecules.hpp"
#include "connectivity/rings.hpp"
#include "core/errors.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testing::MoleculeRun;

std::string dashes(int n) { return "\n" + std::string(static_cast<std::size_t>(n), '-') + "\n"; }

void search(MoleculeRun& m) {
  connect4rings(m.run);
  findrings(m.run);
}

std::vector<std::vector<int>> ring_atoms(const Run& run) {
  std::vector<std::vector<int>> out;
  for (const Ring& r : run.rings.ring) out.push_back(r.ratom);
  return out;
}

// Ten carbons: atoms 1-6 the first ring in order, 7-10 closing the second
// ring from atom 6 back to atom 1 (bonds 6-7, 7-8, 8-9, 9-10, 10-1).
void add_naphthalene(MoleculeRun& m) {
  const float xy[10][2] = {{0, 0.7f},        {1.2124f, 1.4f},   {2.4249f, 0.7f},
                           {2.4249f, -0.7f}, {1.2124f, -1.4f},  {0, -0.7f},
                           {-1.2124f, -1.4f}, {-2.4249f, -0.7f}, {-2.4249f, 0.7f},
                           {-1.2124f, 1.4f}};
  for (int i = 0; i < 10; ++i) m.add("C" + std::to_string(i + 1), 6, xy[i][0], xy[i][1], 0);
}

TEST(RingSearch, BenzeneWithHydrogens) {
  // The hydrogens (listed first) go in cycle 0; the walk stores the six
  // carbons in list order and finds them planar.
  testing::ScratchDir dir;
  MoleculeRun m;
  m.rings(3, 8);
  testing::add_benzene(m, 1.39f, 1.08f, true, 7);
  search(m);
  ASSERT_EQ(m.run.rings.nor(), 1);
  EXPECT_EQ(m.run.rings.ring[0].ratom, (std::vector<int>{7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(m.run.rings.ring[0].rsize, 6);
  EXPECT_EQ(m.run.rings.ring[0].rplan, 1);
  EXPECT_EQ(m.log.str(),
            dashes(80) +
            "\n CREATING CONNECTIVITY TABLE AND ELIMINATING OPEN ATOMS\n"
            "\n **** ELIMINATION CYCLE =    0     NUMBER OF ATOMS =     12\n"
            "        NUMBER OF ATOMS REMOVED FROM THE TABLE =       6\n"
            "\n **** ELIMINATION CYCLE =    1     NUMBER OF ATOMS =      6\n"
            "        NUMBER OF ATOMS REMOVED FROM THE TABLE =       0\n" +
            dashes(80) +
            "\n AUTOMATED SEARCH FOR   3 -  8 - MEMBERED RINGS\n"
            "\n **********  FOUND RING #    1 --->   6 - MEMBERED  **********\n"
            "\n"
            "  C7        C8        C9        C10       C11       C12     \n"
            "     7         8         9        10        11        12\n"
            "\n Planarity test for   6-atom ring : \n"
            "\n"
            "  C7        C8        C9        C10       C11       C12     \n"
            "\n     Esd atoms from the plane (sigpln) =       0.0000 ( tol =   0.1000 )\n"
            "\n     This ring is planar = .T.\n" +
            dashes(79) +
            "\n TOTAL RINGS FOUND (nor)  =      1\n");
  EXPECT_EQ(m.console.str(),
            "\n CREATING CONNECTIVITY TABLE AND ELIMINATING OPEN ATOMS\n"
            "\n **** ELIMINATION CYCLE =    0     NUMBER OF ATOMS =     12\n"
            "        NUMBER OF ATOMS REMOVED FROM THE TABLE =       6\n"
            "\n **** ELIMINATION CYCLE =    1     NUMBER OF ATOMS =      6\n"
            "        NUMBER OF ATOMS REMOVED FROM THE TABLE =       0\n"
            "\n AUTOMATED SEARCH FOR   3 -  8 - MEMBERED RINGS\n"
            "\n"
            "\n TOTAL RINGS FOUND (nor)  =      1\n");
  // reduced.ang keeps the labels, reduced_1.ang names by element and list
  // position.
  const std::string coords[6] = {"      1.3900      0.0000      0.0000\n",
                                 "      0.6950      1.2037      0.0000\n",
                                 "     -0.6950      1.2037      0.0000\n",
                                 "     -1.3900      0.0000      0.0000\n",
                                 "     -0.6950     -1.2037      0.0000\n",
                                 "      0.6950     -1.2037      0.0000\n"};
  std::string plain = "ANGSTROM\n", numbered = "ANGSTROM\n";
  for (int i = 0; i < 6; ++i) {
    const std::string label = "C" + std::to_string(i + 7);
    plain += "ATOM " + label + std::string(8 - label.size(), ' ') + coords[i];
    numbered += "ATOM C" + std::to_string(i + 1) + "      " + coords[i];
  }
  EXPECT_EQ(testing::read_file("reduced.ang"), plain);
  EXPECT_EQ(testing::read_file("reduced_1.ang"), numbered);
}

TEST(RingSearch, NaphthaleneRingsInWalkOrder) {
  // The walk starts at the fusion atom 1, goes round the first ring, closes
  // the second ring at atom 6 and, when allowed, the ten-ring perimeter at 1.
  const std::vector<int> ring1{1, 2, 3, 4, 5, 6}, ring2{6, 1, 10, 9, 8, 7},
      perimeter{1, 10, 9, 8, 7, 6, 5, 4, 3, 2};
  struct Case {
    int largest;
    std::vector<std::vector<int>> rings;
  };
  for (const Case& c : {Case{8, {ring1, ring2}}, Case{10, {ring1, ring2, perimeter}},
                        Case{5, {}}}) {
    testing::ScratchDir dir;
    MoleculeRun m;
    m.rings(3, c.largest);
    add_naphthalene(m);
    search(m);
    EXPECT_EQ(ring_atoms(m.run), c.rings) << "largest " << c.largest;
    for (const Ring& r : m.run.rings.ring) EXPECT_EQ(r.rplan, 1);
  }
}

TEST(RingSearch, WalkStartsAtTheFirstBranchAtom) {
  // Naphthalene numbered so that the fusion atoms are 2 and 3: atom 2 takes
  // list position 1 and atom 1 position 2, and every connection list swaps
  // the two positions in place. Hand-traced walk below.
  const float xy[10][2] = {{1.2124f, 1.4f},  {0, 0.7f},         {0, -0.7f},
                           {1.2124f, -1.4f}, {2.4249f, -0.7f},  {2.4249f, 0.7f},
                           {-1.2124f, -1.4f}, {-2.4249f, -0.7f}, {-2.4249f, 0.7f},
                           {-1.2124f, 1.4f}};
  for (int largest : {8, 10}) {
    testing::ScratchDir dir;
    MoleculeRun m;
    m.rings(3, largest);
    for (int i = 0; i < 10; ++i) m.add("C" + std::to_string(i + 1), 6, xy[i][0], xy[i][1], 0);
    search(m);
    std::vector<std::vector<int>> expected{{2, 1, 6, 5, 4, 3}, {3, 2, 10, 9, 8, 7}};
    if (largest == 10) expected.push_back({2, 10, 9, 8, 7, 3, 4, 5, 6, 1});
    EXPECT_EQ(ring_atoms(m.run), expected);
    EXPECT_EQ(m.run.ringsearch.newat[0], 2);
    EXPECT_EQ(m.run.ringsearch.newat[1], 1);
    EXPECT_EQ(m.run.ringsearch.icon[0], (std::vector<int>{2, 3, 10}));
  }
}

TEST(RingSearch, ChairCyclohexane) {
  // Bonds of 1.53 A with the carbons 0.25 A alternately above and below the
  // mean plane: sigpln = sqrt(6 * 0.0625 / 3) = 0.354, not planar.
  const float r = std::sqrt(1.53f * 1.53f - 0.25f);
  for (int largest : {5, 6}) {
    testing::ScratchDir dir;
    MoleculeRun m;
    m.rings(3, largest);
    for (int i = 0; i < 6; ++i)
      m.add("C" + std::to_string(i + 1), 6, r * testing::kHexagon[i][0], r * testing::kHexagon[i][1],
            i % 2 == 0 ? 0.25f : -0.25f);
    search(m);
    if (largest == 5) {
      EXPECT_EQ(m.run.rings.nor(), 0);
      EXPECT_NE(m.log.str().find("\n TOTAL RINGS FOUND (nor)  =      0\n"), std::string::npos);
    } else {
      ASSERT_EQ(m.run.rings.nor(), 1);
      EXPECT_EQ(m.run.rings.ring[0].rplan, 0);
      EXPECT_NE(m.log.str().find("(sigpln) =       0.3536 ( tol =   0.1000 )\n\n"
                                 "     This ring is planar = .F.\n"),
                std::string::npos);
    }
  }
}

TEST(RingSearch, CyclopropaneIsPlanarWithoutAFit) {
  // The hydrogen on C1 goes in cycle 0; with verbosity 3 the cycle-0 table
  // and the final table are printed.
  testing::ScratchDir dir;
  MoleculeRun m;
  m.rings(3, 8);
  m.run.opt.verbosity = 3;
  m.add("C1", 6, 0, 0, 0);
  m.add("C2", 6, 1.51f, 0, 0);
  m.add("C3", 6, 0.755f, 1.3077f, 0);
  m.add("H1", 1, -0.9f, -0.52f, 0);
  search(m);
  ASSERT_EQ(m.run.rings.nor(), 1);
  EXPECT_EQ(m.run.rings.ring[0].ratom, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(m.run.rings.ring[0].rplan, 1);
  const std::string log = m.log.str();
  EXPECT_EQ(log.find("Planarity test"), std::string::npos);
  EXPECT_NE(log.find("\n **** ELIMINATION CYCLE =    0     NUMBER OF ATOMS =      4\n"
                     "      1 C1       - C2       C3       H1      \n"
                     "      2 C2       - C1       C3      \n"
                     "      3 C3       - C1       C2      \n"
                     "      4 H1       - C1      \n"
                     "        NUMBER OF ATOMS REMOVED FROM THE TABLE =       1\n"),
            std::string::npos);
  EXPECT_NE(log.find("        NUMBER OF ATOMS REMOVED FROM THE TABLE =       0\n"
                     "\n CONNECTIVITY TABLE AFTER THE FINAL ELIMINATION CYCLE :\n"
                     "      1 C1       - C2       C3      \n"
                     "      2 C2       - C1       C3      \n"
                     "      3 C3       - C1       C2      \n"),
            std::string::npos);
}

std::string cycle_lines(const std::vector<std::pair<int, int>>& count_removed) {
  std::string out;
  for (std::size_t c = 0; c < count_removed.size(); ++c) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "\n **** ELIMINATION CYCLE =%5zu     NUMBER OF ATOMS =%7d\n"
                  "        NUMBER OF ATOMS REMOVED FROM THE TABLE = %7d\n",
                  c, count_removed[c].first, count_removed[c].second);
    out += buf;
  }
  return out;
}

TEST(RingSearch, OpenAtomsGoOneLayerPerCycle) {
  struct Case {
    const char* why;
    std::vector<std::pair<int, int>> cycles;
    int rings;
  };
  // Benzene with C4 disordered: C4 (no connections of its own) and the H go
  // first, then C3/C5, C2/C6, and C1 left with none.
  {
    testing::ScratchDir dir;
    MoleculeRun m;
    m.rings(3, 8);
    testing::add_benzene(m, 1.39f, 1.08f);
    m.run.atoms.at(4).flag = -1;
    search(m);
    EXPECT_EQ(m.run.rings.nor(), 0);
    EXPECT_NE(m.log.str().find(cycle_lines({{12, 7}, {5, 2}, {3, 2}, {1, 1}, {0, 0}})),
              std::string::npos);
  }
  // Benzene with a propyl chain on C1: the chain goes one atom per cycle
  // from its open end; the ring stays.
  {
    testing::ScratchDir dir;
    MoleculeRun m;
    m.rings(3, 8);
    testing::add_benzene(m);
    m.add("C7", 6, 2.92f, 0, 0);
    m.add("C8", 6, 3.69f, 1.32f, 0);
    m.add("C9", 6, 5.22f, 1.32f, 0);
    search(m);
    EXPECT_EQ(ring_atoms(m.run), (std::vector<std::vector<int>>{{1, 2, 3, 4, 5, 6}}));
    EXPECT_NE(m.log.str().find(cycle_lines({{9, 1}, {8, 1}, {7, 1}, {6, 0}})), std::string::npos);
  }
}

TEST(RingSearch, FewerThanThreeAtomsLeft) {
  testing::ScratchDir dir;
  MoleculeRun m;
  m.rings(3, 8);
  m.add("O1", 8, 0, 0, 0);
  m.add("H1", 1, 0.96f, 0, 0);
  m.add("H2", 1, -0.24f, 0.93f, 0);
  search(m);
  EXPECT_EQ(m.run.rings.nor(), 0);
  const std::string tail =
      "\n AUTOMATED SEARCH FOR   3 -  8 - MEMBERED RINGS\n"
      "\n THERE ARE NO ATOMS IN THE REDUCED CONNECTIVITY TABLE\n"
      "\n SEARCH FOR RINGS WILL NOT BE PERFORMED...\n";
  EXPECT_TRUE(m.log.str().ends_with(dashes(80) + tail));
  EXPECT_TRUE(m.console.str().ends_with(
      "\n AUTOMATED SEARCH FOR   3 -  8 - MEMBERED RINGS\n\n"
      "\n THERE ARE NO ATOMS IN THE REDUCED CONNECTIVITY TABLE\n"
      "\n SEARCH FOR RINGS WILL NOT BE PERFORMED...\n"));
}

std::pair<std::string, std::string> fatal(const std::function<void()>& f) {
  try {
    f();
  } catch (const FatalError& e) {
    return {e.routine(), e.message()};
  }
  return {};
}

TEST(RingSearch, FatalStops) {
  testing::ScratchDir dir;
  {
    // 21 hydrogens within bonding distance of one carbon.
    MoleculeRun m;
    m.rings(3, 8);
    m.add("C1", 6, 0, 0, 0);
    for (int i = 0; i < 21; ++i) {
      const float t = 0.3f * static_cast<float>(i), z = -1.0f + 0.095f * static_cast<float>(i);
      const float s = std::sqrt(1.0f - z * z);
      m.add("H" + std::to_string(i + 1), 1, s * std::cos(t), s * std::sin(t), z);
    }
    EXPECT_EQ(fatal([&] { connect4rings(m.run); }),
              std::make_pair(std::string("Connect4Rings"),
                             std::string("Too many connections (maxcon) to atom C1")));
  }
  {
    // 1001 separate cyclopropanes.
    MoleculeRun m;
    m.rings(3, 8);
    for (int i = 0; i < 1001; ++i) {
      const float x = 5.0f * static_cast<float>(i % 40), y = 5.0f * static_cast<float>(i / 40);
      m.add("C1", 6, x, y, 0);
      m.add("C2", 6, x + 1.51f, y, 0);
      m.add("C3", 6, x + 0.755f, y + 1.3077f, 0);
    }
    connect4rings(m.run);
    EXPECT_EQ(fatal([&] { findrings(m.run); }),
              std::make_pair(std::string("FindRings"), std::string("Too many rings (maxrings)")));
    EXPECT_EQ(m.run.rings.nor(), 1000);
  }
  {
    MoleculeRun m;
    m.rings(3, 101);
    testing::add_benzene(m);
    connect4rings(m.run);
    EXPECT_EQ(fatal([&] { findrings(m.run); }),
              std::make_pair(std::string("FindRings"),
                             std::string("Largest ring size above 100 (maxsize)")));
  }
}

TEST(RingMembership, FromTheNaphthaleneWalk) {
  // RINGS 3 8: atom 1 is in both planar six-rings (1 + 2, 6 + 6); atom 2 in
  // ring 1 only. RINGS 3 10: atom 1 is in three rings, counted only as
  // cyclic; atom 2 in rings 1 and 3 (1 + 3, 6 + 10).
  struct Case {
    int largest, atom;
    RingMembership expected;
  };
  const Case cases[] = {{8, 1, {1, 0, 1, 3, 12}},  {8, 2, {1, 1, 0, 1, 6}},
                        {8, 8, {1, 1, 0, 2, 6}},   {10, 1, {1, 0, 0, 0, 0}},
                        {10, 2, {1, 0, 1, 4, 16}}, {10, 11, {0, 0, 0, 0, 0}}};
  for (const Case& c : cases) {
    testing::ScratchDir dir;
    MoleculeRun m;
    m.rings(3, c.largest);
    add_naphthalene(m);
    m.add("H1", 1, 3.5f, 1.3f, 0);  // on C3: no ring
    search(m);
    const RingMembership got = isitcyclic(m.run, c.atom);
    EXPECT_EQ(std::make_tuple(got.cyclic, got.inplanar, got.intwoplanar, got.ring, got.size),
              std::make_tuple(c.expected.cyclic, c.expected.inplanar, c.expected.intwoplanar,
                              c.expected.ring, c.expected.size))
        << "largest " << c.largest << " atom " << c.atom;
  }
}

TEST(RingMembership, PlanarityOfTwoRings) {
  // Atom 1 in rings 2 (size 5) and 3 (size 6), with each planarity pattern.
  struct Case {
    int plan2, plan3;
    RingMembership expected;
  };
  const Case cases[] = {{1, 1, {1, 0, 1, 5, 11}},
                        {1, 0, {1, 1, 0, 2, 5}},
                        {0, 1, {1, 1, 0, 3, 6}},
                        {0, 0, {1, 0, 0, 0, 0}}};
  for (const Case& c : cases) {
    tesk::Run run;
    run.rings.ring = {Ring{4, {2, 3, 4, 5}, 1, 0}, Ring{5, {1, 2, 3, 4, 5}, c.plan2, 0},
                      Ring{6, {1, 6, 7, 8, 9, 10}, c.plan3, 0}};
    run.rings.member_of = {{2, 3}, {1, 2}};
    const RingMembership got = isitcyclic(run, 1);
    EXPECT_EQ(std::make_tuple(got.cyclic, got.inplanar, got.intwoplanar, got.ring, got.size),
              std::make_tuple(c.expected.cyclic, c.expected.inplanar, c.expected.intwoplanar,
                              c.expected.ring, c.expected.size));
  }
  tesk::Run run;
  run.rings.ring = {Ring{4, {2, 3, 4, 5}, 0, 0}};
  run.rings.member_of = {{}, {1}};
  EXPECT_EQ(isitcyclic(run, 2).cyclic, 1);
  EXPECT_EQ(isitcyclic(run, 2).inplanar, 0);  // its one ring is not planar
  EXPECT_EQ(isitcyclic(run, 7).cyclic, 0);    // beyond the searched atoms
}

TEST(RingMembership, IchkRingMatchesSizeAndMembersInAnyOrder) {
  tesk::Run run;
  run.rings.ring = {Ring{4, {1, 2, 3, 4}, 1, 0}};
  run.rings.member_of = {{1}, {1}, {1}, {1}, {}};
  EXPECT_EQ(ichk_ring(run, {3, 1, 4, 2}), 1);
  EXPECT_EQ(ichk_ring(run, {1, 2, 3}), 0);
  EXPECT_EQ(ichk_ring(run, {1, 2, 3, 5}), 0);
}

}  // namespace
}  // namespace tesk
