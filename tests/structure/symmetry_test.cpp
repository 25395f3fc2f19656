// Lattice centring, the inversion centre, the matrix printouts and the
// occupancy flag: operator counts, group closure and special positions.
#include "structure/symmetry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

void load_cards(Run& run, const std::vector<std::string>& cards) {
  run.symm.ops.assign(1, identity_op());
  for (const auto& c : cards) ASSERT_TRUE(symcrd(run, "SYMM " + c)) << c;
}

// a after b: x -> a(b(x)), with rot[k][j] the coefficient of input k in output j.
SymOp compose(const SymOp& a, const SymOp& b) {
  SymOp c;
  for (int j = 0; j < 3; ++j) {
    c.trn[j] = a.trn[j];
    for (int m = 0; m < 3; ++m) c.trn[j] += a.rot[m][j] * b.trn[m];
    for (int k = 0; k < 3; ++k) {
      for (int m = 0; m < 3; ++m) c.rot[k][j] += b.rot[k][m] * a.rot[m][j];
    }
  }
  return c;
}

// Same rotation, translations equal modulo whole cells.
bool same_modulo_cell(const SymOp& a, const SymOp& b) {
  if (a.rot != b.rot) return false;
  for (int j = 0; j < 3; ++j) {
    const float d = a.trn[j] - b.trn[j];
    if (std::fabs(d - std::round(d)) > 1e-4f) return false;
  }
  return true;
}

int find_op(const Symmetry& symm, const SymOp& op) {
  for (int s = 1; s <= symm.nsym(); ++s) {
    if (same_modulo_cell(symm.op(s), op)) return s;
  }
  return 0;
}

// Every product of two operators is again in the list (up to a whole-cell
// translation), and no two operators of the list are the same.
void expect_closed_group(const Symmetry& symm) {
  for (int a = 1; a <= symm.nsym(); ++a) {
    for (int b = 1; b <= symm.nsym(); ++b) {
      ASSERT_NE(find_op(symm, compose(symm.op(a), symm.op(b))), 0) << a << " after " << b;
    }
    EXPECT_EQ(find_op(symm, symm.op(a)), a) << "duplicate of operator " << a;
  }
}

SymOp op_from(std::string_view text) {
  tesk::Run run;
  run.symm.ops.assign(1, identity_op());
  EXPECT_TRUE(symcrd(run, text));
  return run.symm.op(run.symm.nsym());
}

// F222 cards: 4 operators, 16 with F centring, 32 with an inversion centre
// (Fmmm).
TEST(Nonp, FCentringAndInversionCounts) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  load_cards(run, {"-X,-Y,Z", "-X,Y,-Z", "X,-Y,-Z"});
  nonp(run, 'F');
  EXPECT_EQ(run.symm.nsym(), 16);
  EXPECT_EQ(log.str(),
            "\n Non-Primitive lattice...\n"
            " Lattice centring type is [ F ]\n"
            " Number of lattice points per cell = 4\n"
            "\n Symmetry operations after applying the lattice centering:\n"
            "\n Number of symmetry operations = 16\n");
  // Operators 5..8 carry (1/2, 1/2, 0), 9..12 (0, 1/2, 1/2), 13..16 (1/2, 0, 1/2).
  EXPECT_EQ(run.symm.op(6).trn, (Vec3{0.5f, 0.5f, 0.0f}));
  EXPECT_EQ(run.symm.op(10).trn, (Vec3{0.0f, 0.5f, 0.5f}));
  addcentsymm(run);
  EXPECT_EQ(run.symm.nsym(), 32);
  expect_closed_group(run.symm);
}

// Centring adds to card translations; whole cells are taken off afterwards.
TEST(Nonp, CheckTsReducesWholeCellsOnly) {
  tesk::Run run;
  load_cards(run, {"1/2-X, -Y, 3/4+Z"});
  nonp(run, 'I');
  ASSERT_EQ(run.symm.nsym(), 4);
  EXPECT_EQ(run.symm.op(3).trn, (Vec3{0.5f, 0.5f, 0.5f}));  // identity + I
  EXPECT_EQ(run.symm.op(4).trn, (Vec3{0.0f, 0.5f, 0.25f}));  // 1/2+1/2 -> 0, 3/4+1/2 -> 1/4
  Symmetry symm;
  SymOp op;
  op.trn = {-1.25f, 0.999f, 2.0f};
  symm.ops = {op};
  checkts(symm);
  EXPECT_EQ(symm.ops[0].trn, (Vec3{-0.25f, 0.999f, 0.0f}));  // negative stays negative
}

