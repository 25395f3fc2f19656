// Least-squares planes and planarity verdicts, their printout, and the
// neighbourhood file group.ang.
#include <gtest/gtest.h>

#include <cmath>

#include "connectivity/planes.hpp"
#include "connectivity/molecules.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testing::MoleculeRun;

// Four points alternately 0.0625 above and below the xy plane: the fit is
// the xy plane itself, deviations +-0.0625, sigpln = sqrt(4 * 0.0625^2 / 1)
// = 0.125, all exact in binary.
std::vector<int> puckered_square(MoleculeRun& m) {
  const float d = 0.0625f;
  return {m.add("X1", 6, 1.0f, 0.0f, d), m.add("X2", 6, 0.0f, 1.0f, -d),
          m.add("X3", 6, -1.0f, 0.0f, d), m.add("X4", 6, 0.0f, -1.0f, -d)};
}

TEST(Planarity, CoplanarPointsOnATiltedPlane) {
  // x + y + z = 1 through four points; normal (1,1,1)/sqrt(3), S = 1/sqrt(3).
  MoleculeRun m;
  const std::vector<int> atoms{m.add("A", 6, 1, 0, 0), m.add("B", 6, 0, 1, 0),
                               m.add("C", 6, 0, 0, 1), m.add("D", 6, 1, 1, -1)};
  const PlaneFit fit = lsqplane(m.run, atoms);
  const float sign = fit.normal[0] > 0.0f ? 1.0f : -1.0f;
  for (float p : fit.normal) EXPECT_NEAR(p * sign, 0.57735027f, 1e-5f);
  EXPECT_NEAR(fit.s * sign, 0.57735027f, 1e-5f);
  EXPECT_NEAR(fit.sigpln, 0.0f, 1e-5f);
  EXPECT_EQ(planarity(m.run, false, atoms, kGroupMode), 1);
  EXPECT_EQ(m.log.str(), "");
}

TEST(Planarity, MethylCarbonIsNotPlanarButTrigonalCarbonIs) {
  // Tetrahedral CH3 at 1.09 A: the H lie 1.09/3 below the carbon, the fit
  // plane is horizontal through the centroid at z = -0.2725, deviations
  // 0.2725 (C) and -0.0908 (H): sigpln = sqrt(0.09901) = 0.3147.
  MoleculeRun m;
  const float rh = 1.09f * std::sqrt(8.0f / 9.0f), zh = -1.09f / 3.0f;
  std::vector<int> methyl{m.add("C1", 6, 0, 0, 0)};
  for (int i = 0; i < 3; ++i) {
    const float a = 2.0943951f * static_cast<float>(i);
    methyl.push_back(m.add("H" + std::to_string(i + 1), 1, rh * std::cos(a), rh * std::sin(a), zh));
  }
  EXPECT_NEAR(lsqplane(m.run, methyl).sigpln, 0.3147f, 1e-4f);
  EXPECT_EQ(planarity(m.run, false, methyl, kGroupMode), 0);

  // A carbonyl carbon with its three neighbours in one plane.
  const std::vector<int> trigonal{m.add("C2", 6, 5, 0, 0), m.add("O2", 8, 6.23f, 0, 0),
                                  m.add("N2", 7, 4.33f, 1.16f, 0), m.add("C3", 6, 4.25f, -1.30f, 0)};
  EXPECT_EQ(planarity(m.run, false, trigonal, kGroupMode), 1);
}

TEST(Planarity, SigplanEqualToTheToleranceIsPlanar) {
  MoleculeRun m;
  const auto atoms = puckered_square(m);
  EXPECT_EQ(lsqplane(m.run, atoms).sigpln, 0.125f);
  m.run.opt.tols[2] = 0.125f;
  EXPECT_EQ(planarity(m.run, false, atoms, kGroupMode), 1);
  m.run.opt.tols[2] = std::nextafter(0.125f, 0.0f);
  EXPECT_EQ(planarity(m.run, false, atoms, kGroupMode), 0);
  // Ring mode judges by tol2.
  m.run.opt.tols[1] = 0.2f;
  EXPECT_EQ(planarity(m.run, false, atoms, kRingMode), 1);
}

