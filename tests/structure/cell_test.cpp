// Orthogonalisation, coordinate conversion, the reciprocal cell and Ueq,
// checked against values worked out by hand from the cell geometry.
#include "structure/cell.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "core/errors.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

std::string fatal_text(const std::function<void()>& f) {
  try {
    f();
  } catch (const FatalError& e) {
    return e.routine() + ": " + e.message();
  }
  return "no error";
}

TEST(Trig, DegreeFunctions) {
  EXPECT_NEAR(cosd(60.0f), 0.5f, 1e-6f);
  EXPECT_NEAR(sind(30.0f), 0.5f, 1e-6f);
  EXPECT_NEAR(cosd(120.0f), -0.5f, 1e-6f);
  EXPECT_NEAR(asind(0.5f), 30.0f, 1e-4f);
  EXPECT_NEAR(asind(1.0f), 90.0f, 1e-4f);
}

// Hexagonal cell a = b = 4, c = 6, gamma = 120: b lies at 120 degrees from x,
// so column 2 is (4 cos 120, 4 sin 120, 0) = (-2, 2 sqrt 3, 0), c is along z.
TEST(Tranmat, HexagonalCellMatricesAndLog) {
  tesk::Run run;
  std::ostringstream log, console;
  run.out.log.attach(log);
  run.out.console.attach(console);
  run.ucell.p = {4.0f, 4.0f, 6.0f, 90.0f, 90.0f, 120.0f};
  tranmat(run);
  const Mat3 m1 = {{{4.0f, -2.0f, 0.0f}, {0.0f, 3.4641016f, 0.0f}, {0.0f, 0.0f, 6.0f}}};
  // Inverse of an upper-triangular matrix: 1/4, 2/(4 * 2 sqrt 3), 1/(2 sqrt 3), 1/6.
  const Mat3 m2 = {{{0.25f, 0.14433757f, 0.0f}, {0.0f, 0.28867513f, 0.0f}, {0.0f, 0.0f, 1 / 6.0f}}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      EXPECT_NEAR(run.transf.frac_to_cart[i][j], m1[i][j], 2e-6f) << i << j;
      EXPECT_NEAR(run.transf.cart_to_frac[i][j], m2[i][j], 2e-7f) << i << j;
    }
  }
  const std::string out = log.str();
  // Single-precision cos 90 is -4.4e-8, so the zeros above the diagonal
  // print as tiny numbers; the headers and the row of c are exact.
  EXPECT_EQ(out.rfind("\n Transformation matrix CRYSTAL --> GLOBAL CARTESIAN :\n     4.00000000", 0),
            0u);
  EXPECT_NE(out.find("\n\n Transformation matrix GLOBAL CARTESIAN --> CRYSTAL :\n     0.25000000"),
            std::string::npos);
  EXPECT_NE(out.find("     0.00000000     0.00000000     6.00000000\n"), std::string::npos);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 11);
  EXPECT_EQ(out.substr(out.size() - 4), "\n  \n");
  EXPECT_EQ(console.str(), "  \n");
}

// In a triclinic cell the cartesian lengths of the cell edges and the angles
// between them must come back, and cartesian -> fractional undoes the reverse.
TEST(Rabs, TriclinicEdgesAnglesAndRoundTrip) {
  UnitCell cell;
  cell.p = {5.0f, 6.0f, 7.0f, 80.0f, 95.0f, 110.0f};
  const Transf t = orthogonalise(cell);
  const Vec3 o{0, 0, 0};
  const Vec3 a = rabs(t, 0, {1, 0, 0}), b = rabs(t, 0, {0, 1, 0}), c = rabs(t, 0, {0, 0, 1});
  EXPECT_NEAR(dist(o, a), 5.0f, 1e-5f);
  EXPECT_NEAR(dist(o, b), 6.0f, 1e-5f);
  EXPECT_NEAR(dist(o, c), 7.0f, 1e-5f);
  auto dot = [](const Vec3& u, const Vec3& v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; };
  EXPECT_NEAR(dot(b, c), 42.0f * cosd(80.0f), 1e-4f);
  EXPECT_NEAR(dot(a, c), 35.0f * cosd(95.0f), 1e-4f);
  EXPECT_NEAR(dot(a, b), 30.0f * cosd(110.0f), 1e-4f);
  EXPECT_EQ(a[1], 0.0f);  // a along x, b in the x-y plane
  EXPECT_EQ(a[2], 0.0f);
  EXPECT_EQ(b[2], 0.0f);
  const Vec3 xf{0.3f, -0.7f, 1.2f};
  const Vec3 back = rabs(t, 1, rabs(t, 0, xf));
  for (int j = 0; j < 3; ++j) EXPECT_NEAR(back[j], xf[j], 1e-6f);
}

