// Dummy atoms: labels and their limit, the 0.1 Angstrom reuse, the stored
// form in a monoclinic cell, ring centres, and the replacement of
// symmetry-generated axis atoms compared with a plain loop.
#include "local_axes/dummy_atoms.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"

namespace tesk {
namespace {

// a = 10, b = 8, c = 6 Angstrom, beta = 120 degrees: x along a, so that
// fractional (u, v, w) lies at cartesian (10u - 3w, 8v, 5.196152w).
void monoclinic(Run& run, int ifra) {
  run.ucell.p = {10.0f, 8.0f, 6.0f, 90.0f, 120.0f, 90.0f};
  run.transf = orthogonalise(run.ucell);
  run.opt.ifra = ifra;
}

int add_atom(Run& run, const std::string& label, const Vec3& xf) {
  const int i = run.atoms.append("test");
  Atom& a = run.atoms.at(i);
  a.label = label;
  a.label.resize(8, ' ');
  a.xf = xf;
  a.xc = rabs(run.transf, 0, xf);
  return i;
}

void expect_near(const Vec3& got, const Vec3& want, const std::string& what) {
  for (std::size_t c = 0; c < 3; ++c)
    EXPECT_NEAR(got[c], want[c], 2e-5f) << what << " [" << c << "]";
}

FatalError stop_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const FatalError& e) {
    return e;
  }
  return FatalError(FatalError::Kind::Err, "none", "no stop");
}

TEST(DummyAtoms, LabelsCarryTheNumberWithoutBlanks) {
  const std::pair<int, const char*> rows[] = {
      {1, "DUM1"}, {9, "DUM9"}, {10, "DUM10"}, {99, "DUM99"}, {100, "DUM100"}, {999, "DUM999"}};
  for (const auto& [k, label] : rows) EXPECT_EQ(dummylab(k), label);
  FatalError e = stop_of([] { dummylab(1000); });
  EXPECT_EQ(e.routine(), "DummyLab");
  EXPECT_EQ(e.message(), "DUMMY label exceeds format...");
}

// 999 dummies 1 Angstrom apart fill the label field; a 1000th place stops the
// run, while a point at an existing dummy still finds it.
TEST(DummyAtoms, ThousandthDummyStops) {
  tesk::Run run;
  run.opt.ifra = 0;
  for (int k = 1; k <= kMaxDummyLabels; ++k)
    ASSERT_EQ(adddummyatom(run, false, {static_cast<float>(k), 0.0f, 0.0f}), k);
  EXPECT_EQ(adddummyatom(run, false, {500.05f, 0.0f, 0.0f}), 500);
  FatalError e = stop_of([&] { adddummyatom(run, false, {0.0f, 5.0f, 0.0f}); });
  EXPECT_EQ(e.routine(), "DummyLab");
  EXPECT_EQ(e.message(), "DUMMY label exceeds format...");
  EXPECT_EQ(run.axes.dummy.ndum(), kMaxDummyLabels);
}

struct Ask {
  bool frac;
  Vec3 x;
};

TEST(DummyAtoms, ReuseWithinATenthOfAnAngstrom) {
  struct Row {
    const char* why;
    int ifra;
    std::vector<Ask> asks;
    std::vector<int> numbers;
  };
  const Row rows[] = {
      {"two isolated ions both ask for 0,0,0", 1, {{true, {0, 0, 0}}, {true, {0, 0, 0}}}, {1, 1}},
      {"0.1 Angstrom exactly is a new dummy", 0, {{false, {0, 0, 0}}, {false, {0.1f, 0, 0}}},
       {1, 2}},
      {"just inside 0.1", 0, {{false, {0, 0, 0}}, {false, {0, 0.0999f, 0}}}, {1, 1}},
      {"the lowest number wins over the nearer dummy", 0,
       {{false, {0, 0, 0}}, {false, {0.15f, 0, 0}}, {false, {0.08f, 0, 0}}}, {1, 2, 1}},
      {"pairs across the walls of the search cells", 0,
       {{false, {0.98f, -0.02f, 2.99f}}, {false, {1.03f, 0.02f, 3.01f}},
        {false, {-0.03f, 0, 0}}, {false, {0.04f, 0, 0}}},
       {1, 1, 2, 2}},
      // 0.008 along a and +-0.012 along c: 0.076 Angstrom one way, 0.132 the
      // other under beta = 120 (0.108 both ways in a right-angled cell).
      {"distances in the monoclinic metric", 1,
       {{true, {0.25f, 0.5f, 0.5f}}, {true, {0.258f, 0.5f, 0.512f}},
        {true, {0.258f, 0.5f, 0.488f}}},
       {1, 1, 2}},
      {"a cartesian midpoint next to a fractional dummy", 1,
       {{true, {0.25f, 0.5f, 0.5f}}, {false, {1.05f, 4.0f, 2.598076f}}}, {1, 1}},
  };
  for (const Row& row : rows) {
    tesk::Run run;
    monoclinic(run, row.ifra);
    std::vector<int> got;
    for (const Ask& a : row.asks) got.push_back(adddummyatom(run, a.frac, a.x));
    EXPECT_EQ(got, row.numbers) << row.why;
    EXPECT_EQ(run.axes.dummy.ndum(), *std::max_element(got.begin(), got.end())) << row.why;
  }
}

