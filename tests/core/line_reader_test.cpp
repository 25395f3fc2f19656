// The keyword scanner, logical lines of the control file and column helpers.
#include "core/line_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "core/errors.hpp"
#include "format/number_reader.hpp"

namespace tesk {
namespace {

std::string scan(std::string text, LineExtract& lx) {
  std::string line = fixed_width(text);
  readline(line, lx);
  return line;
}

TEST(KeywordScan, FormatLineGivesThreeKeywordsAndABlankLine) {
  LineExtract lx;
  std::string rest = scan("FORMAT *shelx kq", lx);
  EXPECT_EQ(lx.nkey, 3);
  EXPECT_EQ(lx.word(1), "FORMAT  ");
  EXPECT_EQ(lx.word(2), "SHELX   ");
  EXPECT_EQ(lx.word(3), "KQ      ");
  EXPECT_EQ(lx.kstar[0], 0);
  EXPECT_EQ(lx.kstar[1], 1);
  EXPECT_EQ(lx.kstar[2], 0);
  EXPECT_EQ(lenstr(rest), 0);
}

TEST(KeywordScan, NumbersStayInTheirColumns) {
  LineExtract lx;
  std::string rest = scan("TOLS bond 0.4 ring 0.1 group 0.1", lx);
  ASSERT_EQ(lx.nkey, 4);
  EXPECT_EQ(lx.word(4), "GROUP   ");
  EXPECT_EQ(trim_right(rest), "          0.4      0.1       0.1");
}

// Which words are numbers follows Fortran's F input editing.
TEST(KeywordScan, NumberWordsAndKeywordWords) {
  for (const char* w : {"1E3", "-2.", "+5", ".5", "1.0D3", "1+3", "1.5-3", "Infinity", "NaN", "-inf"})
    EXPECT_TRUE(read_fortran_real(w).has_value()) << w;
  for (const char* w : {"1.2.3", "C1", "*3", "3*", "1E", "5+", "NaN(", "1,5"})
    EXPECT_FALSE(read_fortran_real(w).has_value()) << w;
  EXPECT_DOUBLE_EQ(*read_fortran_real("1+3"), 1000.0);
  EXPECT_DOUBLE_EQ(*read_fortran_real("1.5-3"), 0.0015);
  EXPECT_DOUBLE_EQ(*read_fortran_real("1.0D3"), 1000.0);
  EXPECT_DOUBLE_EQ(*read_fortran_real("-.25"), -0.25);

  LineExtract lx;
  scan("X *3 3* C1", lx);
  ASSERT_EQ(lx.nkey, 4);
  EXPECT_EQ(lx.word(2), "3       ");
  EXPECT_TRUE(lx.starred(2));
}

// F editing reads an empty mantissa as zero, limits the exponent to four
// digits of value and allows NaN only with alphanumeric text in one pair of
// parentheses (a second '(' is tolerated, anything after ')' must be
// alphanumeric). Such words stay in the line as numbers.
TEST(KeywordScan, EdgesOfTheFixedPointForm) {
  for (const char* w : {"-", "+", ".", "E5", "-E5", ".e5", "+-1", "1e9999", "1E-9999", "1e09999",
                        "NaN()", "nan(A1)", "NaN()x", "nan(a)b", "NaN((", "+nan(1a)", "INFINITY"})
    EXPECT_TRUE(read_fortran_real(w).has_value()) << w;
  for (const char* w : {"1e10000", "1E-10000", "0.1e10000", "1-10000", "NaN(a_b)", "nan(a.b)",
                        "NaN(a))", "nan(((", "NaN)(", "Inf()", "infx", "infinit", "nanx"})
    EXPECT_FALSE(read_fortran_real(w).has_value()) << w;
  EXPECT_EQ(*read_fortran_real("-"), 0.0);
  EXPECT_EQ(*read_fortran_real("E5"), 0.0);

  LineExtract lx;
  std::string rest = scan("TOLS - E5 1e10000 NaN(a_b)", lx);
  ASSERT_EQ(lx.nkey, 3);
  EXPECT_EQ(lx.word(2), "1E10000 ");
  EXPECT_EQ(lx.word(3), "NAN(A_B)");
  EXPECT_EQ(trim_right(rest), "     - E5");
}

// Free-format reading wants a digit in the mantissa, so a lone sign or point
// left in a line by the keyword scan is a bad number there; a huge exponent
// overflows instead of failing.
TEST(FreeFormat, EmptyMantissaIsABadNumber) {
  for (const char* w : {"-", "+", ".", "E5", "-.", ".e5", "+-1"}) {
    FreeReader rd(w);
    double v = 0.0;
    EXPECT_EQ(rd.real(v), FreeReader::Status::Bad) << w;
  }
  FreeReader rd("0.4 , 1.5-3 -.5 1e10000 nan(a_b)");
  double a = 0, b = 0, c = 0, d = 0, e = 0;
  ASSERT_EQ(rd.real(a), FreeReader::Status::Ok);
  ASSERT_EQ(rd.real(b), FreeReader::Status::Ok);
  ASSERT_EQ(rd.real(c), FreeReader::Status::Ok);
  ASSERT_EQ(rd.real(d), FreeReader::Status::Ok);
  ASSERT_EQ(rd.real(e), FreeReader::Status::Ok);
  EXPECT_DOUBLE_EQ(a, 0.4);
  EXPECT_DOUBLE_EQ(b, 0.0015);
  EXPECT_DOUBLE_EQ(c, -0.5);
  EXPECT_TRUE(std::isinf(d));
  EXPECT_TRUE(std::isnan(e));
  EXPECT_EQ(rd.real(a), FreeReader::Status::End);
}

TEST(KeywordScan, LongWordsAreCutAndALoneStarIsBlank) {
  LineExtract lx;
  scan("DATABANKS *", lx);
  ASSERT_EQ(lx.nkey, 2);
  EXPECT_EQ(lx.word(1), "DATABANK");
  EXPECT_EQ(lx.word(2), "        ");
  EXPECT_TRUE(lx.starred(2));
}

TEST(KeywordScan, AWordEndingInTheLastColumnIsNotCounted) {
  std::string line(kLineLength, ' ');
  line.replace(0, 4, "ABCD");
  line.replace(kLineLength - 3, 3, "XYZ");
  EXPECT_EQ(dnumline(line), 1);
  LineExtract lx;
  readline(line, lx);
  EXPECT_EQ(lx.nkey, 1);
}

TEST(KeywordScan, KeepsTheFirstFortyKeywords) {
  std::string text;
  for (int i = 1; i <= 45; ++i) text += "W" + std::to_string(i) + " ";
  LineExtract lx;
  std::string rest = scan(text + "2.5", lx);
  EXPECT_EQ(lx.nkey, 40);
  EXPECT_EQ(lx.word(40), "W40     ");
  FreeReader numbers(rest);  // the ignored words do not stand in the way of the numbers
  double v = 0.0;
  EXPECT_EQ(numbers.real(v), FreeReader::Status::Ok);
  EXPECT_DOUBLE_EQ(v, 2.5);
}

TEST(ReadChar, ColumnsOfTheNthWordAndTheMissingWordStop) {
  int s = 0, e = 0;
  std::string line = fixed_width("INPUT  a.ins  b.inp");
  readchar(line, 2, s, e);
  EXPECT_EQ(s, 8);
  EXPECT_EQ(e, 12);
  EXPECT_EQ(word_at(line, 3), "b.inp");
  try {
    readchar(line, 4, s, e);
    FAIL();
  } catch (const FatalError& x) {
    EXPECT_EQ(x.routine(), "ReadChar");
    EXPECT_EQ(x.message(), "Unexpected STOP in ReadChar...");
  }
}

TEST(LogicalLines, CommentsBlanksAndContinuation) {
  TextInput in;
  in.set_text("! a comment\n\n   \nINPUT a.ins \\\r\n*rename\nVERBOSE 2\n x ! not a comment\n");
  std::string line;
  ASSERT_EQ(readinputline(in, line), 0);
  EXPECT_EQ(trim_right(line), "INPUT a.ins \\ *rename");
  LineExtract lx;
  readline(line, lx);
  EXPECT_EQ(lx.nkey, 4);
  EXPECT_EQ(lx.word(3), "\\       ");
  ASSERT_EQ(readinputline(in, line), 0);
  EXPECT_EQ(trim_right(line), "VERBOSE 2");
  ASSERT_EQ(readinputline(in, line), 0);
  EXPECT_EQ(trim_right(line), " x ! not a comment");
  EXPECT_EQ(readinputline(in, line), 1);
}

TEST(LogicalLines, OnlyCommentsGiveEndOfFile) {
  TextInput in;
  in.set_text("!one\n\n!two\n");
  std::string line;
  EXPECT_EQ(readinputline(in, line), 1);
}

TEST(LogicalLines, ContinuationBeyond255ColumnsStops) {
  std::string piece(200, 'a');
  TextInput in;
  in.set_text(piece + " \\\n" + piece + " \\\nend\n");
  std::string line;
  try {
    readinputline(in, line);
    FAIL();
  } catch (const FatalError& x) {
    EXPECT_EQ(x.message(), "Line exceeds limit of 255 characters");
  }
}

TEST(TextHelpers, BlankNamesCaseAndBlankRemoval) {
  std::string name(60, ' ');
  EXPECT_EQ(ils(name), 60);
  EXPECT_EQ(lenstr(name), 0);
  EXPECT_EQ(ils("ab  "), 2);
  std::string t = "Mixed 1 x\xE9";
  upcase(t);
  EXPECT_EQ(t, "MIXED 1 X\xE9");
  locase(t);
  EXPECT_EQ(t, "mixed 1 x\xE9");
  std::string r = " a b  c ";
  rmblanks(r);
  EXPECT_EQ(r, "abc     ");
}

TEST(TextHelpers, SearchForAKeyLine) {
  TextInput in;
  in.set_text("TITL x\nsymm -x,y,z\nSYMM x,-y,z\n");
  bool rewind = true;
  std::string line(80, ' ');
  int eof = 0;
  srchl(in, "SYMM", rewind, line, eof);
  EXPECT_EQ(eof, 0);
  EXPECT_EQ(trim_right(line), "symm -x,y,z");
  EXPECT_FALSE(rewind);
  srchl(in, "SYMM", rewind, line, eof);
  EXPECT_EQ(trim_right(line), "SYMM x,-y,z");
  srchl(in, "SYMM", rewind, line, eof);
  EXPECT_EQ(eof, 1);

  // Records are blank-padded before the comparison: "END " finds a bare END.
  in.set_text("ENDX\nEND\n");
  rewind = true;
  srchl(in, "END ", rewind, line, eof);
  EXPECT_EQ(eof, 0);
  EXPECT_EQ(trim_right(line), "END");
  EXPECT_EQ(line.size(), 80u);
}

TEST(TextInputFile, CarriageReturnsAndDirectories) {
  TextInput in;
  in.set_text("a\r\nb\r\n");
  std::string r;
  ASSERT_TRUE(in.next(r));
  EXPECT_EQ(r, "a");
  EXPECT_FALSE(in.open("/"));
}

}  // namespace
}  // namespace tesk
