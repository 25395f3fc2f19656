// Fixed-column output through Fortran format texts. Every expected string of
// the ffmt rows was printed by gfortran 12 for the same format and values
// (reals as real(4) where the item is a float, real(8) for a double); the
// rows of mismatched items are this program's own rule.
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "format/fortran_format.hpp"

using tesk::FArg;
using tesk::ffmt;
using tesk::ffree;

namespace {

struct Row {
  const char* format;
  std::vector<FArg> items;
  std::string expected;
};

void check(const std::vector<Row>& rows) {
  for (const Row& r : rows) EXPECT_EQ(ffmt(r.format, r.items), r.expected) << r.format;
}

}  // namespace

TEST(FortranFormat, IntegerFields) {
  check({
      {"('[',i3,'|',i4,'|',i3,'|',i1,']')", {-123, -123, 0, 0}, "[***|-123|  0|0]\n"},
      // Iw.m pads with zeros; Iw.0 prints zero as blanks.
      {"('[',i5.3,'|',i5.3,'|',i5.0,'|',i3.3,']')", {7, -7, 0, -7}, "[  007| -007|     |***]\n"},
      {"('[',i20,']')", {-9223372036854775807LL}, "[-9223372036854775807]\n"},
      {"('[',i0,'|',i0,']')", {42, -7}, "[42|-7]\n"},
      {"(I2, '/', I1)", {12, 3}, "12/3\n"},
      // wide_int: Iw while the number fits, then a blank and all its digits.
      {"('[',a,'|',a,'|',a,'|',a,']')",
       {tesk::wide_int(999, 3), tesk::wide_int(1000, 3), tesk::wide_int(-99, 3), tesk::wide_int(-100, 3)},
       "[999| 1000|-99| -100]\n"},
  });
}

TEST(FortranFormat, FixedFieldsRoundTheBinaryValue) {
  check({
      // The leading zero goes only when the field is one column short.
      {"('[',f4.3,'|',f5.3,'|',f3.3,'|',f4.3,'|',f5.3,']')", {0.5f, 0.5f, 0.5f, -0.5f, -0.5f},
       "[.500|0.500|***|****|-.500]\n"},
      // A negative value that rounds to zero keeps its sign.
      {"('[',f8.3,'|',f8.3,'|',f3.1,'|',f2.1,']')", {-0.0001f, -0.0f, -0.04f, 0.0f},
       "[  -0.000|  -0.000|-.0|.0]\n"},
      // Exact binary ties go to the even digit; 0.375 is a tie, 0.35 is not.
      {"('[',f4.2,'|',f4.2,'|',f4.0,'|',f4.0,'|',f3.0,'|',f4.0,']')",
       {0.125f, 0.375f, 2.5f, 3.5f, 0.5f, -0.5f}, "[0.12|0.38|  2.|  4.| 0.| -0.]\n"},
      // 2.0005f is 2.000499963..., the double 2.0005 is just above the tie.
      {"('[',f5.3,'|',f5.3,'|',f5.3,']')", {2.0005f, 2.0005, 2.0015f}, "[2.000|2.001|2.001]\n"},
      {"('[',f2.0,'|',f1.0,'|',f2.0,'|',f3.1,']')", {0.4f, 0.4f, -0.4f, 9.96f}, "[0.|*|**|***]\n"},
      {"('[',f9.5,'|',f9.5,'|',f12.6,']')", {123.456789f, -123.45f, 1e30},
       "[123.45679|*********|************]\n"},
      {"('[',f0.2,'|',f0.2,'|',f0.0,']')", {0.5f, -12.345f, 3.0f}, "[.50|-12.35|3.]\n"},
      {"(a4,3f10.4,3f9.4,1x,f8.5)", {"C1A ", 1.2345f, -0.00004f, 10.5f, 0.0123f, -0.02f, 0.5f,
                                      0.04566f},
       "C1A     1.2345   -0.0000   10.5000   0.0123  -0.0200   0.5000  0.04566\n"},
  });
}