// Requests crowded into a 2 Angstrom box, so that most of them land near an
// earlier dummy: the grid answers as the scan over every dummy does.
TEST(DummyAtoms, ReuseAgreesWithTheScanOverAllDummies) {
  tesk::Run run;
  monoclinic(run, 1);
  std::mt19937 gen(4711);
  std::uniform_real_distribution<float> box(-1.0f, 1.0f);
  std::vector<Vec3> cart;  // the plain list: cartesian position of each dummy
  int reused = 0;
  for (int n = 0; n < 3000; ++n) {
    const Vec3 x{box(gen), box(gen), box(gen)};
    int want = 0;
    for (std::size_t k = 0; k < cart.size() && want == 0; ++k)
      if (dist(x, cart[k]) < 0.1f) want = static_cast<int>(k) + 1;
    if (want == 0) {
      cart.push_back(rabs(run.transf, 0, rabs(run.transf, 1, x)));
      want = static_cast<int>(cart.size());
    } else {
      ++reused;
    }
    ASSERT_EQ(adddummyatom(run, false, x), want) << "request " << n;
    if (cart.size() >= static_cast<std::size_t>(kMaxDummyLabels)) break;
  }
  EXPECT_GT(reused, 100);
}

TEST(DummyAtoms, StoredFormFollowsIfra) {
  struct Row {
    int ifra;
    Ask ask;
    Vec3 stored, cart;
  };
  const Vec3 frac{0.25f, 0.5f, 0.5f}, cart{1.0f, 4.0f, 2.598076f};
  const Vec3 half{0.5f, 0.5f, 0.5f}, half_cart{3.5f, 4.0f, 2.598076f};
  const Row rows[] = {
      {1, {true, frac}, frac, cart},
      {1, {false, cart}, frac, cart},
      {0, {false, cart}, cart, cart},
      // A fractional point when dummies are kept cartesian is converted
      // rather than stored as if its fractions were Angstrom.
      {0, {true, frac}, cart, cart},
      {1, {true, half}, half, half_cart},
  };
  for (const Row& row : rows) {
    tesk::Run run;
    monoclinic(run, row.ifra);
    ASSERT_EQ(adddummyatom(run, row.ask.frac, row.ask.x), 1);
    const std::string what = "ifra " + std::to_string(row.ifra) + " frac " +
                             std::to_string(row.ask.frac);
    expect_near(run.axes.dummy.dum[0].x, row.stored, what);
    expect_near(dummy_xc(run, 1), row.cart, what);
    const AxisPoint p = dummy_point(run, 1);
    EXPECT_EQ(p.label, "DUM1    ");
    EXPECT_EQ(p.dummy, 1);
    EXPECT_EQ(p.atom, 0);
    expect_near(p.xc, dummy_xc(run, 1), what);
  }
}

// Ring 1, a hexagon around fractional (0.3, 0.2, 0.4), cartesian
// (1.8, 1.6, 2.078461); ring 2, five atoms elsewhere. Every atom of a ring
// asks for the centre; the first makes it.
TEST(DummyAtoms, RingAtomsShareTheCentreDummy) {
  for (int ifra : {1, 0}) {
    tesk::Run run;
    monoclinic(run, ifra);
    const Vec3 centre{0.3f, 0.2f, 0.4f};
    const float off[6][2] = {{0.1f, 0}, {0.05f, 0.08f}, {-0.05f, 0.08f},
                             {-0.1f, 0}, {-0.05f, -0.08f}, {0.05f, -0.08f}};
    Ring hexagon, pentagon;
    for (const auto& o : off)
      hexagon.ratom.push_back(add_atom(run, "C", {centre[0] + o[0], centre[1] + o[1], centre[2]}));
    for (int k = 0; k < 5; ++k) {
      const float u = 0.7f + 0.01f * static_cast<float>(k);
      pentagon.ratom.push_back(add_atom(run, "N", {u, 0.7f, 0.7f}));
    }
    hexagon.rsize = 6;
    pentagon.rsize = 5;
    run.rings.ring = {hexagon, pentagon};

    EXPECT_EQ(ring_centre_dummy(run, 1), 1);
    EXPECT_EQ(ring_centre_dummy(run, 1), 1);
    EXPECT_EQ(ring_centre_dummy(run, 2), 2);
    EXPECT_EQ(ring_centre_dummy(run, 1), 1);
    EXPECT_EQ(run.axes.dummy.ndum(), 2);
    EXPECT_EQ(run.rings.ring[0].rcent, 1);
    EXPECT_EQ(run.rings.ring[1].rcent, 2);
    const Vec3 cart{1.8f, 1.6f, 2.078461f};
    const std::string what = "ifra " + std::to_string(ifra);
    expect_near(run.axes.dummy.dum[0].x, ifra == 1 ? centre : cart, what);
    expect_near(dummy_xc(run, 1), cart, what);
  }
}

