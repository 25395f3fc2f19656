// Functional-group recognition on small molecules built from ideal geometry:
// every atom of each molecule is classified, names are compared for the
// atoms that get one, and every other atom must end without a group.
#include "databank/functional_groups.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "core/errors.hpp"
#include "databank/molecule_builder.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testkit::Molecule;
using Groups = std::map<std::string, std::string>;  // label -> group name

// Three staggered hydrogens on carbon c, bonded along c-from, with ref
// fixing the torsions.
void methyl(Molecule& m, int c, int from, int ref, const std::string& prefix) {
  for (int k = 0; k < 3; ++k)
    m.bonded(prefix + std::to_string(k + 1), c, 1.09, from, 109.5, ref, 60.0 + 120.0 * k);
}

// A benzene ring C1..C6 (1.39 A) with hydrogens H2..H6 on C2..C6; C1 is left
// for the substituent.
std::vector<int> phenyl(Molecule& m) {
  std::vector<int> c = m.ring({"C1", "C2", "C3", "C4", "C5", "C6"}, 1.39f);
  for (int k = 1; k < 6; ++k) m.radial("H" + std::to_string(k + 1), c[static_cast<std::size_t>(k)], 1.09f);
  return c;
}

class FunctionalGroups : public ::testing::Test {
 protected:
  void SetUp() override { run.out.log.attach(log); }

  // Classifies every atom in input order, as the per-atom loop does, checks
  // that each row is either flag 1 with a name or flag 0 with a blank, and
  // returns the names given.
  Groups classify(const Molecule& m) {
    m.load(run);
    for (int i = 1; i <= m.size(); ++i) detexcept(run, i);
    Groups named;
    for (int i = 1; i <= m.size(); ++i) {
      const ExceptRow& row = run.db.except.at(static_cast<std::size_t>(i - 1));
      EXPECT_EQ(row.group.size(), 40u) << m.label(i);
      std::string name = row.group.substr(0, row.group.find_last_not_of(' ') + 1);
      EXPECT_EQ(row.flag, name.empty() ? 0 : 1) << m.label(i) << " [" << name << "]";
      if (!name.empty()) named[m.label(i)] = name;
    }
    return named;
  }

  testing::ScratchDir scratch;  // the ring search and printgroup write side files
  tesk::Run run;
  std::ostringstream log;
};

// ---------------------------------------------------------------- hydroxyl

TEST_F(FunctionalGroups, MethanolIsAnAlcoholFromOxygenAndHydrogen) {
  Molecule m;
  int c = m.at("C1", {0, 0, 0});
  int o = m.at("O1", {1.43f, 0, 0});
  int h = m.bonded("H1", o, 0.97, c, 108.5, 0, 0);
  methyl(m, c, o, h, "H1");
  EXPECT_EQ(classify(m), (Groups{{"O1", "alcohol"}, {"H1", "alcohol"}}));
}

TEST_F(FunctionalGroups, PhenolOxygenHydrogenAndRingCarbon) {
  Molecule m;
  std::vector<int> c = phenyl(m);
  int o = m.radial("O1", c[0], 1.36f);
  m.bonded("H1", o, 0.97, c[0], 109.0, c[1], 0.0);
  // The ring carbon carrying OH is "phenolic"; the CH carbons only pass the
  // ring-alkene check, whose neighbours are not sp3.
  EXPECT_EQ(classify(m), (Groups{{"C1", "phenolic"}, {"O1", "phenol"}, {"H1", "phenol"}}));
}

TEST_F(FunctionalGroups, WaterHydrogenIsAnUnknownHydroxyl) {
  Molecule m;
  int o = m.at("O1", {0, 0, 0});
  int h1 = m.at("H1", {0.97f, 0, 0});
  m.bonded("H2", o, 0.97, h1, 104.5, 0, 0);
  EXPECT_EQ(classify(m), Groups{});
  // Both hydrogens end in the same unknown branch; neither calls printgroup.
  std::string unknown =
      "\n DetExcept :: checking x-o-H group...\n"
      "\n DetExcept :: Unknown x-o-H [1] functional group\n"
      "\n See file group.ang for more info...\n\n";
  EXPECT_NE(log.str().find(unknown + unknown), std::string::npos) << log.str();
  EXPECT_FALSE(std::filesystem::exists("group.ang"));
}