// F fields of everyday widths take an integer shortcut (the value times
// 10^d rounded from its binary digits); it must print what the exact
// decimal expansion gives, ties to even, for floats and doubles of every
// magnitude, including values far too wide for the field.
TEST(FortranFormat, FixedFieldsAgreeWithTheExactExpansion) {
  std::mt19937_64 g(20261208);
  for (int i = 0; i < 200000; ++i) {
    const int d = static_cast<int>(g() % 18);
    double x = std::ldexp(static_cast<double>(g() % (1ULL << 53)), static_cast<int>(g() % 140) - 110);
    if (i % 3 == 0) x = static_cast<double>(static_cast<float>(x));
    if (i % 5 == 0) x = static_cast<double>(g() % 4096) / 64.0;  // exact binary ties
    if (g() % 2 != 0) x = -x;
    char buf[700];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::fixed, d);
    std::string body(buf, r.ptr);
    if (body.size() > 1 && body[0] == '0' && d > 0) body.erase(0, 1);  // F0.d drops it
    const std::string expected = (std::signbit(x) ? "-" : "") + body + (d == 0 ? "." : "") + "\n";
    ASSERT_EQ(ffmt("(f0." + std::to_string(d) + ")", {x}), expected) << x;
  }
}

TEST(FortranFormat, InfinityAndNaN) {
  double inf = std::numeric_limits<double>::infinity();
  double nan = std::numeric_limits<double>::quiet_NaN();
  check({
      {"('[',f10.3,'|',f10.3,'|',f10.3,'|',f3.1,'|',f2.1,']')", {inf, -inf, nan, inf, inf},
       "[  Infinity| -Infinity|       NaN|Inf|**]\n"},
      {"('[',e11.4,'|',sp,f10.3,']')", {inf, inf}, "[   Infinity| +Infinity]\n"},
  });
}

TEST(FortranFormat, ExponentFields) {
  check({
      {"('[',e11.4,'|',e10.4,'|',e10.4,'|',e9.4,']')", {12.34f, 12.34f, -12.34f, -12.34f},
       "[ 0.1234E+02|0.1234E+02|-.1234E+02|*********]\n"},
      {"('[',e11.4,'|',e11.4,'|',e11.4,'|',e11.4,']')", {0.0f, -0.0f, 1.0e-5f, 0.99996f},
       "[ 0.0000E+00|-0.0000E+00| 0.1000E-04| 0.1000E+01]\n"},
      // A three-digit exponent takes the place of the letter.
      {"('[',e11.4,'|',e11.4,'|',e13.6,'|',e11.4,']')", {1.0e100, 1.0e-100, 1.0e300, 5e-324},
       "[ 0.1000+101| 0.1000E-99| 0.100000+301| 0.4941-323]\n"},
      {"('[',e9.1,'|',e9.1,'|',d11.4,'|',e13.6,']')", {0.25, 0.35, 12.34, -1.0e-10},
       "[  0.2E+00|  0.3E+00| 0.1234D+02|-0.100000E-09]\n"},
      {"('[',es11.4,'|',es9.2,'|',es8.2,'|',es10.2,'|',es11.4,']')",
       {12.34, 12.34, -12.34, 1e100, 0.0}, "[ 1.2340E+01| 1.23E+01|********|  1.00+100| 0.0000E+00]\n"},
  });
}

TEST(FortranFormat, GeneralFieldsChooseFixedOrExponent) {
  check({
      {"('[',g11.4,'|',g11.4,'|',g11.4,'|',g11.4,']')", {12.34, 0.0, 0.01234, 0.1234},
       "[  12.34    |  0.000    | 0.1234E-01| 0.1234    ]\n"},
      // 9999.5 rounds to five digits and so needs the exponent form.
      {"('[',g11.4,'|',g11.4,'|',g11.4,'|',g11.4,']')", {1234.5, 12345.0, 9999.5, 9999.4},
       "[  1234.    | 0.1234E+05| 0.1000E+05|  9999.    ]\n"},
      {"('[',g11.4,'|',g11.4,'|',g11.4,'|',g8.3,']')", {0.09999, 0.099996, -1.5, 1.0},
       "[ 0.9999E-01| 0.1000    | -1.500    |1.00    ]\n"},
  });
}

TEST(FortranFormat, SignControlAndLogicals) {
  check({
      {"('[',sp,i4,f6.2,e11.4,i4,ss,i4,']')", {5, 1.5f, 2.5f, 0, 6},
       "[  +5 +1.50+0.2500E+01  +0   6]\n"},
      {"('[',sp,i4,s,i4,'|',sp,f6.2,f5.3,']')", {5, 6, 0.0f, 0.5f}, "[  +5   6| +0.00+.500]\n"},
      {"(' Search for complete fragments within ',i3,                ' ... ',sp,i3,' unit cells')",
       {-1, 1}, " Search for complete fragments within  -1 ...  +1 unit cells\n"},
      {"('[',l1,l3,']')", {true, false}, "[T  F]\n"},
      {"(2x,3(1x,a,i3),1x,3a,1x,a,l1)", {"a", 1, "b", 2, "c", 3, "d", "e", "f", "g", true},
       "   a  1 b  2 c  3 def gT\n"},
  });
}

