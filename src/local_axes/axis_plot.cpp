// The local axes drawn for PLATON: the atom and a short stick along each of
// its X, Y and Z axes, so that a wrong axis choice shows at a glance.
#include "local_axes/axis_plot.hpp"

#include <cmath>
#include <stdexcept>

#include "core/line_reader.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/geometry.hpp"
#include "model/run.hpp"

namespace tesk {

namespace {

constexpr float kTipLength = 0.2f;  // Angstrom from the atom to each axis tip

// A zero vector (an axis point on the atom, or both points in line with it)
// stays zero: its tip is drawn on the atom instead of at NaN.
Vec3 unit(const Vec3& v) {
  const float len = rlength(v);
  if (!(len > 0.0f)) return {0.0f, 0.0f, 0.0f};
  return {v[0] / len, v[1] / len, v[2] / len};
}

std::size_t axis_index(AxisLetter a) {
  if (a == AxisLetter::None) throw std::logic_error("local_frame: an axis without a letter");
  return static_cast<std::size_t>(static_cast<int>(a) - 1);
}

}  // namespace

// The first axis points at the first axis point; the second is the part of
// the direction to the second point perpendicular to the first, b' = (a x b)
// x a. The remaining axis is the cross product of the other two taken in
// cyclic order (X x Y = Z, Y x Z = X, Z x X = Y), so the frame is
// right-handed whichever letters the rules chose: for a water oxygen (Z to
// the midpoint of the hydrogens, Y towards one of them) X comes out as
// Y x Z, not as a x b, which would point the opposite way.
std::array<Vec3, 3> local_frame(const Vec3& origin, const AxisDecision& d) {
  const std::size_t i1 = axis_index(d.first), i2 = axis_index(d.second);
  if (i1 == i2) throw std::logic_error("local_frame: both axes have the same letter");
  const std::size_t i3 = 3 - i1 - i2;
  const Vec3 a = vsub(d.p1.xc, origin), b = vsub(d.p2.xc, origin);
  std::array<Vec3, 3> e{};
  e[i1] = unit(a);
  e[i2] = unit(vmult(vmult(a, b), a));
  e[i3] = vmult(e[(i3 + 1) % 3], e[(i3 + 2) % 3]);
  return e;
}

namespace {

float dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Unit lengths, right angles and X x Y = Z, each to 1e-3.
bool orthonormal_right_handed(const std::array<Vec3, 3>& e) {
  constexpr float kTol = 1e-3f;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::fabs(dot(e[i], e[i]) - 1.0f) > kTol) return false;
    if (std::fabs(dot(e[i], e[(i + 1) % 3])) > kTol) return false;
  }
  return std::fabs(dot(vmult(e[0], e[1]), e[2]) - 1.0f) <= kTol;
}

}  // namespace

std::string frame_fault(const Vec3& origin, const AxisDecision& d) {
  // 0.01 Angstrom: the same-position margin of the neighbour search; the
  // sine limit is about half a degree.
  constexpr float kOnAtom = 0.01f, kMinSine = 0.01f;
  const Vec3 a = vsub(d.p1.xc, origin), b = vsub(d.p2.xc, origin);
  const float la = rlength(a), lb = rlength(b);
  if (!(la >= kOnAtom)) return "axis point " + trim_right(d.p1.label) + " lies on the atom";
  if (!(lb >= kOnAtom)) return "axis point " + trim_right(d.p2.label) + " lies on the atom";
  if (!(rlength(vmult(a, b)) >= kMinSine * la * lb))
    return "axis points " + trim_right(d.p1.label) + " and " + trim_right(d.p2.label) +
           " lie on one line through the atom";
  if (!orthonormal_right_handed(local_frame(origin, d)))
    return "its axes are not orthonormal and right-handed";
  return {};
}

std::array<Vec3, 3> getdummy(const Vec3& origin, const std::array<Vec3, 3>& frame) {
  std::array<Vec3, 3> tips{};
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t c = 0; c < 3; ++c) tips[i][c] = origin[c] + kTipLength * frame[i][c];
  return tips;
}

std::string getdummylabel(int atom) { return std::to_string(atom); }

void loc2plat(Run& run, int atom, const AxisDecision& d) {
  const Atom& a = run.atoms.at(atom);
  Sink& f = run.out.spf;
  // Labels are 8-character fields, left-aligned as the atom table keeps them.
  f << ffmt("('ATOM ',a8,3x,3f12.4)", {fixed_width(a.label, 8), a.xc[0], a.xc[1], a.xc[2]});
  const std::array<Vec3, 3> tips = getdummy(a.xc, local_frame(a.xc, d));
  const std::string number = getdummylabel(atom);
  const char letters[] = {'X', 'Y', 'Z'};
  for (std::size_t i = 0; i < 3; ++i)
    f << ffmt("('ATOM ',a8,3x,3f12.4)",
              {fixed_width(letters[i] + number, 8), tips[i][0], tips[i][1], tips[i][2]});
}

}  // namespace tesk