TEST(Rabs, UnknownFlagIsFatal) {
  const Transf t;
  EXPECT_EQ(fatal_text([&] { rabs(t, 2, {0, 0, 0}); }), "rabs: iflag is wrong...");
}

TEST(Dist, PythagoreanTriple) {
  EXPECT_FLOAT_EQ(dist({1, 1, 1}, {4, 5, 1}), 5.0f);
  EXPECT_FLOAT_EQ(dist({0, 0, 0}, {0, 0, 0}), 0.0f);
}

TEST(Inverse, RegularAndSingular) {
  const Mat3 m = {{{1, 2, 0}, {0, 1, 0}, {0, 0, 2}}};
  const Mat3 expect = {{{1, -2, 0}, {0, 1, 0}, {0, 0, 0.5f}}};
  EXPECT_EQ(inverse(m), expect);
  // Second row twice the first: the determinant is exactly zero.
  const Mat3 singular = {{{1, 2, 3}, {2, 4, 6}, {0, 0, 1}}};
  EXPECT_EQ(fatal_text([&] { inverse(singular); }), "Inverse: Determinant = 0");
}

// No cell has alpha + beta < gamma; its third column has no real length.
TEST(Tranmat, ImpossibleCellIsSingular) {
  tesk::Run run;
  run.ucell.p = {5.0f, 5.0f, 5.0f, 20.0f, 20.0f, 90.0f};
  EXPECT_EQ(fatal_text([&] { tranmat(run); }), "Inverse: Determinant = 0");
  run.ucell.p = {5.0f, 5.0f, 5.0f, 90.0f, 90.0f, 0.0f};  // a and b on one line
  EXPECT_EQ(fatal_text([&] { tranmat(run); }), "Inverse: Determinant = 0");
}

// Monoclinic a = 4, b = 5, c = 6, beta = 120: a* = 1/(a sin beta),
// b* = 1/b, c* = 1/(c sin beta), beta* = 180 - beta.
TEST(RCell, CubicAndMonoclinic) {
  const auto cubic = r_cell({5.0f, 5.0f, 5.0f, 90.0f, 90.0f, 90.0f});
  EXPECT_NEAR(cubic[0], 0.2f, 1e-6f);
  EXPECT_NEAR(cubic[5], 90.0f, 1e-3f);
  const auto mono = r_cell({4.0f, 5.0f, 6.0f, 90.0f, 120.0f, 90.0f});
  EXPECT_NEAR(mono[0], 0.28867513f, 1e-6f);
  EXPECT_NEAR(mono[1], 0.2f, 1e-6f);
  EXPECT_NEAR(mono[2], 0.19245009f, 1e-6f);
  EXPECT_NEAR(mono[3], 90.0f, 1e-3f);
  EXPECT_NEAR(mono[4], 60.0f, 1e-3f);
  EXPECT_NEAR(mono[5], 90.0f, 1e-3f);
}

// With alpha = gamma = 90 and beta = 120 (sin^2 = 3/4, cos = -1/2):
// Ueq = [(U11 + U33 + 2 U13 cos beta) / sin^2 beta + U22] / 3
//     = [(0.03 + 0.05 - 0.015) / 0.75 + 0.04] / 3 = 0.0422222.
TEST(Calcueq, AnisotropicMonoclinicAndIsotropic) {
  tesk::Run run;
  run.ucell.p = {4.0f, 5.0f, 6.0f, 90.0f, 120.0f, 90.0f};
  Atom& c1 = run.atoms.at(run.atoms.append("test"));
  c1.adptype = 2;
  c1.uij = {0.03f, 0.04f, 0.05f, 0.007f, 0.015f, 0.009f};  // U12, U23 meet a 90-degree angle
  Atom& h1 = run.atoms.at(run.atoms.append("test"));
  h1.adptype = 1;
  h1.uij = {0.025f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f};
  EXPECT_NEAR(calcueq(run, 1), 0.0422222f, 2e-7f);
  EXPECT_EQ(calcueq(run, 2), 0.025f);
}

}  // namespace
}  // namespace tesk