TEST(FortranFormat, TextLiteralsAndPositions) {
  check({
      // Aw puts w - len blanks before a shorter text and keeps the leftmost w
      // characters of a longer one; A alone writes the text as it is.
      {"('[',a2,'|',a5,'|',a,'|',a3,']')", {"abc", "abc", "abc", ""}, "[ab|  abc|abc|   ]\n"},
      {"('[',a3,'|',a3,'|',a3,'|',a8,'|',a8,'|',a8,'|',a,'|',a,'|')",
       {"X", "abcdef", "abc", "C1", "Fe(12A)xyz", "", "  ab ", ""},
       "[  X|abc|abc|      C1|Fe(12A)x|        |  ab ||\n"},
      // The one-letter axis names of the JOIN RADII line of a PLATON file.
      {"('JOIN RADII ',100(1x,a2,f5.2))", {"C ", 0.77f, "X", 0.01f, "Y", 0.01f},
       "JOIN RADII  C  0.77  X 0.01  Y 0.01\n"},
      {"('it''s',\"q\"\"q\",4HAB D)", {}, "it'sq\"qAB D\n"},
      {"(/' ERROR *** ',a,' *** ',a,/)", {"ReadInp", "Cannot open file"},
       "\n ERROR *** ReadInp *** Cannot open file\n\n"},
      {"(' Summary of exceptions    : grep -i ''Exception',                ' identified'' x' )", {},
       " Summary of exceptions    : grep -i 'Exception identified' x\n"},
      // T, TL and TR move the column; a field moved back overwrites.
      {"(a,t10,a,tl3,a,tr2,a)", {"ab", "cd", "ef", "gh"}, "ab      efd gh\n"},
      // Blanks of a trailing X are never written; X before text is.
      {"(a,3x)", {"ab"}, "ab\n"},
      {"(a,3x,'|')", {"ab"}, "ab   |\n"},
      {"(i3, t10, 'x')", {1}, "  1      x\n"},
      {"(99(i6,4x) )", {1, 22, 333}, "     1        22       333\n"},
  });
}

TEST(FortranFormat, RecordsAndOpenLines) {
  check({
      {"(/a)", {"x"}, "\nx\n"},
      // The '/' after 80a is reached only when all 80 items are there.
      {"(80a/)", {"x", "y"}, "xy\n"},
      {"(a/)", {"x"}, "x\n\n"},
      {"(a,//)", {"q"}, "q\n\n\n"},
      {"(//)", {}, "\n\n\n"},
      {"('[',2/,']')", {}, "[\n\n]\n"},
      {"(/1x,71('-'))", {}, "\n " + std::string(71, '-') + "\n"},
      {"(1x,a,$)", {"Enter the name of databank file : "}, " Enter the name of databank file : "},
      {"(a,2x,$)", {"p"}, "p"},
      {"(' Enter net charge of fragment ',i3,' [0.] : ',$)", {2},
       " Enter net charge of fragment   2 [0.] : "},
  });
}

TEST(FortranFormat, OutputStopsWhenItemsRunOut) {
  check({
      // Literals and '/' before the first field without an item are written.
      {"(' n =',i3,' m =',i3)", {1}, " n =  1 m =\n"},
      {"(' n =',i3,' m =',i3)", {}, " n =\n"},
      {"(' n =',i3,/,' m =',i3)", {1}, " n =  1\n m =\n"},
      {"(3x,i5)", {}, "\n"},
      {"(i2,:,' more')", {1}, " 1\n"},
      {"(i2,' more')", {1}, " 1 more\n"},
      {"(2x,7(f5.3,2x))", {0.5f, 0.25f}, "  0.500  0.250\n"},
  });
}

