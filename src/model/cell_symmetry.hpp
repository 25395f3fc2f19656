// The unit cell, the orthogonalisation matrices and the space-group
// operators of the structure.
#pragma once

#include <array>
#include <vector>

namespace tesk {

// F-centred cubic with an inversion centre has 192 operators, the most any
// space group needs.
constexpr int kMaxSymOps = 192;

using Mat3 = std::array<std::array<float, 3>, 3>;  // m[row][col], 0-based

constexpr Mat3 identity3() { return Mat3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

struct UnitCell {
  std::array<float, 6> p{};  // a, b, c (Angstrom), alpha, beta, gamma (degrees)
};

struct Transf {
  Mat3 frac_to_cart = identity3();  // matrix 1: cartesian = m1 * fractional
  Mat3 cart_to_frac = identity3();  // matrix 2, the inverse of matrix 1
};

// x'(j) = trn(j) + sum_k rot(k, j) x(k): rot[k][j] is the coefficient of
// input coordinate k in output coordinate j (0-based here).
struct SymOp {
  std::array<std::array<float, 3>, 3> rot{};
  std::array<float, 3> trn{};
};

struct Symmetry {
  std::vector<SymOp> ops;  // operator s is ops[s-1]; operator 1 the identity
  int nsym() const { return static_cast<int>(ops.size()); }
  const SymOp& op(int s) const;  // checked, 1-based
  // Appends an operator; err(routine, "Too many symmetry operators") beyond
  // kMaxSymOps.
  void append(const SymOp& op, const char* routine);
};

SymOp identity_op();

}  // namespace tesk