TEST_F(FunctionalGroups, BoronicAcidHydrogen) {
  Molecule m;
  int c = m.at("C1", {0, 0, 0});
  int b = m.at("B1", {1.57f, 0, 0});
  int o1 = m.bonded("O1", b, 1.36, c, 120.0, 0, 0);
  int o2 = m.bonded("O2", b, 1.36, c, 120.0, o1, 180.0);
  m.bonded("H1", o1, 0.97, b, 112.0, c, 0.0);
  m.bonded("H2", o2, 0.97, b, 112.0, c, 180.0);
  methyl(m, c, b, o1, "H1");
  EXPECT_EQ(classify(m), (Groups{{"H1", "b-o-H"}, {"H2", "b-o-H"}}));
}

// ---------------------------------------------------------------- carboxyl family

// CH3-C(=O)-O2 with an optional H on O2 (acid) or none (the anion).
Molecule acetic(bool acid) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int c2 = m.at("C2", {1.52f, 0, 0});
  int o1 = m.bonded("O1", c2, acid ? 1.21 : 1.26, c1, 123.0, 0, 0);
  int o2 = m.bonded("O2", c2, acid ? 1.31 : 1.26, c1, 112.0, o1, 180.0);
  if (acid) m.bonded("H1", o2, 0.97, c2, 107.0, o1, 0.0);
  methyl(m, c1, c2, o1, "H1");
  return m;
}

TEST_F(FunctionalGroups, AceticAcidEveryAtomOfTheCarboxylSaysCarboxylic) {
  EXPECT_EQ(classify(acetic(true)), (Groups{{"C2", "carboxylic"},
                                           {"O1", "carboxylic"},
                                           {"O2", "carboxylic"},
                                           {"H1", "carboxylic"}}));
}

TEST_F(FunctionalGroups, AcetateBothOxygensAndCarbonAreCarboxylate) {
  EXPECT_EQ(classify(acetic(false)),
            (Groups{{"C2", "carboxylate"}, {"O1", "carboxylate"}, {"O2", "carboxylate"}}));
}

TEST_F(FunctionalGroups, MethylAcetateCarbonylBridgeAndCarbonAreEster) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int c2 = m.at("C2", {1.50f, 0, 0});
  int o1 = m.bonded("O1", c2, 1.21, c1, 125.0, 0, 0);
  int o2 = m.bonded("O2", c2, 1.34, c1, 111.0, o1, 180.0);
  int c3 = m.bonded("C3", o2, 1.45, c2, 116.0, o1, 0.0);
  methyl(m, c1, c2, o1, "H1");
  methyl(m, c3, o2, c2, "H3");
  // The methoxy carbon (H3 O1) and the acyl methyl have no rule of their own.
  EXPECT_EQ(classify(m), (Groups{{"C2", "ester"}, {"O1", "ester"}, {"O2", "ester"}}));
}

TEST_F(FunctionalGroups, AceticAnhydrideBothHalvesAndTheBridge) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int c2 = m.at("C2", {1.50f, 0, 0});
  int o1 = m.bonded("O1", c2, 1.20, c1, 124.0, 0, 0);
  int o3 = m.bonded("O3", c2, 1.39, c1, 111.0, o1, 180.0);
  int c3 = m.bonded("C3", o3, 1.39, c2, 120.0, o1, 0.0);
  m.bonded("O2", c3, 1.20, o3, 122.0, c2, 0.0);
  int c4 = m.bonded("C4", c3, 1.50, o3, 111.0, c2, 180.0);
  methyl(m, c1, c2, o1, "H1");
  methyl(m, c4, c3, o3, "H4");
  EXPECT_EQ(classify(m), (Groups{{"C2", "anhydride"},
                                 {"C3", "anhydride"},
                                 {"O1", "anhydride"},
                                 {"O2", "anhydride"},
                                 {"O3", "anhydride"}}));
}

// ---------------------------------------------------------------- carbonyls