TEST(FortranFormat, ReversionRestartsAtTheLastGroup) {
  std::vector<FArg> five{"x"};
  std::vector<FArg> many{"x"};
  for (int i = 1; i <= 25; ++i) {
    if (i <= 5) five.push_back(i);
    many.push_back(i);
  }
  const char* cont = "( a, 20i4,' \\', 10(/,20i4,' \\') )";
  check({
      {cont, five, "x   1   2   3   4   5\n"},
      {cont, many,
       "x   1   2   3   4   5   6   7   8   9  10  11  12  13  14  15  16  17  18  19  20 \\\n"
       "  21  22  23  24  25\n"},
      // Without a group the whole format is used again.
      {"(3i3)", {1, 2, 3, 4, 5, 6, 7}, "  1  2  3\n  4  5  6\n  7\n"},
      // The group is taken again with its repeat count, and what follows it.
      {"(i3,2(i2,'|'),i4)", {1, 2, 3, 4, 5, 6, 7, 8, 9}, "  1 2| 3|   4\n 5| 6|   7\n 8| 9|\n"},
      {"(i2,/)", {1, 2}, " 1\n\n 2\n\n"},
      {"(2(i2,/))", {1, 2, 3}, " 1\n 2\n\n 3\n\n"},
      // A leading '/' is outside the group, so only the first record is empty.
      {"( /7( 3x,a2,f5.2 ) )",
       {"Cl", 0.99f, "Br", 1.14f, "Na", 1.66f, "Mg", 1.41f, "Al", 1.21f, "Si", 1.11f, "Ca",
        1.76f, "Fe", 1.32f},
       "\n   Cl 0.99   Br 1.14   Na 1.66   Mg 1.41   Al 1.21   Si 1.11   Ca 1.76\n   Fe 1.32\n"},
      {"( 6x,'atoms : ', 6(a,1x), 100(/,14x,6(a,1x)) )",
       {"C1", "C2", "C3", "C4", "C5", "C6", "H1", "H2"},
       "      atoms : C1 C2 C3 C4 C5 C6\n              H1 H2\n"},
      {"(1x,a)", {"A", "B"}, " A\n B\n"},
      // Once '$' is reached, records end without a newline, so the records of
      // a reversion (or after '/') follow on the same line; each still starts
      // at column 1 for T and drops the X blanks at its end.
      {"(1x,a,$)", {"A", "B"}, " A B"},
      {"(i2,/,$)", {1, 2, 3}, " 1\n 2 3"},
      {"(a,t5,a,$)", {"ab", "c", "d", "e"}, "ab  cd   e"},
      {"(i2,3x,$)", {1, 2}, " 1 2"},
      {"(a,:,'q',$)", {"x", "y"}, "xqy"},
      // A '$' that output never reaches leaves the newline.
      {"(a,i2,$)", {"x"}, "x\n"},
  });
}

TEST(FortranFormat, MismatchedItemsPrintTheirValue) {
  // Not Fortran: a writer passing the wrong kind gets a readable field.
  check({
      {"('[',i4,'|',i2,'|',i3,'|',i3,']')", {"ab", "abc", 2.5, -7.6f}, "[  ab|ab|  3| -8]\n"},
      {"('[',f6.2,'|',e11.4,'|',l2,'|',l2,'|',i2,']')", {3, 12, 0, "T", true},
       "[  3.00| 0.1200E+02| F| T| 1]\n"},
      {"('[',a,'|',a5,'|',a,']')", {12, 0.5f, false}, "[12|  0.5|F]\n"},
  });
}

TEST(FortranFormat, MalformedFormatsAreProgrammerErrors) {
  for (const char* bad : {"i3", "(i3", "(i3))", "(q5)", "(f5)", "('abc)", "(3'x')", "(e9.0)",
                          "(0i3)", "(a0)", "(9h)", "(3t5)"}) {
    try {
      ffmt(bad, {1});
      ADD_FAILURE() << bad;
    } catch (const std::logic_error& e) {
      EXPECT_EQ(std::string(e.what()), std::string("malformed Fortran format: ") + bad);
    }
  }
  // Case and blanks do not matter outside quotes; a cached text gives the same.
  EXPECT_EQ(ffmt("( 2 X , I 3 , F 6 . 2 )", {5, 1.25f}), "    5  1.25\n");
  EXPECT_EQ(ffmt("(2x,i3,f6.2)", {5, 1.25f}), ffmt("(2X,I3,F6.2)", {5, 1.25f}));
}

TEST(FreeFormat, TraceLines) {
  EXPECT_EQ(ffree({" inum = ", 3}), "  inum =  3\n");
  EXPECT_EQ(ffree({" lPG   = ", true, false}), "  lPG   =  T F\n");
  // A float keeps 7 significant digits, a double 15; the point always shows.
  EXPECT_EQ(ffree({0.1f, 0.1, 12.0f, -0.0, 1.0f / 3.0f, 1.0 / 3.0}),
            " 0.1 0.1 12.0 -0.0 0.3333333 0.333333333333333\n");
  EXPECT_EQ(ffree({1.0e7f, 2.5e-5, 1.5e20, 1e15}), " 1.0E+07 2.5E-05 1.5E+20 1.0E+15\n");
  EXPECT_EQ(ffree({std::numeric_limits<double>::infinity(), std::nan("")}), " Infinity NaN\n");
  EXPECT_EQ(ffree({}), "\n");
}
