// Fortran-style formatted output: the one place that renders fixed columns.
// ffmt("(a,3f12.4)", {label, x, y, z}) returns what a Fortran WRITE with that
// format prints, every record terminated by '\n' (a trailing '$' leaves the
// last record open, as console prompts do).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tesk {

// One output item. Reals keep the precision they were computed in: a float is
// printed at its exact single-precision value, as the Fortran program would.
class FArg {
 public:
  enum class Kind { Int, Real, Text, Logical };

  FArg(int v) : kind_(Kind::Int), i_(v) {}
  FArg(long v) : kind_(Kind::Int), i_(v) {}
  FArg(long long v) : kind_(Kind::Int), i_(v) {}
  FArg(unsigned v) : kind_(Kind::Int), i_(v) {}
  FArg(unsigned long v) : kind_(Kind::Int), i_(static_cast<std::int64_t>(v)) {}
  FArg(float v) : kind_(Kind::Real), r_(static_cast<double>(v)), single_(true) {}
  FArg(double v) : kind_(Kind::Real), r_(v) {}
  FArg(bool v) : kind_(Kind::Logical), b_(v) {}
  FArg(const char* s) : kind_(Kind::Text), s_(s) {}
  FArg(std::string_view s) : kind_(Kind::Text), s_(s) {}
  FArg(const std::string& s) : kind_(Kind::Text), s_(s) {}

  Kind kind() const { return kind_; }
  std::int64_t as_int() const { return i_; }
  double as_real() const { return r_; }
  // A real that came in as a float (single precision).
  bool is_single() const { return single_; }
  bool as_logical() const { return b_; }
  const std::string& as_text() const { return s_; }

 private:
  Kind kind_;
  std::int64_t i_ = 0;
  double r_ = 0.0;
  bool single_ = false;
  bool b_ = false;
  std::string s_;
};

// Renders `items` through the Fortran format text `format` (with its
// enclosing parentheses). Edit descriptors: Iw, Iw.m, Fw.d, Ew.d, Dw.d,
// ESw.d, Gw.d (as F/E), Aw, A, Lw, nX, Tn, TLn, TRn, SP, SS, S, '/', n/, ':',
// '$' (or a backslash), literal strings in single or double quotes (doubled quote =
// one quote), nH Hollerith, repeat counts and nested groups n(...); w = 0 in
// I and F gives the minimal width. Blanks outside quotes and letter case do
// not matter. Output stops before the first data descriptor (or ':') that
// finds no item left; when items remain at the end, format reversion starts a
// new record at the last top-level group, as Fortran does. Once a '$' has
// been reached, records (ended by '/', by reversion or by the end of the
// output) are written without their '\n', as gfortran does: "(1x,a,$)" with
// "A", "B" gives " A B" and no newline. Blanks that X or T leave at the end
// of a record are not written.
// Aw right-justifies a shorter text and keeps the leftmost w characters of a
// longer one, as Fortran does; A alone writes the text as it is.
// An item of the wrong kind still prints its value: a number under A in the
// ffree form, text under a numeric or L field right-aligned (cut to w), a
// real under I rounded to the nearest integer, an integer under F/E/G as a
// real, a number under L as T when nonzero, a logical under I/F as 1 or 0.
// A malformed format is a programming error: std::logic_error naming it.
// Parsed formats are cached by text, so repeated calls only render.
std::string ffmt(std::string_view format, std::span<const FArg> items);
inline std::string ffmt(std::string_view format, std::initializer_list<FArg> items) {
  return ffmt(format, std::span<const FArg>(items.begin(), items.size()));
}
inline std::string ffmt(std::string_view format, const std::vector<FArg>& items) {
  return ffmt(format, std::span<const FArg>(items.data(), items.size()));
}
inline std::string ffmt(std::string_view format) { return ffmt(format, std::span<const FArg>()); }

// The text of a one-record write without its newline, for a field that goes
// into another line or a table row.
std::string ffmt_text(std::string_view format, std::span<const FArg> items);
inline std::string ffmt_text(std::string_view format, std::initializer_list<FArg> items) {
  return ffmt_text(format, std::span<const FArg>(items.begin(), items.size()));
}
inline std::string ffmt_text(std::string_view format, const std::vector<FArg>& items) {
  return ffmt_text(format, std::span<const FArg>(items.data(), items.size()));
}

// An integer as Iw prints it when it fits; where Iw would print asterisks, a
// blank and all its digits instead (the line grows), so that the number
// stays a word of its own beside the field before it. For fields that a
// free-format reader takes: pass the text under an A descriptor.
std::string wide_int(std::int64_t n, int w);

// Hands the storage of a record that has been written out back to the
// formatter, which builds its next record in it instead of allocating.
void recycle_text(std::string&& text);

// A free-format (list-directed) trace line: each item preceded by one blank,
// the line ended by '\n'. Integers plain; logicals T or F; text as it is;
// reals rounded to 7 significant digits for a float and 15 for a double,
// trailing zeros dropped but the point kept ("0.5", "12.0", "-0.0"),
// exponent form beyond that range ("1.0E+07", "2.5E-05"), "Infinity" and
// "NaN" as the Fortran runtime spells them. No items: an empty line.
std::string ffree(std::initializer_list<FArg> items);

}  // namespace tesk