TEST(Planarity, PrintoutWithPlaneAndDeviations) {
  MoleculeRun m;
  m.run.opt.verbosity = 2;
  const auto atoms = puckered_square(m);
  EXPECT_EQ(planarity(m.run, true, atoms, kGroupMode), 0);
  EXPECT_EQ(m.log.str(),
            "\n"
            " Planarity test for   4-atom group : \n"
            "\n"
            "  X1        X2        X3        X4      \n"
            "\n"
            "     P Q R S =       0.0000      0.0000      1.0000      0.0000\n"
            "\n"
            "       dist. from X1       to lsq plane =      0.062 Ang\n"
            "       dist. from X2       to lsq plane =     -0.062 Ang\n"
            "       dist. from X3       to lsq plane =      0.062 Ang\n"
            "       dist. from X4       to lsq plane =     -0.062 Ang\n"
            "\n"
            "     Esd atoms from the plane (sigpln) =       0.1250 ( tol =   0.1000 )\n"
            "\n"
            "     This group is planar = .F.\n");
}

TEST(Planarity, ThreePointsArePlanarWithZeroSigplan) {
  // Verbosity 1: no plane and deviation lines; a ring of three is planar.
  MoleculeRun m;
  const std::vector<int> atoms{m.add("C1", 6, 0, 0, 0), m.add("C2", 6, 1.5f, 0, 0.3f),
                               m.add("C3", 6, 0.7f, 1.3f, -0.4f)};
  EXPECT_EQ(planarity(m.run, true, atoms, kRingMode), 1);
  EXPECT_EQ(m.log.str(),
            "\n"
            " Planarity test for   3-atom ring : \n"
            "\n"
            "  C1        C2        C3      \n"
            "\n"
            "     Esd atoms from the plane (sigpln) =       0.0000 ( tol =   0.1000 )\n"
            "\n"
            "     This ring is planar = .T.\n");
}

TEST(Planarity, CheckatAppendsOnlyNewAtoms) {
  std::vector<int> list{4, 7};
  EXPECT_EQ(checkat(list, 7), 1);
  EXPECT_EQ(checkat(list, 2), 0);
  EXPECT_EQ(list, (std::vector<int>{4, 7, 2}));
}

TEST(PrintGroup, MethylHydrogenOfEthane) {
  // H1-C1(H2,H3)-C2(H4,H5,H6); each neighbour list by ascending distance,
  // so the C-H bonds come before the C-C bond.
  testing::ScratchDir dir;
  MoleculeRun m;
  m.add("H1", 1, -0.36f, 1.03f, 0.0f);
  m.add("C1", 6, 0.0f, 0.0f, 0.0f);
  m.add("H2", 1, -0.36f, -0.51f, 0.89f);
  m.add("H3", 1, -0.36f, -0.51f, -0.89f);
  m.add("C2", 6, 1.54f, 0.0f, 0.0f);
  m.add("H4", 1, 1.9f, -1.03f, 0.0f);
  m.add("H5", 1, 1.9f, 0.51f, 0.89f);
  m.add("H6", 1, 1.9f, 0.51f, -0.89f);
  auto& rec = m.run.nb.neighbors.rec;
  rec.resize(8);
  const std::vector<std::vector<int>> bonded{{2}, {1, 3, 4, 5}, {2}, {2}, {6, 7, 8, 2}, {5}, {5}, {5}};
  for (std::size_t i = 0; i < bonded.size(); ++i) {
    rec[i].jnei = bonded[i];
    rec[i].nnei = static_cast<int>(bonded[i].size());
  }
  printgroup(m.run, 1);
  // C1 is met as H1's neighbour's neighbour first; C2's hydrogens come
  // before C2 itself; nothing twice.
  EXPECT_EQ(testing::read_file("group.ang"),
            "ANGSTROM\n"
            "ATOM H1             -0.3600      1.0300      0.0000\n"
            "ATOM C1              0.0000      0.0000      0.0000\n"
            "ATOM H2             -0.3600     -0.5100      0.8900\n"
            "ATOM H3             -0.3600     -0.5100     -0.8900\n"
            "ATOM H4              1.9000     -1.0300      0.0000\n"
            "ATOM H5              1.9000      0.5100      0.8900\n"
            "ATOM H6              1.9000      0.5100     -0.8900\n"
            "ATOM C2              1.5400      0.0000      0.0000\n");
}

}  // namespace
}  // namespace tesk