// R-3c on hexagonal axes (obverse): 6 operators from the cards, 18 with the
// two rhombohedral centring vectors, 36 with the inversion centre.
TEST(Nonp, RhombohedralCentring) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  load_cards(run, {"-Y, X-Y, Z", "Y, X, -Z+ 0.50000", "-X+Y, -X, Z", "-X, -X+Y, -Z+ 0.50000",
                   "X-Y, -Y, -Z+ 0.50000"});
  nonp(run, 'R');
  ASSERT_EQ(run.symm.nsym(), 18);
  EXPECT_NE(log.str().find(" Number of lattice points per cell = 3\n"), std::string::npos);
  EXPECT_EQ(run.symm.op(7).trn, (Vec3{2.0f / 3, 1.0f / 3, 1.0f / 3}));
  EXPECT_EQ(run.symm.op(13).trn, (Vec3{1.0f / 3, 2.0f / 3, 2.0f / 3}));
  // Y, X, 1/2-Z plus (1/3, 2/3, 2/3): 1/2 + 2/3 = 7/6 becomes 1/6.
  EXPECT_NEAR(run.symm.op(15).trn[2], 1.0f / 6, 1e-6f);
  EXPECT_EQ(opout(run.symm.op(15)), " 1/3 + Y, 2/3 + X, 1/6 - Z");
  addcentsymm(run);
  EXPECT_EQ(run.symm.nsym(), 36);
  expect_closed_group(run.symm);
}

TEST(Nonp, UnsupportedLatticeStops) {
  tesk::Run run;
  std::ostringstream log, console;
  run.out.log.attach(log);
  run.out.console.attach(console);
  load_cards(run, {"-X,-Y,Z"});
  try {
    nonp(run, 'Q');
    FAIL() << "no stop";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.kind(), FatalError::Kind::Stop);
    EXPECT_NE(e.exit_status(), 0);
  }
  EXPECT_EQ(console.str(), " Lattice type Q is not supported\n");
  EXPECT_EQ(run.symm.nsym(), 2);
}

TEST(Capacity, CentringAndInversionStopAtTheTable) {
  tesk::Run run;
  run.symm.ops.assign(49, identity_op());  // 49 x 4 > 192
  try {
    nonp(run, 'F');
    FAIL() << "no error";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "Nonp");
    EXPECT_EQ(e.message(), "Too many symmetry operators");
  }
  EXPECT_EQ(run.symm.nsym(), kMaxSymOps);
  run.symm.ops.assign(97, identity_op());
  try {
    addcentsymm(run);
    FAIL() << "no error";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "AddCentSymm");
    EXPECT_EQ(e.message(), "Too many symmetry operators");
  }
}

// I4_1/a, origin choice 2 (inversion centre at the origin): the 4_1 screws
// carry quarter translations. The copy of 3/4-Y, 1/4+X, 1/4+Z combined with
// the inversion is 3/4+Y, 1/4-X, 1/4-Z, itself an operator of the group
// (ITA position 11 up to a centring vector), and the whole list must be a
// group.
TEST(Addcentsymm, QuarterTranslationsGiveAGroup) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  load_cards(run, {"1/2-X, -Y, 1/2+Z", "3/4-Y, 1/4+X, 1/4+Z", "3/4+Y, 3/4-X, 3/4+Z"});
  nonp(run, 'I');
  addcentsymm(run);
  ASSERT_EQ(run.symm.nsym(), 16);
  EXPECT_EQ(run.symm.op(8 + 3).trn, (Vec3{0.75f, 0.25f, 0.25f}));
  EXPECT_EQ(run.symm.op(8 + 2).trn, (Vec3{0.5f, 0.0f, 0.5f}));
  EXPECT_EQ(opout(run.symm.op(8 + 3)), " 3/4 + Y, 1/4 - X, 1/4 - Z");
  expect_closed_group(run.symm);
  ASSERT_NE(find_op(run.symm, op_from("SYMM -X, -Y, -Z")), 0);
  ASSERT_NE(find_op(run.symm, op_from("SYMM 1/4+Y, 3/4-X, 3/4-Z")), 0);  // ITA position (7)
}