TEST_F(FunctionalGroups, AcetoneOxygenAndCarbonAreKetone) {
  Molecule m;
  int c2 = m.at("C2", {0, 0, 0});
  int o = m.at("O1", {1.21f, 0, 0});
  int c1 = m.bonded("C1", c2, 1.51, o, 121.5, 0, 0);
  int c3 = m.bonded("C3", c2, 1.51, o, 121.5, c1, 180.0);
  methyl(m, c1, c2, o, "H1");
  methyl(m, c3, c2, o, "H3");
  EXPECT_EQ(classify(m), (Groups{{"C2", "ketone"}, {"O1", "ketone"}}));
}

TEST_F(FunctionalGroups, AcetoneOxygenLogsOnlyItsCheckingLine) {
  Molecule m;
  int c2 = m.at("C2", {0, 0, 0});
  int o = m.at("O1", {1.21f, 0, 0});
  int c1 = m.bonded("C1", c2, 1.51, o, 121.5, 0, 0);
  int c3 = m.bonded("C3", c2, 1.51, o, 121.5, c1, 180.0);
  methyl(m, c1, c2, o, "H1");
  methyl(m, c3, c2, o, "H3");
  m.load(run);
  log.str("");
  detexcept(run, o);
  EXPECT_EQ(log.str(), "\n DetExcept :: checking (?)c=O group...\n");
  const ExceptRow& row = run.db.except.at(static_cast<std::size_t>(o - 1));
  EXPECT_EQ(row.flag, 1);
  EXPECT_EQ(row.group, "ketone" + std::string(34, ' '));
}

TEST_F(FunctionalGroups, AcetaldehydeOxygen) {
  Molecule m;
  int c2 = m.at("C2", {0, 0, 0});
  int o = m.at("O1", {1.21f, 0, 0});
  int c1 = m.bonded("C1", c2, 1.50, o, 124.0, 0, 0);
  m.bonded("H2", c2, 1.10, o, 121.0, c1, 180.0);
  methyl(m, c1, c2, o, "H1");
  EXPECT_EQ(classify(m), (Groups{{"O1", "aldehyde"}}));
}

TEST_F(FunctionalGroups, AcetamideOxygenAndPlanarNitrogenHydrogens) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int c2 = m.at("C2", {1.52f, 0, 0});
  int o = m.bonded("O1", c2, 1.23, c1, 121.0, 0, 0);
  int n = m.bonded("N1", c2, 1.33, c1, 116.0, o, 180.0);
  m.bonded("H1", n, 1.01, c2, 120.0, o, 0.0);
  m.bonded("H2", n, 1.01, c2, 120.0, o, 180.0);
  methyl(m, c1, c2, o, "H1");
  // The amide carbon (C1 N1 O1 outside rings) has no rule of its own.
  EXPECT_EQ(classify(m),
            (Groups{{"O1", "amide"}, {"H1", "planar amine"}, {"H2", "planar amine"}}));
}

TEST_F(FunctionalGroups, UreaOxygen) {
  Molecule m;
  int c = m.at("C1", {0, 0, 0});
  int o = m.at("O1", {1.26f, 0, 0});
  int n1 = m.bonded("N1", c, 1.34, o, 121.0, 0, 0);
  int n2 = m.bonded("N2", c, 1.34, o, 121.0, n1, 180.0);
  m.bonded("H1", n1, 1.01, c, 120.0, o, 0.0);
  m.bonded("H2", n1, 1.01, c, 120.0, o, 180.0);
  m.bonded("H3", n2, 1.01, c, 120.0, o, 0.0);
  m.bonded("H4", n2, 1.01, c, 120.0, o, 180.0);
  // The carbon (N2 O1) is outside any ring, where its rule does not apply.
  EXPECT_EQ(classify(m), (Groups{{"O1", "urea"},
                                 {"H1", "planar amine"},
                                 {"H2", "planar amine"},
                                 {"H3", "planar amine"},
                                 {"H4", "planar amine"}}));
}

// ---------------------------------------------------------------- nitrogen