AxisPoint atom_point(const Run& run, int i, Vec3 shift = {0, 0, 0}) {
  AxisPoint p;
  p.label = run.atoms.at(i).label;
  p.atom = i;
  const Vec3& x = run.atoms.at(i).xc;
  p.xc = {x[0] + shift[0], x[1] + shift[1], x[2] + shift[2]};
  return p;
}

// O1 and H1 read in; H1' (3) and O1' (4) their copies through the inversion
// centre. Dummy 1 already stands on H1', so a new dummy there shows that
// replacement makes its own.
TEST(DummyAtoms, SymmetryGeneratedAxisAtomBecomesADummy) {
  struct Row {
    const char* why;
    int atom1, atom2;
    Vec3 shift1, shift2;
    std::string label1, label2, log;
    std::vector<int> copies;  // atoms whose fractional coordinates the new dummies take
  };
  const Row rows[] = {
      {"both axes on copies: the lower copy number goes first", 4, 3, {0, 0, 0}, {0, 0, 0},
       "DUM3    ", "DUM2    ",
       "\n Atom H1       used in definition of Y-axis is symmetry-generated; replace with "
       "dummy    2\n"
       "\n Atom O1       used in definition of X-axis is symmetry-generated; replace with "
       "dummy    3\n",
       {3, 4}},
      {"a read atom, and 0.002 Angstrom off a copy", 1, 3, {0, 0, 0}, {0.002f, 0, 0},
       "O1      ", "H1      ", "", {}},
      {"0.0005 Angstrom off a copy is that copy", 2, 4, {0, 0, 0}, {0, 0.0005f, 0},
       "H1      ",
       "DUM2    ",
       "\n Atom O1       used in definition of Y-axis is symmetry-generated; replace with "
       "dummy    2\n",
       {4}},
  };
  for (const Row& row : rows) {
    tesk::Run run;
    monoclinic(run, 1);
    std::ostringstream log;
    run.out.log.attach(log);
    add_atom(run, "O1", {0.1f, 0.1f, 0.1f});
    add_atom(run, "H1", {0.19f, 0.1f, 0.1f});
    run.atoms.natoms = 2;
    add_atom(run, "H1", {-0.19f, -0.1f, -0.1f});
    add_atom(run, "O1", {-0.1f, -0.1f, -0.1f});
    run.cryst.nall = 4;
    adddummyatom(run, true, run.atoms.at(3).xf);

    AxisDecision d;
    d.first = AxisLetter::X;
    d.second = AxisLetter::Y;
    d.p1 = atom_point(run, row.atom1, row.shift1);
    d.p2 = atom_point(run, row.atom2, row.shift2);
    checksymeq(run, d);
    EXPECT_EQ(d.p1.label, row.label1) << row.why;
    EXPECT_EQ(d.p2.label, row.label2) << row.why;
    EXPECT_EQ(log.str(), row.log) << row.why;
    ASSERT_EQ(run.axes.dummy.ndum(), 1 + static_cast<int>(row.copies.size())) << row.why;
    for (std::size_t n = 0; n < row.copies.size(); ++n)
      EXPECT_EQ(run.axes.dummy.dum[n + 1].x, run.atoms.at(row.copies[n]).xf) << row.why;
    for (const AxisPoint* p : {&d.p1, &d.p2}) {
      const bool replaced = p->label.starts_with("DUM");
      EXPECT_EQ(p->atom == 0, replaced) << row.why;
      if (replaced) EXPECT_EQ("DUM" + std::to_string(p->dummy) + "    ", p->label) << row.why;
    }
  }
}