TEST(Addcentsymm, PrintsEveryOperatorAsRows) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  load_cards(run, {"Y, -X, 1/2+Z"});
  addcentsymm(run);
  ASSERT_EQ(run.symm.nsym(), 4);
  // Row r holds rot(r, 1..3), the coefficients of input coordinate r, then trn(r).
  const std::string op2 =
      "\n SYMM    2\n"
      "    0.000000   -1.000000    0.000000         0.000000\n"
      "    1.000000    0.000000    0.000000         0.000000\n"
      "    0.000000    0.000000    1.000000         0.500000\n";
  const std::string op4 =
      "\n SYMM    4\n"
      "   -0.000000    1.000000   -0.000000         0.000000\n"
      "   -1.000000   -0.000000   -0.000000         0.000000\n"
      "   -0.000000   -0.000000   -1.000000         0.500000\n";
  const std::string out = log.str();
  EXPECT_EQ(out.rfind("\n Symmetry operations with Center of Symmetry applied:    4\n", 0), 0u);
  EXPECT_NE(out.find(op2), std::string::npos);
  EXPECT_NE(out.find(op4), std::string::npos);
}

TEST(Prsymop, MatricesOnlyFromVerbosityTwo) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  load_cards(run, {"-X, 1/2+Y, -Z"});
  prsymop(run);
  EXPECT_EQ(log.str(), "\n Number of symmetry operations =  2\n");
  log.str("");
  run.opt.verbosity = 2;
  prsymop(run);
  EXPECT_EQ(log.str(),
            "\n Number of symmetry operations =  2\n"
            "\n SYMM  1\n"
            "    1.000000    0.000000    0.000000         0.000000\n"
            "    0.000000    1.000000    0.000000         0.000000\n"
            "    0.000000    0.000000    1.000000         0.000000\n"
            "\n SYMM  2\n"
            "   -1.000000    0.000000    0.000000         0.000000\n"
            "    0.000000    1.000000    0.000000         0.500000\n"
            "    0.000000    0.000000   -1.000000         0.000000\n");
}

// More than 99 operators: the count takes three columns instead of "**".
TEST(Prsymop, CountBeyondNinetyNine) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  run.symm.ops.assign(192, identity_op());
  prsymop(run);
  EXPECT_EQ(log.str(), "\n Number of symmetry operations = 192\n");
}

struct Placed {
  Vec3 xf;
  float occ;
};

std::vector<int> flags_in(const std::vector<std::string>& cards, const UnitCell& cell,
                          const std::vector<Placed>& atoms) {
  tesk::Run run;
  load_cards(run, cards);
  run.ucell = cell;
  run.transf = orthogonalise(cell);
  for (const auto& p : atoms) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.xf = p.xf;
    a.occ = p.occ;
    a.xc = rabs(run.transf, 0, p.xf);
  }
  run.atoms.natoms = run.atoms.size();
  checkocc(run);
  std::vector<int> flags;
  for (int i = 1; i <= run.atoms.natoms; ++i) flags.push_back(run.atoms.at(i).flag);
  return flags;
}

// P2 (twofold axis along b through the origin and through x = z = 1/2).
TEST(Checkocc, TwofoldAxisSpecialPositionVersusDisorder) {
  UnitCell mono;
  mono.p = {6.0f, 7.0f, 8.0f, 90.0f, 105.0f, 90.0f};
  const std::vector<Placed> atoms = {
      {{0.0f, 0.3f, 0.0f}, 0.5f},    // on the axis
      {{0.5f, 0.3f, 0.5f}, 0.5f},    // on the axis one half cell away: copy + (1, 0, 1)
      {{0.0f, 0.8f, 1.0f}, 0.5f},    // on the axis in the next cell: copy + (0, 0, 2)
      {{0.1f, 0.3f, 0.2f}, 0.5f},    // off the axis: disordered
      {{0.1f, 0.3f, 0.2f}, 1.0f},    // fully occupied: normal whatever its site
      {{0.0f, 0.3f, 0.0f}, 1.0f},    // on the axis but occupancy 1: normal
      {{0.0004f, 0.3f, 0.0f}, 0.5f}, // copy 0.0048 A away: not on the axis
  };
  EXPECT_EQ(flags_in({"-X, Y, -Z"}, mono, atoms), (std::vector<int>{1, 1, 1, -1, 0, 0, -1}));
}