TEST_F(FunctionalGroups, NitrobenzeneRingCarbonAndNitroOxygens) {
  Molecule m;
  std::vector<int> c = phenyl(m);
  int n = m.radial("N1", c[0], 1.47f);
  m.bonded("O1", n, 1.22, c[0], 118.0, c[1], 0.0);
  m.bonded("O2", n, 1.22, c[0], 118.0, c[1], 180.0);
  EXPECT_EQ(classify(m), (Groups{{"C1", "nitrophenyl"}, {"O1", "NO2"}, {"O2", "NO2"}}));
}

TEST_F(FunctionalGroups, MethylammoniumCarbonNamesTheAmmonium) {
  Molecule m;
  int c = m.at("C1", {0, 0, 0});
  int n = m.at("N1", {1.49f, 0, 0});
  int h = m.bonded("H1", c, 1.09, n, 109.5, 0, 0);
  m.bonded("H2", c, 1.09, n, 109.5, h, 120.0);
  m.bonded("H3", c, 1.09, n, 109.5, h, -120.0);
  for (int k = 0; k < 3; ++k) m.bonded("H" + std::to_string(k + 4), n, 1.03, c, 109.5, h, 60.0 + 120.0 * k);
  // Hydrogens on a four-connected N have no rule.
  EXPECT_EQ(classify(m), (Groups{{"C1", "ammonium"}}));
  EXPECT_NE(log.str().find("\n Checking connected N-atom = N1      \n"), std::string::npos);
}

// Imidazole: N1(H)-C2(H)=N3-C4(H)=C5(H)-N1, a regular pentagon.
TEST_F(FunctionalGroups, ImidazoleRingNitrogens) {
  Molecule m;
  std::vector<int> r = m.ring({"N1", "C2", "N3", "C4", "C5"}, 1.36f);
  m.radial("H1", r[0], 1.01f);
  m.radial("H2", r[1], 1.08f);
  m.radial("H4", r[3], 1.08f);
  m.radial("H5", r[4], 1.08f);
  // C2 sits between the NH (3 neighbours) and the bare N (2): mixed. C4 and
  // C5 each see one ring N, bare and substituted (by H) respectively.
  EXPECT_EQ(classify(m), (Groups{{"C2", "mixed nitrogens"},
                                 {"C4", "non-substituted nitrogen"},
                                 {"C5", "substituted nitrogen"},
                                 {"H1", "aromatic"}}));
  EXPECT_NE(log.str().find(" i1N, i2N ="), std::string::npos);
}

// N,N-dimethylformamide: the flat N joins one sp2 and two sp3 carbons; the
// formyl O (H N O on its carbon) fits no carbonyl rule and is reported.
TEST_F(FunctionalGroups, DimethylformamideNitrogenAndUnknownCarbonyl) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int o = m.at("O1", {1.23f, 0, 0});
  int n = m.bonded("N1", c1, 1.34, o, 125.0, 0, 0);
  m.bonded("H1", c1, 1.10, o, 120.0, n, 180.0);
  int c2 = m.bonded("C2", n, 1.45, c1, 121.0, o, 0.0);
  int c3 = m.bonded("C3", n, 1.45, c1, 121.0, o, 180.0);
  methyl(m, c2, n, c1, "H2");
  methyl(m, c3, n, c1, "H3");
  EXPECT_EQ(classify(m), (Groups{{"N1", "csp2sp3sp3"},
                                 {"C2", "planar amine"},
                                 {"C3", "planar amine"}}));
  EXPECT_NE(log.str().find("\n DetExcept :: checking (?)c=O group...\n"
                           "\n DetExcept :: Unknown (?)c=O [3] functional group\n"
                           "\n See file group.ang for more info...\n\n"),
            std::string::npos);
  // 'ATOM ', the label in 8 columns, two blanks, then x y z as 3f12.4.
  std::string ang = testing::read_file("group.ang");
  EXPECT_EQ(ang.substr(0, ang.find('\n', 9) + 1),
            "ANGSTROM\nATOM O1              1.2300      0.0000      0.0000\n");
}