// The straightforward form: every generated atom in turn, both axis points
// tested against it.
void checksymeq_plain(const Run& run, AxisDecision& d, std::vector<Vec3>& dummies,
                      std::string& log) {
  for (int g = run.atoms.natoms + 1; g <= run.cryst.nall; ++g) {
    for (int which = 1; which <= 2; ++which) {
      AxisPoint& p = which == 1 ? d.p1 : d.p2;
      if (!(dist(p.xc, run.atoms.at(g).xc) < 0.001f)) continue;
      dummies.push_back(run.atoms.at(g).xf);
      const int k = static_cast<int>(dummies.size());
      log += ffmt("(/' Atom ',a,' used in definition of ',a,'-axis is',"
                  "' symmetry-generated; replace with dummy ',i4)",
                  {p.label, std::string(1, letter_char(which == 1 ? d.first : d.second)), k});
      p.label = "DUM" + std::to_string(k);
      p.label.resize(8, ' ');
      p.atom = 0;
      p.dummy = k;
    }
  }
}

// Copies scattered through some 12 x 10 x 6 Angstrom, some stacked on one another,
// axis points on copies, next to them, on read atoms or anywhere; halfway
// through, fragment completion is imagined to have added more copies.
TEST(DummyAtoms, ReplacementAgreesWithThePlainLoop) {
  tesk::Run run;
  monoclinic(run, 1);
  std::ostringstream log;
  run.out.log.attach(log);
  std::mt19937 gen(2024);
  std::uniform_real_distribution<float> frac(-0.6f, 0.6f), unit(0.0f, 1.0f), jiggle(-8e-4f, 8e-4f);
  auto add_copies = [&](int n) {
    for (int c = 0; c < n; ++c) {
      const int prev = run.atoms.size();
      Vec3 xf{frac(gen), frac(gen), frac(gen)};
      if (prev > run.atoms.natoms && unit(gen) < 0.25f)
        xf = run.atoms.at(prev - static_cast<int>(unit(gen) * 3.0f) % (prev - run.atoms.natoms)).xf;
      add_atom(run, "G" + std::to_string(prev + 1), xf);
    }
    run.cryst.nall = run.atoms.size();
  };
  for (int i = 1; i <= 30; ++i)
    add_atom(run, "A" + std::to_string(i), {frac(gen), frac(gen), frac(gen)});
  run.atoms.natoms = 30;
  add_copies(300);

  std::vector<Vec3> plain_dummies;
  std::string plain_log;
  const AxisLetter letters[] = {AxisLetter::X, AxisLetter::Y, AxisLetter::Z};
  for (int n = 0; n < 200; ++n) {
    if (n == 100) add_copies(100);
    AxisDecision d;
    d.first = letters[n % 3];
    d.second = letters[(n + 1 + n / 3 % 2) % 3];
    for (AxisPoint* p : {&d.p1, &d.p2}) {
      const float pick = unit(gen);
      const int any = 1 + static_cast<int>(unit(gen) * static_cast<float>(run.cryst.nall - 1));
      const int copy = run.atoms.natoms + 1 + any % (run.cryst.nall - run.atoms.natoms);
      if (pick < 0.4f) {
        *p = atom_point(run, copy);
      } else if (pick < 0.6f) {
        *p = atom_point(run, copy, {jiggle(gen), jiggle(gen), jiggle(gen)});
      } else if (pick < 0.8f) {
        *p = atom_point(run, 1 + any % run.atoms.natoms);
      } else {
        p->label = "P" + std::to_string(n);
        p->label.resize(8, ' ');
        p->xc = rabs(run.transf, 0, {frac(gen), frac(gen), frac(gen)});
      }
    }
    AxisDecision plain = d;
    checksymeq_plain(run, plain, plain_dummies, plain_log);
    checksymeq(run, d);
    for (auto [got, want] : {std::pair{&d.p1, &plain.p1}, std::pair{&d.p2, &plain.p2}}) {
      EXPECT_EQ(got->label, want->label) << "decision " << n;
      EXPECT_EQ(got->atom, want->atom) << "decision " << n;
      EXPECT_EQ(got->dummy, want->dummy) << "decision " << n;
    }
  }
  EXPECT_EQ(log.str(), plain_log);
  ASSERT_EQ(run.axes.dummy.ndum(), static_cast<int>(plain_dummies.size()));
  for (std::size_t k = 0; k < plain_dummies.size(); ++k)
    EXPECT_EQ(run.axes.dummy.dum[k].x, plain_dummies[k]) << "dummy " << k + 1;
  EXPECT_GT(plain_dummies.size(), 100u);
}

}  // namespace
}  // namespace tesk