// An acid on an inversion centre of P-1 at (1/2, 1/2, 1/2): the inverted
// copy lands on the atom after the translation (1, 1, 1).
TEST(Checkocc, InversionCentreInTriclinicCell) {
  UnitCell tric;
  tric.p = {5.0f, 6.0f, 7.0f, 80.0f, 95.0f, 110.0f};
  EXPECT_EQ(flags_in({"-X, -Y, -Z"}, tric,
                     {{{0.5f, 0.5f, 0.5f}, 0.5f}, {{0.5f, 0.5f, 0.0f}, 0.5f},
                      {{0.45f, 0.5f, 0.5f}, 0.5f}}),
            (std::vector<int>{1, 1, -1}));
}

// The flag by the plain scan over every operator and all 125 lattice
// translations -2..2 in each direction.
int brute_force_flag(const tesk::Run& run, const Atom& at) {
  if (at.occ == 1.0f) return 0;
  for (int s = 1; s <= run.symm.nsym(); ++s) {
    const Vec3 xs = apply_op(run.symm.op(s), at.xf);
    for (int u = -2; u <= 2; ++u) {
      for (int v = -2; v <= 2; ++v) {
        for (int w = -2; w <= 2; ++w) {
          if (s == 1 && u == 0 && v == 0 && w == 0) continue;
          const Vec3 x{xs[0] + static_cast<float>(u), xs[1] + static_cast<float>(v),
                       xs[2] + static_cast<float>(w)};
          if (dist(rabs(run.transf, 0, x), at.xc) < 0.001f) return 1;
        }
      }
    }
  }
  return -1;
}

// R-3c on hexagonal axes: sites on the 3-fold axis, on the inversion centres,
// on the 2-fold axes, and general ones, spread over neighbouring cells.
TEST(Checkocc, AgreesWithTheFullTranslationScan) {
  tesk::Run run;
  load_cards(run, {"-Y, X-Y, Z", "Y, X, -Z+1/2", "-X+Y, -X, Z", "-X, -X+Y, -Z+1/2",
                   "X-Y, -Y, -Z+1/2"});
  nonp(run, 'R');
  addcentsymm(run);
  run.ucell.p = {16.193f, 16.193f, 11.2421f, 90.0f, 90.0f, 120.0f};
  run.transf = orthogonalise(run.ucell);
  std::vector<Vec3> sites = {{0, 0, 0},       {0, 0, 0.25f},  {0, 0, 0.1f},   {1, 1, 0.6f},
                             {0.5f, 0, 0},    {0.3f, 0, 0.25f}, {2.0f / 3, 1.0f / 3, 1.0f / 3},
                             {0.12f, 0.34f, 0.56f}, {-0.3f, 0.0f, 1.25f}, {0.0f, 0.5f, 0.5f}};  // last: -1
  unsigned seed = 12345;
  for (int i = 0; i < 40; ++i) {
    Vec3 x{};
    for (float& c : x) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<float>((seed >> 8) % 4000) / 1000.0f - 2.0f;
    }
    sites.push_back(x);
  }
  for (const Vec3& x : sites) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.xf = x;
    a.occ = 0.5f;
    a.xc = rabs(run.transf, 0, x);
  }
  run.atoms.natoms = run.atoms.size();
  checkocc(run);
  int special = 0;
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const Atom& a = run.atoms.at(i);
    EXPECT_EQ(a.flag, brute_force_flag(run, a)) << "atom " << i;
    if (a.flag == 1) ++special;
  }
  EXPECT_EQ(special, 9);  // every listed site but (0.12, 0.34, 0.56)
}

