// Eigenvalues and eigenvectors of a real symmetric 3x3 matrix: Householder
// reduction to tridiagonal form (tred2) followed by the QL method with
// implicit shifts (tql2), after the EISPACK routines of the same names.
#pragma once

#include <array>

namespace tesk {

struct Eigen3 {
  std::array<float, 3> value{};                   // ascending
  std::array<std::array<float, 3>, 3> vec{};      // vec[row][k]: column k belongs to value[k]
  int ierr = 0;                                   // 0, or the eigenvalue that failed to converge
};

// `a` is symmetric, a[row][col]; only its lower triangle is read.
Eigen3 eigen_symmetric3(const std::array<std::array<float, 3>, 3>& a);

// sqrt(a*a + b*b) without destructive overflow or underflow.
float pythag(float a, float b);

}  // namespace tesk