TEST_F(FunctionalGroups, TrimethylamineCarbonsSeeAPyramidalAmine) {
  Molecule m;
  int n = m.at("N1", {0, 0, 0});
  int c1 = m.at("C1", {1.45f, 0, 0});
  int c2 = m.bonded("C2", n, 1.45, c1, 110.9, 0, 0);
  int c3 = m.bonded("C3", n, 1.45, c1, 110.9, c2, 121.0);
  methyl(m, c1, n, c2, "H1");
  methyl(m, c2, n, c3, "H2");
  methyl(m, c3, n, c1, "H3");
  EXPECT_EQ(classify(m), (Groups{{"C1", "pyramidal amine"},
                                 {"C2", "pyramidal amine"},
                                 {"C3", "pyramidal amine"}}));
}

// Acetone oxime: the N is "N-OH"; its hydroxyl H sits on an O whose other
// partner is N, which the hydroxyl-hydrogen rule does not know.
TEST_F(FunctionalGroups, AcetoneOximeNitrogen) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int n = m.at("N1", {1.28f, 0, 0});
  int o = m.bonded("O1", n, 1.41, c1, 111.0, 0, 0);
  m.bonded("H1", o, 0.97, n, 103.0, c1, 180.0);
  int c2 = m.bonded("C2", c1, 1.50, n, 116.0, o, 0.0);
  int c3 = m.bonded("C3", c1, 1.50, n, 124.0, o, 180.0);
  methyl(m, c2, c1, n, "H2");
  methyl(m, c3, c1, n, "H3");
  EXPECT_EQ(classify(m), (Groups{{"N1", "N-OH"}}));
  EXPECT_NE(log.str().find("\n DetExcept :: Unknown x-o-H [2] functional group\n"),
            std::string::npos);
}

// H2N-C(=O)-O-CH3: carbon, carbonyl O and ester O all name the carbamate ester.
TEST_F(FunctionalGroups, MethylCarbamate) {
  Molecule m;
  int c1 = m.at("C1", {0, 0, 0});
  int o1 = m.at("O1", {1.22f, 0, 0});
  int n = m.bonded("N1", c1, 1.35, o1, 125.0, 0, 0);
  int o2 = m.bonded("O2", c1, 1.35, o1, 124.0, n, 180.0);
  int c2 = m.bonded("C2", o2, 1.44, c1, 116.0, o1, 0.0);
  m.bonded("H1", n, 1.01, c1, 120.0, o1, 0.0);
  m.bonded("H2", n, 1.01, c1, 120.0, o1, 180.0);
  methyl(m, c2, o2, c1, "H3");
  EXPECT_EQ(classify(m), (Groups{{"C1", "carbamate ester"},
                                 {"O1", "carbamate ester"},
                                 {"O2", "carbamate ester"},
                                 {"H1", "planar amine"},
                                 {"H2", "planar amine"}}));
}

// 2-Pyridone: the ring C=O carbon has C, N and O with N and O nearest (the
// N is pulled in so that C2-N1 is shorter than C2-C3), an exocyclic O.
TEST_F(FunctionalGroups, PyridoneRingCarbonsAndCarbonylOxygen) {
  Molecule m;
  std::vector<int> r = m.ring({"N1", "C2", "C3", "C4", "C5", "C6"}, 1.39f);
  m.move(r[0], {-0.01f, 0.02f, 0.0f});
  m.radial("O1", r[1], 1.24f);
  m.radial("H1", r[0], 1.01f);
  for (int k = 2; k < 6; ++k) m.radial("H" + std::to_string(k + 1), r[static_cast<std::size_t>(k)], 1.08f);
  EXPECT_EQ(classify(m), (Groups{{"C2", "amido"},
                                 {"C6", "substituted nitrogen"},
                                 {"O1", "aromatamide"},
                                 {"H1", "aromatic"}}));
}

// Phenolate: the ring carbon's O has only that carbon; seen from the O, its
// carbon is a ring carbon whose first type is C with 2 members.
TEST_F(FunctionalGroups, PhenolateRingCarbonAndOxygen) {
  Molecule m;
  std::vector<int> c = phenyl(m);
  m.radial("O1", c[0], 1.30f);
  EXPECT_EQ(classify(m), (Groups{{"C1", "phenolate"}, {"O1", "aromatketone"}}));
}

