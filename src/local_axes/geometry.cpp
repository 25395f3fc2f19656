// Vector helpers of the axis rules.
#include "local_axes/geometry.hpp"

#include <algorithm>
#include <cmath>

#include "core/line_reader.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"

namespace tesk {

Vec3 midpoint(const Vec3& a, const Vec3& b) {
  return {(a[0] + b[0]) / 2.0f, (a[1] + b[1]) / 2.0f, (a[2] + b[2]) / 2.0f};
}

Vec3 vsub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

float rlength(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

Vec3 vmult(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float calcang(const Vec3& p1, const Vec3& p2, const Vec3& p3) {
  const Vec3 a = vsub(p1, p2), b = vsub(p3, p2);
  const float la = rlength(a), lb = rlength(b);
  float c = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (la * lb);
  if (std::isnan(c)) return c;  // a point on the vertex: no angle
  c = std::clamp(c, -1.0f, 1.0f);
  return static_cast<float>(std::acos(c) * 57.29577791868205);
}

void prtang(const Run& run, Sink& out, int i, int j, int k, float angle) {
  out << ffmt("(/' Angle   ',a,' - ',a,' - ',a,' = ',f8.2,' deg.')",
              {trim_right(run.atoms.at(i).label), trim_right(run.atoms.at(j).label),
               trim_right(run.atoms.at(k).label), angle});
}

}  // namespace tesk
