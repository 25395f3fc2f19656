// Number recognition as Fortran formatted input performs it (gfortran's
// behaviour is the reference: an empty mantissa reads as zero, so "-", "."
// and "E5" are numbers, while "E", "1E" and "5+" are not).
#include "format/number_reader.hpp"

#include <cctype>
#include <cmath>
#include <limits>

namespace tesk {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string_view strip_blanks(std::string_view w) {
  while (!w.empty() && w.front() == ' ') w.remove_prefix(1);
  while (!w.empty() && w.back() == ' ') w.remove_suffix(1);
  return w;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (up(a[i]) != up(b[i])) return false;
  return true;
}

// "Inf", "Infinity", "NaN", "NaN(...)" with an optional sign.
std::optional<double> read_special(std::string_view w) {
  bool neg = false;
  std::string_view body = w;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    neg = body[0] == '-';
    body.remove_prefix(1);
  }
  if (iequals(body, "INF") || iequals(body, "INFINITY"))
    return neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  if (body.size() >= 3 && iequals(body.substr(0, 3), "NAN")) {
    std::string_view rest = body.substr(3);
    if (rest.empty() || (rest.front() == '(' && rest.back() == ')' && rest.size() >= 2))
      return std::numeric_limits<double>::quiet_NaN();
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> read_fortran_real(std::string_view word) {
  std::string_view w = strip_blanks(word);
  if (w.empty()) return std::nullopt;
  if (auto s = read_special(w)) return s;

  std::size_t i = 0;
  bool neg = false;
  if (w[i] == '+' || w[i] == '-') {
    neg = w[i] == '-';
    ++i;
  }
  // Mantissa digits, kept as text so the value is converted exactly once.
  std::string digits;
  long long point_shift = 0;
  bool seen_point = false;
  for (; i < w.size(); ++i) {
    char c = w[i];
    if (is_digit(c)) {
      digits += c;
      if (seen_point) --point_shift;
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  long long exponent = 0;
  if (i < w.size()) {
    char c = up(w[i]);
    bool exp_sign_neg = false;
    if (c == 'E' || c == 'D' || c == 'Q') {
      ++i;
      if (i < w.size() && (w[i] == '+' || w[i] == '-')) {
        exp_sign_neg = w[i] == '-';
        ++i;
      }
    } else if (c == '+' || c == '-') {
      exp_sign_neg = c == '-';
      ++i;
    } else {
      return std::nullopt;
    }
    if (i >= w.size()) return std::nullopt;  // an exponent needs digits
    for (; i < w.size(); ++i) {
      if (!is_digit(w[i])) return std::nullopt;
      if (exponent < 100000) exponent = exponent * 10 + (w[i] - '0');
    }
    if (exp_sign_neg) exponent = -exponent;
  }
  // Exact decimal conversion through strtod on a locale-free "d...e..." text.
  std::string text = digits.empty() ? "0" : digits;
  text += 'e';
  text += std::to_string(exponent + point_shift);
  double v = 0.0;
  {
    // strtod honours the C locale only for the decimal point, which we do not use.
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
  }
  return neg ? -v : v;
}

std::optional<long long> read_fortran_int(std::string_view word) {
  std::string_view w = strip_blanks(word);
  if (w.empty()) return std::nullopt;
  std::size_t i = 0;
  bool neg = false;
  if (w[i] == '+' || w[i] == '-') {
    neg = w[i] == '-';
    ++i;
  }
  if (i >= w.size()) return std::nullopt;
  long long v = 0;
  for (; i < w.size(); ++i) {
    if (!is_digit(w[i])) return std::nullopt;
    if (v > 100000000000000LL) return std::nullopt;
    v = v * 10 + (w[i] - '0');
  }
  return neg ? -v : v;
}

std::vector<std::string> free_fields(std::string_view line) {
  std::vector<std::string> out;
  std::string cur;
  bool in_field = false;
  for (char c : line) {
    if (c == ' ' || c == ',' || c == '\t') {
      if (in_field) out.push_back(cur);
      cur.clear();
      in_field = false;
    } else {
      cur += c;
      in_field = true;
    }
  }
  if (in_field) out.push_back(cur);
  return out;
}

}  // namespace tesk
