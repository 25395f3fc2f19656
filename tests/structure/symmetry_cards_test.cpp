// Symmetry cards: the algebraic and numeric forms, fractions, illegal cards,
// the operator text, and reading all cards of a file.
#include <gtest/gtest.h>

#include <sstream>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "structure/symmetry.hpp"

namespace tesk {
namespace {

using Rot = std::array<std::array<float, 3>, 3>;

// rot[k][j]: coefficient of input coordinate k in output coordinate j.
const Rot kScrewB = {{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}};  // -X, Y, -Z

SymOp parse_one(std::string_view card) {
  tesk::Run run;
  run.symm.ops.assign(1, identity_op());
  EXPECT_TRUE(symcrd(run, card)) << card;
  EXPECT_EQ(run.symm.nsym(), 2) << card;
  return run.symm.nsym() == 2 ? run.symm.op(2) : SymOp{};
}

// The 2_1 screw along b, written every way a SHELX or KQ file may write it.
TEST(Symcrd, AllWrittenFormsGiveTheSameOperator) {
  const char* cards[] = {
      "SYMM -X, 1/2+Y, -Z",
      "SYMM -x,y+1/2,-z",
      "SYMM 0 -1 0 0 0.5 0 1 0 0 0 0 -1",   // t, r1, r2, r3 per output coordinate
      "SYMM 0,-1,0,0,0.5,0,1,0,0,0,0,-1",
      "SYMM - X, 1/2 + Y, - Z",             // SHELXL-97 style inner blanks
      "SYMM -X 0.5+Y -Z",                   // blank-separated, decimal translation
      "symm   -X,Y+.5,-Z   ",
      "SYM -X, +Y+1/2, -Z",                 // three-letter keyword
  };
  for (const char* card : cards) {
    const SymOp op = parse_one(card);
    EXPECT_EQ(op.rot, kScrewB) << card;
    EXPECT_EQ(op.trn, (Vec3{0.0f, 0.5f, 0.0f})) << card;
  }
}

TEST(Symcrd, Translations) {
  struct Row {
    const char* card;
    Vec3 trn;
  };
  const Row rows[] = {
      {"SYMM X+0.5, Y, Z", {0.5f, 0, 0}},
      {"SYMM X, Y, Z+1/6", {0, 0, 1.0f / 6.0f}},  // sixths read as sixths
      {"SYMM X, Y, Z+5/6", {0, 0, 5.0f / 6.0f}},
      {"SYMM X, Y+2/3, Z+1/3", {0, 2.0f / 3.0f, 1.0f / 3.0f}},
      {"SYMM X+1/12, Y+11/12, Z", {1.0f / 12.0f, 11.0f / 12.0f, 0}},  // two-digit denominators
      {"SYMM -1/4+X, Y-3/4, Z", {-0.25f, -0.75f, 0}},
      {"SYMM Y, X, -Z+ 0.50000", {0, 0, 0.5f}},
      {"SYMM X, Y, Z-0.25", {0, 0, -0.25f}},
      {"SYMM X, Y, Z+1E-1", {0, 0, 0.1f}},  // no twelfth: as written
      // decimals rounded from twelfths are read as the twelfths
      {"SYMM X+0.6667, Y+0.33, Z-0.0833", {8.0f / 12.0f, 4.0f / 12.0f, -1.0f / 12.0f}},
      {"SYMM 0.1667 1 0 0 0.8333 0 1 0 0 0 0 1", {2.0f / 12.0f, 10.0f / 12.0f, 0}},
  };
  for (const auto& r : rows) EXPECT_EQ(parse_one(r.card).trn, r.trn) << r.card;
}

TEST(Symcrd, AxisTerms) {
  struct Row {
    const char* text;
    std::array<float, 3> col;
  };
  // Order of the passes matters: "-Y+X" must not read the X as -X.
  const Row rows[] = {{"X-Y", {1, -1, 0}}, {"-Y+X", {1, -1, 0}}, {"-X+Y", {-1, 1, 0}},
                      {"Z", {0, 0, 1}},    {"-Z+X-Y", {1, -1, -1}}, {"1/2", {0, 0, 0}}};
  for (const auto& r : rows) {
    float t = -9.0f;
    std::array<float, 3> col{9, 9, 9};
    ASSERT_TRUE(symop(r.text, t, col)) << r.text;
    EXPECT_EQ(col, r.col) << r.text;
  }
}

TEST(Symcrd, IdentityDroppedAndTwoOperatorsPerCard) {
  tesk::Run run;
  run.symm.ops.assign(1, identity_op());
  EXPECT_TRUE(symcrd(run, "SYMM X,Y,Z"));
  EXPECT_EQ(run.symm.nsym(), 1);
  EXPECT_TRUE(symcrd(run, "SYMM -X,-Y,Z; 1/2+X,1/2-Y,-Z"));
  ASSERT_EQ(run.symm.nsym(), 3);
  EXPECT_EQ(run.symm.op(3).trn, (Vec3{0.5f, 0.5f, 0.0f}));
  EXPECT_EQ(run.symm.op(3).rot[1][1], -1.0f);
}

TEST(Symcrd, IllegalCards) {
  const char* cards[] = {
      "SYMM -X, Y",                          // two components
      "SYMM -X Y Z 1",                       // four items
      "SYMM 0 -1 0 0 0.5 0 1 0 0 0 0 Q",     // twelve items, one not a number
      "SYMM X, Y, Z+1/0",                    // zero denominator
      "SYMM",                                // nothing after the keyword
  };
  for (const char* card : cards) {
    tesk::Run run;
    run.symm.ops.assign(1, identity_op());
    EXPECT_FALSE(symcrd(run, card)) << card;
    EXPECT_EQ(run.symm.nsym(), 1) << card;
  }
  // The operator before the bad one on the same card stays.
  tesk::Run run;
  run.symm.ops.assign(1, identity_op());
  EXPECT_FALSE(symcrd(run, "SYMM -X,-Y,Z; X,Y"));
  EXPECT_EQ(run.symm.nsym(), 2);
}

TEST(Symcrd, TableFullIsFatal) {
  tesk::Run run;
  run.symm.ops.assign(kMaxSymOps, identity_op());
  try {
    symcrd(run, "SYMM -X,-Y,Z");
    FAIL() << "no error";
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "SymCrd");
    EXPECT_EQ(e.message(), "Too many symmetry operators");
  }
  EXPECT_EQ(run.symm.nsym(), kMaxSymOps);
}

TEST(Opout, OperatorText) {
  struct Row {
    const char* card;
    const char* text;
  };
  const Row rows[] = {
      {"SYMM -X, 1/2+Y, -Z", " - X, 1/2 + Y, - Z"},
      {"SYMM 1/2-X, 1/2+Y, 1/2-Z", " 1/2 - X, 1/2 + Y, 1/2 - Z"},
      {"SYMM Y, X-Y, Z+2/3", " + Y, + X - Y, 2/3 + Z"},
      {"SYMM X, Y, Z+5/6", " + X, + Y, 5/6 + Z"},
      {"SYMM X, Y+1/3, Z-1/4", " + X, 1/3 + Y,-1/4 + Z"},     // negative quarter
      {"SYMM X-1/2, Y-3/4, Z", "-1/2 + X,-3/4 + Y, + Z"},    // negative half and three quarters
      {"SYMM X+1/12, Y, -Z", " 1/* + X, + Y, - Z"},           // 12 does not fit I1
      {"SYMM X+0.1, Y, Z", " 1/* + X, + Y, + Z"},             // not a twelfth: nearest one
      {"SYMM 0 2 0 0  0 0 -1.5 0  0 0 0 1", " + 2.0X, - 1.5Y, + Z"},  // factors other than 1
  };
  for (const auto& r : rows) EXPECT_EQ(opout(parse_one(r.card)), r.text) << r.card;
  EXPECT_EQ(opout(identity_op()), " + X, + Y, + Z");
}

// A small SHELX file: cards in upper and lower case, a comment after one,
// one illegal card, other instructions that must be ignored.
TEST(Getsym, ReadsEveryCardAndPrintsThem) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  TextInput in;
  in.set_text(
      "TITL test in P2/c\n"
      "CELL 0.71073 5.0 6.0 7.0 90 100 90\n"
      "LATT 1\n"
      "symm -x, y, 1/2-z ! c-glide partner\n"
      "SYMM -X, Y\n"
      "SFAC C H O\n"
      "SYMM X, Y, Z\n"
      "SYMM 1/2+X, -Y, Z\n"
      "C1 1 0.1 0.2 0.3 11.0 0.02\n"
      "END\n");
  std::string first;
  in.next(first);  // getsym rewinds whatever was read before
  getsym(run, in);
  ASSERT_EQ(run.symm.nsym(), 3);
  EXPECT_EQ(run.symm.op(1).rot, identity_op().rot);
  EXPECT_EQ(run.symm.op(2).trn, (Vec3{0, 0, 0.5f}));
  EXPECT_EQ(log.str(),
            " * * * Symmetry card no.  3 illegal * * *\n"
            "   SYMM  1      + X, + Y, + Z\n"
            "   SYMM  2      - X, + Y, 1/2 - Z\n"
            "   SYMM  3      1/2 + X, - Y, + Z\n");
}

}  // namespace
}  // namespace tesk
