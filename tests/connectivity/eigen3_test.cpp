// The symmetric 3x3 eigen solver: ascending eigenvalues, orthonormal
// eigenvectors as columns.
#include <gtest/gtest.h>

#include <cmath>

#include "connectivity/eigen3.hpp"

namespace tesk {
namespace {

using M3 = std::array<std::array<float, 3>, 3>;

void expect_eigenpairs(const M3& a, const Eigen3& e) {
  for (std::size_t k = 0; k < 3; ++k) {
    for (std::size_t i = 0; i < 3; ++i) {
      float av = 0.0f;
      for (std::size_t j = 0; j < 3; ++j) av += a[i][j] * e.vec[j][k];
      EXPECT_NEAR(av, e.value[k] * e.vec[i][k], 2e-5f) << "pair " << k << " row " << i;
    }
    for (std::size_t l = 0; l < 3; ++l) {
      float dot = 0.0f;
      for (std::size_t i = 0; i < 3; ++i) dot += e.vec[i][k] * e.vec[i][l];
      EXPECT_NEAR(dot, k == l ? 1.0f : 0.0f, 1e-5f);
    }
  }
}

TEST(Eigen3, CoupledPairHasSumAndDifferenceVectors) {
  // [[2,1],[1,2]] has eigenvalues 1 and 3 along (1,-1) and (1,1).
  const M3 a{{{2.0f, 1.0f, 0.0f}, {1.0f, 2.0f, 0.0f}, {0.0f, 0.0f, 7.0f}}};
  const Eigen3 e = eigen_symmetric3(a);
  EXPECT_NEAR(e.value[0], 1.0f, 1e-6f);
  EXPECT_NEAR(e.value[1], 3.0f, 1e-6f);
  EXPECT_NEAR(e.value[2], 7.0f, 1e-6f);
  EXPECT_NEAR(e.vec[0][0], -e.vec[1][0], 1e-6f);
  EXPECT_NEAR(std::fabs(e.vec[0][0]), 0.70710678f, 1e-6f);
  EXPECT_NEAR(e.vec[0][1], e.vec[1][1], 1e-6f);
  expect_eigenpairs(a, e);
}

TEST(Eigen3, FullMatrixAndDegenerateMatrix) {
  const M3 full{{{4.0f, -2.0f, 1.5f}, {-2.0f, 3.0f, 0.25f}, {1.5f, 0.25f, 1.0f}}};
  const Eigen3 e = eigen_symmetric3(full);
  EXPECT_EQ(e.ierr, 0);
  EXPECT_LE(e.value[0], e.value[1]);
  EXPECT_LE(e.value[1], e.value[2]);
  // The trace is the sum of the eigenvalues.
  EXPECT_NEAR(e.value[0] + e.value[1] + e.value[2], 8.0f, 1e-5f);
  expect_eigenpairs(full, e);

  const M3 zero{};
  const Eigen3 z = eigen_symmetric3(zero);
  EXPECT_EQ(z.ierr, 0);
  expect_eigenpairs(zero, z);
}

TEST(Eigen3, NonFiniteInputReturnsAFailure) {
  // pythag's iteration never ended on NaN; a point at infinity gives inf - inf.
  for (float bad : {NAN, INFINITY}) {
    const M3 a{{{1.0f, 0.5f, 0.0f}, {0.5f, bad, 0.0f}, {0.0f, 0.0f, 2.0f}}};
    const Eigen3 e = eigen_symmetric3(a);
    EXPECT_NE(e.ierr, 0);
    EXPECT_TRUE(std::isnan(e.value[0]));
  }
  EXPECT_TRUE(std::isnan(pythag(NAN, 1.0f)));
  EXPECT_EQ(pythag(INFINITY, 1.0f), INFINITY);
}

}  // namespace
}  // namespace tesk