// R-3c on hexagonal axes with sites given to four decimals, as CIFs give
// them: on the 3-fold axis, on the -3 site (2/3, 1/3, 1/12) and on an
// inversion centre (1/6, 1/3, 1/3). Each copy misses its atom by more than
// 0.001 Angstrom, yet the site is special: it moves onto the exact position
// (logged) and is flagged. Sites a few hundredths of an Angstrom off stay.
TEST(SpecialPositions, FourDecimalSitesMoveOntoThePosition) {
  const float t = 1.0f / 3.0f;
  const std::vector<std::pair<Vec3, Vec3>> cases = {  // given, exact (given: general site)
      {{0.6667f, 0.3333f, 0.21f}, {2 * t, t, 0.21f}},
      {{0.6667f, 0.3333f, 0.0833f}, {2 * t, t, 1.0f / 12.0f}},
      {{0.1667f, 0.3333f, 0.3333f}, {0.5f * t, t, t}},
      {{0.1234f, 0.3456f, 0.0833f}, {0.1234f, 0.3456f, 0.0833f}},
      {{0.6687f, 0.3353f, 0.0853f}, {0.6687f, 0.3353f, 0.0853f}}};
  tesk::Run run;
  load_cards(run, {"-Y, X-Y, Z", "Y, X, -Z+1/2", "-X+Y, -X, Z", "-X, -X+Y, -Z+1/2",
                   "X-Y, -Y, -Z+1/2"});
  nonp(run, 'R');
  addcentsymm(run);
  run.transf = orthogonalise(UnitCell{{16.193f, 16.193f, 11.2421f, 90.0f, 90.0f, 120.0f}});
  std::ostringstream log;
  run.out.log.attach(log);
  for (const auto& [given, exact] : cases) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a = Atom{"A", given, rabs(run.transf, 0, given)};
    a.occ = 0.5f;
  }
  run.atoms.natoms = run.atoms.size();
  snap_special_positions(run);
  checkocc(run);
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const auto& [given, exact] = cases[static_cast<std::size_t>(i - 1)];
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(run.atoms.at(i).xf[k], exact[k], 1e-7f) << i;
    EXPECT_EQ(run.atoms.at(i).flag, given == exact ? -1 : 1) << i;
  }
  const std::string moved = log.str();
  EXPECT_EQ(std::count(moved.begin(), moved.end(), '\n'), 3) << moved;
}

// Real SHELX files from tests/data/structures: every card parses, centring
// and the inversion centre give the full space group, and it is a group.
TEST(Getsym, RealFilesGiveTheFullSpaceGroup) {
  struct Row {
    const char* file;
    char letter;  // 'P': no centring
    bool centric;
    int nsym;
  };
  const Row rows[] = {
      {"ni_i-43d.res", 'I', false, 48},           // decimal quarter translations
      {"caf2_fm-3m.res", 'F', true, 192},         // the largest list there is
      {"fe_aqua_r-3c.res", 'R', true, 36},        // rhombohedral, obverse
      {"hydroxyquinoline_fdd2.res", 'F', false, 16},
      {"protein_3odl_resi.ins", 'P', false, 6},   // P3_221: thirds in the cards
      {"vinigrol_p21c.ins", 'P', true, 4},        // blanks inside the card
      {"li_k_so4_p63.ins", 'P', false, 6},
      {"zp2_pna21.ins", 'P', false, 4},           // CRLF line endings
  };
  for (const auto& r : rows) {
    tesk::Run run;
    std::ostringstream log, console;
    run.out.log.attach(log);
    run.out.console.attach(console);
    TextInput in;
    ASSERT_TRUE(in.open(testing::structures_dir() + r.file)) << r.file;
    getsym(run, in);
    EXPECT_EQ(log.str().find("illegal"), std::string::npos) << r.file;
    if (r.letter != 'P') nonp(run, r.letter);
    if (r.centric) addcentsymm(run);
    EXPECT_EQ(run.symm.nsym(), r.nsym) << r.file;
    expect_closed_group(run.symm);
  }
}

}  // namespace
}  // namespace tesk