// Aniline: the exocyclic N has three neighbours, all H or C; its flat
// hydrogens see a planar amine outside any ring.
TEST_F(FunctionalGroups, AnilineRingCarbonAndAmineHydrogens) {
  Molecule m;
  std::vector<int> c = phenyl(m);
  int n = m.radial("N1", c[0], 1.40f);
  m.bonded("H1", n, 1.01, c[0], 120.0, c[1], 0.0);
  m.bonded("H7", n, 1.01, c[0], 120.0, c[1], 180.0);
  EXPECT_EQ(classify(m),
            (Groups{{"C1", "aminophenyl"}, {"H1", "planar amine"}, {"H7", "planar amine"}}));
}

// 2-Aminopyrimidine: C2 has three N neighbours, two in the ring (2
// neighbours each) and the NH2 (3): largest 3, sum 7. C4 and C6 each see one
// bare ring N.
TEST_F(FunctionalGroups, AminopyrimidineCarbonBetweenThreeNitrogens) {
  Molecule m;
  std::vector<int> r = m.ring({"N1", "C2", "N3", "C4", "C5", "C6"}, 1.39f);
  for (int k : {3, 4, 5}) m.radial("H" + std::to_string(k + 1), r[static_cast<std::size_t>(k)], 1.08f);
  int n = m.radial("N7", r[1], 1.34f);
  m.bonded("H7", n, 1.01, r[1], 120.0, r[0], 0.0);
  m.bonded("H8", n, 1.01, r[1], 120.0, r[0], 180.0);
  EXPECT_EQ(classify(m), (Groups{{"C2", "3N-sp2(232)"},
                                 {"C4", "non-substituted nitrogen"},
                                 {"C6", "non-substituted nitrogen"},
                                 {"H7", "planar amine"},
                                 {"H8", "planar amine"}}));
  EXPECT_NE(log.str().find("\n DetExcept :: checking n-Cn-n group...\n"), std::string::npos);
}

// ---------------------------------------------------------------- phosphorus

// P at the origin with four oxygens at 1.54 A on tetrahedral directions.
std::vector<int> tetrahedral_po4(Molecule& m) {
  const float d = 1.54f / std::sqrt(3.0f);
  int p = m.at("P1", {0, 0, 0});
  std::vector<int> ids{p};
  ids.push_back(m.at("O1", {d, d, d}));
  ids.push_back(m.at("O2", {d, -d, -d}));
  ids.push_back(m.at("O3", {-d, d, -d}));
  ids.push_back(m.at("O4", {-d, -d, d}));
  return ids;
}

// The terminal O's name counts the bridging O-X bonds on its P: one P-O-C
// in methyl phosphate makes the neighbour sum 1+1+1+2 = 5.
TEST_F(FunctionalGroups, MethylPhosphateTerminalOxygens) {
  Molecule m;
  std::vector<int> p = tetrahedral_po4(m);
  int c = m.bonded("C1", p[4], 1.43, p[0], 118.0, p[1], 180.0);
  methyl(m, c, p[4], p[0], "H1");
  EXPECT_EQ(classify(m), (Groups{{"P1", "o3-P(ox)"},
                                 {"O1", "O3-p(ox)"},
                                 {"O2", "O3-p(ox)"},
                                 {"O3", "O3-p(ox)"}}));
}

// O=P(OH)3: neighbour sum 1+2+2+2 = 7; the OH hydrogens are "phosp... acid".
TEST_F(FunctionalGroups, PhosphoricAcid) {
  Molecule m;
  std::vector<int> p = tetrahedral_po4(m);
  for (int k = 2; k <= 4; ++k)
    m.bonded("H" + std::to_string(k), p[static_cast<std::size_t>(k)], 0.97, p[0], 110.0, p[1], 180.0);
  EXPECT_EQ(classify(m), (Groups{{"P1", "o-P(ox)3"},
                                 {"O1", "O-p(ox)3"},
                                 {"H2", "phosp... acid"},
                                 {"H3", "phosp... acid"},
                                 {"H4", "phosp... acid"}}));
}

