// Rendering of single values by the numeric edit descriptors, matching what a
// Fortran runtime prints: exact decimal expansion of the binary value with
// ties to even, a leading "0." dropped when the field is one column short,
// and a field of asterisks when the number does not fit.
#include "format/number_edit.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tesk::fmt {
namespace {

std::string stars(int w) { return std::string(static_cast<std::size_t>(w > 0 ? w : 1), '*'); }

// Right-justifies `body` in w columns; w = 0 keeps the minimal width.
std::string fit(const std::string& body, int w) {
  if (w == 0) return body;
  std::size_t uw = static_cast<std::size_t>(w);
  if (body.size() > uw) return stars(w);
  return std::string(uw - body.size(), ' ') + body;
}

std::string sign_of(bool neg, bool plus) { return neg ? "-" : (plus ? "+" : ""); }

// Infinity and NaN as the Fortran runtime prints them: "Infinity" when the
// field is wide enough, else "Inf"; the sign needs its own column.
std::string edit_special(double x, int w, bool plus) {
  if (std::isnan(x)) return w != 0 && w < 3 ? stars(w) : fit("NaN", w);
  bool neg = std::signbit(x);
  bool signed_inf = neg || plus;
  int n = w != 0 ? w : (signed_inf ? 4 : 3);
  if (n < 3 || (neg && n == 3)) return stars(n);
  std::string body = n > (signed_inf ? 8 : 7) ? "Infinity" : "Inf";
  if (signed_inf && n > 3) body = sign_of(neg, plus) + body;
  return fit(body, n);
}

// The decimal digits of |x| in fixed notation with d decimals, point included.
std::string fixed_digits(double a, int d) {
  // 309 integer digits at most for a double, the point and d decimals.
  std::array<char, 512> stack;
  std::string heap;
  char* first = stack.data();
  char* last = first + stack.size();
  if (d > 150) {
    heap.resize(static_cast<std::size_t>(330 + d));
    first = heap.data();
    last = first + heap.size();
  }
  auto r = std::to_chars(first, last, a, std::chars_format::fixed, d);
  std::string digits(first, r.ptr);
  if (d == 0) digits += '.';
  return digits;
}

// |x| rounded to `n` significant digits: the digits and the exponent e with
// |x| = 0.digits * 10^e. Zero gives n zeros and e = 0.
struct Sig {
  std::string digits;
  int e = 0;
};

Sig significant(double a, int n) {
  Sig s;
  if (a == 0.0) {
    s.digits.assign(static_cast<std::size_t>(n), '0');
    return s;
  }
  std::string buf(static_cast<std::size_t>(n + 16), '\0');
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific,
                         n - 1);
  const char* p = buf.data();
  for (; p < r.ptr && *p != 'e'; ++p)
    if (*p != '.') s.digits += *p;
  int e10 = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), r.ptr, e10);
  s.e = e10 + 1;
  return s;
}

// The exponent part: "E+05" for two digits, "+105" (letter dropped) for three.
bool exponent_part(int e, char letter, std::string& out) {
  int ae = std::abs(e);
  if (ae > 999) return false;
  if (ae <= 99) out += letter;
  out += e < 0 ? '-' : '+';
  if (ae > 99) out += static_cast<char>('0' + ae / 100);
  out += static_cast<char>('0' + ae / 10 % 10);
  out += static_cast<char>('0' + ae % 10);
  return true;
}

}  // namespace

std::string edit_int(std::int64_t v, int w, int m, bool plus) {
  std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, mag);
  std::string digits(buf, r.ptr);
  if (m == 0 && v == 0) digits.clear();
  if (m > 0 && digits.size() < static_cast<std::size_t>(m))
    digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
  return fit(sign_of(v < 0, plus) + digits, w);
}

namespace {

// 10^w; exact in double up to 10^22, which covers every field width in use.
double power_of_ten(int w) {
  static const std::array<double, 23> table = [] {
    std::array<double, 23> t{};
    double p = 1.0;
    for (double& v : t) {
      v = p;
      p *= 10.0;
    }
    return t;
  }();
  return w < static_cast<int>(table.size()) ? table[static_cast<std::size_t>(w)] : std::pow(10.0, w);
}

}  // namespace

std::string edit_fixed(double x, int w, int d, bool plus) {
  if (!std::isfinite(x)) return edit_special(x, w, plus);
  double a = std::fabs(x);
  if (w > 0 && a >= power_of_ten(w)) return stars(w);
  std::string sign = sign_of(std::signbit(x), plus);
  std::string body = fixed_digits(a, d);
  bool zero_lead = d > 0 && body[0] == '0';
  if (w == 0) return sign + (zero_lead ? body.substr(1) : body);
  std::size_t uw = static_cast<std::size_t>(w);
  if (sign.size() + body.size() > uw && zero_lead) body.erase(0, 1);
  return fit(sign + body, w);
}

std::string edit_expo(double x, int w, int d, char letter, bool plus) {
  if (!std::isfinite(x)) return edit_special(x, w, plus);
  Sig s = significant(std::fabs(x), d);
  std::string body = "0." + s.digits;
  if (!exponent_part(s.e, letter, body)) return stars(w);
  std::string sign = sign_of(std::signbit(x), plus);
  if (w > 0 && sign.size() + body.size() > static_cast<std::size_t>(w)) body.erase(0, 1);
  return fit(sign + body, w);
}

std::string edit_sci(double x, int w, int d, bool plus) {
  if (!std::isfinite(x)) return edit_special(x, w, plus);
  Sig s = significant(std::fabs(x), d + 1);
  std::string body = s.digits.substr(0, 1) + "." + s.digits.substr(1);
  if (!exponent_part(x == 0.0 ? 0 : s.e - 1, 'E', body)) return stars(w);
  return fit(sign_of(std::signbit(x), plus) + body, w);
}

std::string edit_general(double x, int w, int d, bool plus) {
  if (!std::isfinite(x)) return edit_special(x, w, plus);
  int e = x == 0.0 ? 1 : significant(std::fabs(x), d).e;
  if (e < 0 || e > d) return edit_expo(x, w, d, 'E', plus);
  if (w != 0 && w <= 4) return stars(w);
  return edit_fixed(x, w == 0 ? 0 : w - 4, d - e, plus) + "    ";
}

std::string edit_logical(bool b, int w) {
  std::string s(static_cast<std::size_t>(w > 1 ? w : 1), ' ');
  s.back() = b ? 'T' : 'F';
  return s;
}

std::string edit_text(const std::string& s, int w) {
  if (w < 0) return s;
  std::size_t uw = static_cast<std::size_t>(w);
  if (s.size() >= uw) return s.substr(0, uw);
  return std::string(uw - s.size(), ' ') + s;
}

}  // namespace tesk::fmt
