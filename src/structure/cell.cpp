// Unit-cell geometry in single precision: the orthogonalisation matrices
// (x along a, y in the a-b plane, z completing a right-handed set), coordinate
// conversion, distances, the reciprocal cell and Ueq.
#include "structure/cell.hpp"

#include <algorithm>
#include <cmath>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"

namespace tesk {

float cosd(float deg) { return std::cos(deg * 0.017453292f); }
float sind(float deg) { return std::sin(deg * 0.017453292f); }
float asind(float x) { return std::asin(x) * 57.295776f; }

std::string cell_problem(const UnitCell& cell) {
  const auto& p = cell.p;
  for (int k = 0; k < 3; ++k) {
    if (!(p[k] > 0.0f && p[k] <= kMaxCellEdge))
      return "cell lengths must lie between 0 and 10000 Angstrom";
  }
  for (int k = 3; k < 6; ++k) {
    if (!(p[k] > 0.0f && p[k] < 180.0f)) return "cell angles must lie between 0 and 180 degrees";
  }
  // The squared volume of the cell with unit edges: 1 - cos2 a - cos2 b -
  // cos2 g + 2 cos a cos b cos g. It is positive exactly when each angle is
  // smaller than the sum of the other two and the three sum to less than 360.
  const double ca = std::cos(p[3] * 0.017453292519943295);
  const double cb = std::cos(p[4] * 0.017453292519943295);
  const double cg = std::cos(p[5] * 0.017453292519943295);
  if (!(1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg > 1.0e-6))
    return "the cell angles do not close a cell";
  return {};
}

Transf orthogonalise(const UnitCell& cell) {
  const float a = cell.p[0], b = cell.p[1], c = cell.p[2];
  const float ca = cosd(cell.p[3]), cb = cosd(cell.p[4]);
  const float cg = cosd(cell.p[5]), sg = sind(cell.p[5]);
  Transf t;
  Mat3& m = t.frac_to_cart;
  m = Mat3{};
  m[0][0] = a;
  m[0][1] = b * cg;
  m[1][1] = b * sg;
  m[0][2] = c * cb;
  m[1][2] = c * (ca - cb * cg) / sg;
  m[2][2] = std::sqrt(c * c - m[0][2] * m[0][2] - m[1][2] * m[1][2]);
  t.cart_to_frac = inverse(m);
  return t;
}

void tranmat(Run& run) {
  run.transf = orthogonalise(run.ucell);
  auto rows = [&](const Mat3& m) {
    for (const auto& r : m) run.out.log << ffmt("(3f15.8)", {r[0], r[1], r[2]});
  };
  run.out.log << ffmt("(/a)", {" Transformation matrix CRYSTAL --> GLOBAL CARTESIAN :"});
  rows(run.transf.frac_to_cart);
  run.out.log << ffmt("(/a)", {" Transformation matrix GLOBAL CARTESIAN --> CRYSTAL :"});
  rows(run.transf.cart_to_frac);
  run.both("  \n");
}

double determinant(const Mat3& m) {
  auto e = [&](int i, int j) { return static_cast<double>(m[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]); };
  return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) - e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
         e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

Mat3 inverse(const Mat3& m) {
  // Rule of Sarrus: three products along the diagonals minus three along the
  // anti-diagonals.
  const float det = m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] +
                    m[0][2] * m[1][0] * m[2][1] - m[0][2] * m[1][1] * m[2][0] -
                    m[0][0] * m[1][2] * m[2][1] - m[0][1] * m[1][0] * m[2][2];
  // A cell with impossible angles (gamma 0, or alpha + beta < gamma) gives a
  // NaN or infinite element; it is as singular as a zero determinant.
  if (det == 0.0f || !std::isfinite(det)) err("Inverse", "Determinant = 0");
  Mat3 inv{};
  inv[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
  inv[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
  inv[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
  inv[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
  inv[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
  inv[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
  inv[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
  inv[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
  inv[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
  return inv;
}

Vec3 rabs(const Transf& t, int iflag, const Vec3& x) {
  if (iflag != 0 && iflag != 1) err("rabs", "iflag is wrong...");
  const Mat3& m = iflag == 0 ? t.frac_to_cart : t.cart_to_frac;
  Vec3 y{};
  for (int i = 0; i < 3; ++i) {
    y[i] = m[i][0] * x[0] + m[i][1] * x[1] + m[i][2] * x[2];
  }
  return y;
}

float dist(const Vec3& a, const Vec3& b) {
  const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::array<float, 6> r_cell(const std::array<float, 6>& cell) {
  const float a = cell[0], b = cell[1], c = cell[2];
  const float ca = cosd(cell[3]), cb = cosd(cell[4]), cg = cosd(cell[5]);
  const float sa = sind(cell[3]), sb = sind(cell[4]), sg = sind(cell[5]);
  const float abc = a * b * c;
  const float v = abc * std::sqrt(1.0f - ca * ca - cb * cb - cg * cg + 2.0f * ca * cb * cg);
  const float q = v / abc;
  // Rounding can push the sine of a right angle just past 1; the reciprocal
  // angles are only reported, so clamp rather than return NaN.
  auto asind_clamped = [](float s) { return asind(std::clamp(s, -1.0f, 1.0f)); };
  return {b * c * sa / v,
          a * c * sb / v,
          a * b * sg / v,
          asind_clamped(q / (sb * sg)),
          asind_clamped(q / (sa * sg)),
          asind_clamped(q / (sa * sb))};
}

float calcueq(const Run& run, int atom) {
  const Atom& at = run.atoms.at(atom);
  if (at.adptype != 2) return at.uij[0];
  const auto& cell = run.ucell.p;
  const auto rc = r_cell(cell);
  const float a = cell[0], b = cell[1], c = cell[2];
  const float as = rc[0] * a, bs = rc[1] * b, cs = rc[2] * c;
  const auto& u = at.uij;  // U11 U22 U33 U12 U13 U23
  const float sum = u[0] * as * as + u[1] * bs * bs + u[2] * cs * cs +
                    2.0f * u[3] * rc[0] * rc[1] * a * b * cosd(cell[5]) +
                    2.0f * u[4] * rc[0] * rc[2] * a * c * cosd(cell[4]) +
                    2.0f * u[5] * rc[1] * rc[2] * b * c * cosd(cell[3]);
  return sum / 3.0f;
}

}  // namespace tesk