// PO4(3-): the P's own rule knows no sum of 4, but its oxygens name the
// group "pO4" and mark the P, which was treated first, as part of it.
TEST_F(FunctionalGroups, OrthophosphateMarksItsPhosphorus) {
  Molecule m;
  tetrahedral_po4(m);
  m.load(run);
  detexcept(run, 1);
  EXPECT_EQ(run.db.except.at(0).flag, 0);
  EXPECT_NE(log.str().find("\n DetExcept :: Unknown Poooo(?) functional group\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists("group.ang"));  // printgroup was called

  detexcept(run, 2);
  EXPECT_EQ(run.db.except.at(1).group.substr(0, 4), "pO4 ");
  EXPECT_EQ(run.db.except.at(0).flag, 1);
  EXPECT_EQ(run.db.except.at(0).group, "pO4" + std::string(37, ' '));
}

TEST_F(FunctionalGroups, OrthophosphateAllAtoms) {
  Molecule m;
  tetrahedral_po4(m);
  EXPECT_EQ(classify(m), (Groups{{"P1", "pO4"}, {"O1", "pO4"}, {"O2", "pO4"}, {"O3", "pO4"},
                                 {"O4", "pO4"}}));
}

// ---------------------------------------------------------------- halogens

struct HalideCase {
  const char* label;
  float bond;
  const char* aryl_name;
};

TEST_F(FunctionalGroups, ArylHalidesAreNamedAlkylHalidesAreNot) {
  for (const HalideCase& hc : {HalideCase{"F1", 1.35f, "PH-F"}, HalideCase{"Cl1", 1.75f, "PH-Cl"},
                               HalideCase{"Br1", 1.90f, "PH-Br"}}) {
    SCOPED_TRACE(hc.label);
    {
      tesk::Run aryl;
      aryl.out.log.attach(log);
      Molecule m;
      std::vector<int> c = phenyl(m);
      m.radial(hc.label, c[0], hc.bond);
      m.load(aryl);
      for (int i = 1; i <= m.size(); ++i) detexcept(aryl, i);
      for (int i = 1; i <= m.size(); ++i) {
        const ExceptRow& row = aryl.db.except.at(static_cast<std::size_t>(i - 1));
        std::string expected = i == m.size() ? hc.aryl_name : "";
        EXPECT_EQ(row.flag, expected.empty() ? 0 : 1) << m.label(i);
        EXPECT_EQ(row.group, expected + std::string(40 - expected.size(), ' ')) << m.label(i);
      }
    }
    {
      tesk::Run alkyl;
      alkyl.out.log.attach(log);
      Molecule m;
      int c = m.at("C1", {0, 0, 0});
      int x = m.at(hc.label, {hc.bond, 0, 0});
      methyl(m, c, x, 0, "H1");
      m.load(alkyl);
      for (int i = 1; i <= m.size(); ++i) {
        detexcept(alkyl, i);
        EXPECT_EQ(alkyl.db.except.at(static_cast<std::size_t>(i - 1)).flag, 0) << m.label(i);
      }
    }
  }
}

// ---------------------------------------------------------------- fatal stop

// A hydroxyl carbon whose record lists two oxygens but no second one: only
// a corrupted neighbour table can do this, and the run must stop.
TEST_F(FunctionalGroups, MissingSecondOxygenIsFatal) {
  for (int i = 0; i < 3; ++i) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.iz = i == 0 ? 8 : (i == 1 ? 6 : 1);
  }
  run.nb.neighbors.rec.resize(3);
  NeighbourRecord& o = run.nb.neighbors.at(1);
  o = {2, {3, 2}, {0.97f, 1.43f}, 2, {1, 6}, {1, 1}, {{3}, {2}}};
  NeighbourRecord& c = run.nb.neighbors.at(2);
  c = {2, {1, 1}, {1.43f, 1.43f}, 1, {8}, {2}, {{1, 1}}};
  run.db.except.assign(3, ExceptRow{});
  try {
    detexcept(run, 1);
    FAIL() << "no fatal stop";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "DetExcept");
    EXPECT_EQ(e.message(), "Could not identify \"other\" O-atom");
  }
}

}  // namespace
}  // namespace tesk
