// Rendering of single values by the numeric edit descriptors, matching what a
// Fortran runtime prints: exact decimal expansion of the binary value with
// ties to even, a leading "0." dropped when the field is one column short,
// and a field of asterisks when the number does not fit.
#include "format/number_edit.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tesk::fmt {
namespace {

void stars(std::string& out, int w) { out.append(static_cast<std::size_t>(w > 0 ? w : 1), '*'); }

std::string_view sign_of(bool neg, bool plus) { return neg ? "-" : (plus ? "+" : ""); }

// Right-justifies sign + body in w columns; w = 0 keeps the minimal width.
void fit(std::string& out, std::string_view sign, std::string_view body, int w) {
  const std::size_t len = sign.size() + body.size();
  if (w != 0) {
    const auto uw = static_cast<std::size_t>(w);
    if (len > uw) return stars(out, w);
    out.append(uw - len, ' ');
  }
  out.append(sign);
  out.append(body);
}

// Infinity and NaN as the Fortran runtime prints them: "Infinity" when the
// field is wide enough, else "Inf"; the sign needs its own column.
void edit_special(std::string& out, double x, int w, bool plus) {
  if (std::isnan(x)) return w != 0 && w < 3 ? stars(out, w) : fit(out, "", "NaN", w);
  bool neg = std::signbit(x);
  bool signed_inf = neg || plus;
  int n = w != 0 ? w : (signed_inf ? 4 : 3);
  if (n < 3 || (neg && n == 3)) return stars(out, n);
  std::string_view body = n > (signed_inf ? 8 : 7) ? "Infinity" : "Inf";
  fit(out, signed_inf && n > 3 ? sign_of(neg, plus) : "", body, n);
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

// |x| * 10^d rounded to an integer, ties to even, from the exact binary
// value: x = m * 2^e with an integer m of 53 bits, so x * 10^d =
// m * 5^d * 2^(e + d), and m * 5^d is exact in 128 bits for d <= 17. False
// when the result would not fit in 64 bits (the caller then takes the slow
// general path).
bool scaled_integer(double a, int d, std::uint64_t& q) {
  __extension__ using U128 = unsigned __int128;
  static constexpr std::uint64_t kPow5[18] = {1ULL, 5ULL, 25ULL, 125ULL, 625ULL, 3125ULL, 15625ULL,
                                             78125ULL, 390625ULL, 1953125ULL, 9765625ULL,
                                             48828125ULL, 244140625ULL, 1220703125ULL,
                                             6103515625ULL, 30517578125ULL, 152587890625ULL,
                                             762939453125ULL};
  // The IEEE fields: a = m * 2^e with m of up to 53 bits.
  const auto bits = std::bit_cast<std::uint64_t>(a);
  const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  if (m == 0) {
    q = 0;
    return true;
  }
  const U128 n = static_cast<U128>(m) * kPow5[d];
  const int shift = e + d;
  U128 r = 0;
  if (shift >= 0) {
    // The result must fit in 64 bits; test before shifting out of range.
    if (shift >= 64 || (n >> (64 - shift)) != 0) return false;
    r = n << shift;
  } else if (-shift >= 100) {
    r = 0;  // n < 2^93: far below one half
  } else {
    const int k = -shift;
    r = n >> k;
    const U128 rem = n - (r << k);
    const U128 half = static_cast<U128>(1) << (k - 1);
    if (rem > half || (rem == half && (r & 1) != 0)) ++r;
  }
  if (r >= static_cast<U128>(10'000'000'000'000'000'000ULL)) return false;
  q = static_cast<std::uint64_t>(r);
  return true;
}

// The digits of |x| with d decimals, point included, written at `first`
// (room for 331 + d characters). Returns the end.
char* fixed_digits(double a, int d, char* first, char* last) {
  std::uint64_t q = 0;
  if (d > 17 || !scaled_integer(a, d, q)) {
    char* end = std::to_chars(first, last, a, std::chars_format::fixed, d).ptr;
    if (d == 0) *end++ = '.';
    return end;
  }
  // q as at least d + 1 digits, then the point before the last d.
  char digits[48];
  char* dstart = digits + 24;
  char* dend = std::to_chars(dstart, digits + sizeof digits, q).ptr;
  while (dend - dstart < d + 1) *--dstart = '0';
  char* p = first;
  for (const char* c = dstart; c < dend - d; ++c) *p++ = *c;
  *p++ = '.';
  for (const char* c = dend - d; c < dend; ++c) *p++ = *c;
  return p;
}

}  // namespace

void edit_int(std::string& out, std::int64_t v, int w, int m, bool plus) {
  std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  char buf[48];
  char* first = buf + 24;  // room for the leading zeros of Iw.m with m <= 24
  auto r = std::to_chars(first, buf + sizeof buf, mag);
  if (m == 0 && v == 0) r.ptr = first;
  if (m > 0) {
    const std::ptrdiff_t missing = m - (r.ptr - first);
    if (missing > 24) {  // a minimum digit count beyond any field in use
      std::string digits(static_cast<std::size_t>(missing), '0');
      digits.append(first, r.ptr);
      return fit(out, sign_of(v < 0, plus), digits, w);
    }
    for (std::ptrdiff_t k = 0; k < missing; ++k) *--first = '0';
  }
  fit(out, sign_of(v < 0, plus), std::string_view(first, static_cast<std::size_t>(r.ptr - first)), w);
}

void edit_fixed(std::string& out, double x, int w, int d, bool plus) {
  if (!std::isfinite(x)) return edit_special(out, x, w, plus);
  double a = std::fabs(x);
  if (w > 0 && a >= power_of_ten(w)) return stars(out, w);
  // The digits of |x| with d decimals, point included: 309 integer digits at
  // most for a double, the point and d decimals.
  std::array<char, 512> stack;
  std::string heap;
  char* first = stack.data();
  char* last = first + stack.size() - 1;
  if (d > 150) {
    heap.resize(static_cast<std::size_t>(331 + d));
    first = heap.data();
    last = first + heap.size() - 1;
  }
  char* end = fixed_digits(a, d, first, last);
  std::string_view body(first, static_cast<std::size_t>(end - first));
  const std::string_view sign = sign_of(std::signbit(x), plus);
  const bool zero_lead = d > 0 && body[0] == '0';
  if (zero_lead && (w == 0 || sign.size() + body.size() > static_cast<std::size_t>(w)))
    body.remove_prefix(1);
  fit(out, sign, body, w);
}

void edit_expo(std::string& out, double x, int w, int d, char letter, bool plus) {
  if (!std::isfinite(x)) return edit_special(out, x, w, plus);
  Sig s = significant(std::fabs(x), d);
  std::string body = "0." + s.digits;
  if (!exponent_part(s.e, letter, body)) return stars(out, w);
  std::string_view sign = sign_of(std::signbit(x), plus);
  if (w > 0 && sign.size() + body.size() > static_cast<std::size_t>(w)) body.erase(0, 1);
  fit(out, sign, body, w);
}

void edit_sci(std::string& out, double x, int w, int d, bool plus) {
  if (!std::isfinite(x)) return edit_special(out, x, w, plus);
  Sig s = significant(std::fabs(x), d + 1);
  std::string body = s.digits.substr(0, 1) + "." + s.digits.substr(1);
  if (!exponent_part(x == 0.0 ? 0 : s.e - 1, 'E', body)) return stars(out, w);
  fit(out, sign_of(std::signbit(x), plus), body, w);
}

void edit_general(std::string& out, double x, int w, int d, bool plus) {
  if (!std::isfinite(x)) return edit_special(out, x, w, plus);
  int e = x == 0.0 ? 1 : significant(std::fabs(x), d).e;
  if (e < 0 || e > d) return edit_expo(out, x, w, d, 'E', plus);
  if (w != 0 && w <= 4) return stars(out, w);
  edit_fixed(out, x, w == 0 ? 0 : w - 4, d - e, plus);
  out.append(4, ' ');
}

void edit_logical(std::string& out, bool b, int w) {
  out.append(static_cast<std::size_t>(w > 1 ? w - 1 : 0), ' ');
  out += b ? 'T' : 'F';
}

void edit_text(std::string& out, std::string_view s, int w) {
  if (w < 0) return out.append(s), void();
  std::size_t uw = static_cast<std::size_t>(w);
  if (s.size() >= uw) return out.append(s.substr(0, uw)), void();
  out.append(uw - s.size(), ' ');
  out.append(s);
}

}  // namespace tesk::fmt
