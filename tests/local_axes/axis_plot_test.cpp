// The PLATON axis plot: a right-handed orthonormal frame whatever the two
// axis letters, and the exact tesk.spf lines of a water oxygen.
#include "local_axes/axis_plot.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "local_axes/geometry.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"

namespace tesk {
namespace {

float dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

AxisPoint at(const Vec3& xc) {
  AxisPoint p;
  p.xc = xc;
  return p;
}

TEST(AxisPlot, FrameIsRightHandedForEveryLetterPair) {
  using L = AxisLetter;
  const std::pair<L, L> pairs[] = {{L::X, L::Y}, {L::Y, L::X}, {L::X, L::Z},
                                   {L::Z, L::X}, {L::Y, L::Z}, {L::Z, L::Y}};
  // A skew general case, and the water oxygen below.
  const Vec3 origins[] = {{0.3f, -1.2f, 2.0f}, {1.0f, 2.0f, 3.0f}};
  const Vec3 firsts[] = {{1.4f, -0.8f, 1.7f}, {1.0f, 2.0f, 3.6f}};
  const Vec3 seconds[] = {{0.1f, 0.1f, 2.5f}, {1.8f, 2.0f, 3.6f}};
  for (std::size_t g = 0; g < 2; ++g) {
    for (const auto& [first, second] : pairs) {
      AxisDecision d;
      d.first = first;
      d.second = second;
      d.p1 = at(firsts[g]);
      d.p2 = at(seconds[g]);
      const auto e = local_frame(origins[g], d);
      const std::string what = std::string(1, letter_char(first)) + letter_char(second) +
                               " geometry " + std::to_string(g);
      for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
          EXPECT_NEAR(dot(e[i], e[j]), i == j ? 1.0f : 0.0f, 1e-5f) << what;
      const Vec3 z = vmult(e[0], e[1]);
      for (std::size_t c = 0; c < 3; ++c) EXPECT_NEAR(z[c], e[2][c], 1e-5f) << what;
      const Vec3 a = vsub(firsts[g], origins[g]), b = vsub(seconds[g], origins[g]);
      const auto& e1 = e[static_cast<std::size_t>(first) - 1];
      const auto& e2 = e[static_cast<std::size_t>(second) - 1];
      EXPECT_NEAR(dot(e1, a), rlength(a), 1e-5f) << what;
      EXPECT_GT(dot(e2, b), 0.0f) << what;
      const auto tips = getdummy(origins[g], e);
      for (const Vec3& t : tips) EXPECT_NEAR(dist(t, origins[g]), 0.2f, 1e-6f) << what;
    }
  }
}

// The check made before an atom's row is written: a usable pair of points
// passes, a point on the atom or two points in line with it do not.
TEST(AxisPlot, FrameFaults) {
  struct Row {
    Vec3 p1, p2;
    const char* fault;
  };
  const Row rows[] = {
      {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, ""},
      {{0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, "axis point A lies on the atom"},
      {{1.0f, 0.0f, 0.0f}, {0.0f, 0.005f, 0.0f}, "axis point B lies on the atom"},
      {{1.0f, 0.0f, 0.0f}, {-2.0f, 0.001f, 0.0f}, "axis points A and B lie on one line through the atom"},
      {{1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, "axis points A and B lie on one line through the atom"},
  };
  for (const Row& r : rows) {
    AxisDecision d;
    d.first = AxisLetter::Z;
    d.second = AxisLetter::X;
    d.p1 = at(r.p1);
    d.p1.label = "A       ";
    d.p2 = at(r.p2);
    d.p2.label = "B";
    EXPECT_EQ(frame_fault({0.0f, 0.0f, 0.0f}, d), r.fault);
  }
}

// Water oxygen O1, atom 12, at (1, 2, 3) with its hydrogens at (+-0.8, 0,
// 0.6) from it: Z to the midpoint dummy (straight up), Y to H1 (so along +x).
// X = Y x Z points along -y; taking a x b for the remaining letter would put
// it along +y and draw a left-handed frame.
TEST(AxisPlot, WaterOxygenPlot) {
  tesk::Run run;
  std::ostringstream spf;
  run.out.spf.attach(spf);
  for (int i = 1; i <= 12; ++i) run.atoms.append("test");
  Atom& o = run.atoms.at(12);
  o.label = "O1      ";
  o.xc = {1.0f, 2.0f, 3.0f};
  AxisDecision d;
  d.first = AxisLetter::Z;
  d.second = AxisLetter::Y;
  d.p1 = at({1.0f, 2.0f, 3.6f});
  d.p2 = at({1.8f, 2.0f, 3.6f});
  loc2plat(run, 12, d);
  EXPECT_EQ(spf.str(),
            "ATOM O1               1.0000      2.0000      3.0000\n"
            "ATOM X12              1.0000      1.8000      3.0000\n"
            "ATOM Y12              1.2000      2.0000      3.0000\n"
            "ATOM Z12              1.0000      2.0000      3.2000\n");
}

}  // namespace
}  // namespace tesk
