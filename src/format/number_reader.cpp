// Number recognition as Fortran input performs it, gfortran being the
// reference. Under F editing an empty mantissa reads as zero, so "-", "." and
// "E5" are numbers, while "E", "1E" and "5+" are not; list-directed (free
// format) input refuses those empty mantissas.
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

std::optional<double> infinity(bool neg) {
  return neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

// Infinity and not-a-number under F editing (gfortran): after the sign, the
// word is INF, INFINITY or NAN in any case, and a NaN may carry parentheses.
// Every character other than '(' and ')' must be a letter or digit, a ')'
// must follow exactly one '(', and there must be no parentheses or two in
// all; so "NaN(x1)", "NaN()z" and even "NaN((" read as NaN, while
// "NaN(a_b)", "NaN(" and "Inf()" do not.
std::optional<double> read_special_f(std::string_view body, bool neg) {
  int parens = 0;
  std::size_t name_end = body.size();
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '(') {
      if (parens == 0) name_end = i;
      ++parens;
    } else if (c == ')') {
      if (parens++ != 1) return std::nullopt;
    } else if (!std::isalnum(static_cast<unsigned char>(c))) {
      return std::nullopt;
    }
  }
  if (parens != 0 && parens != 2) return std::nullopt;
  std::string_view name = body.substr(0, name_end);
  if (iequals(name, "INF") || iequals(name, "INFINITY")) {
    if (parens != 0) return std::nullopt;
    return infinity(neg);
  }
  if (iequals(name, "NAN")) return std::numeric_limits<double>::quiet_NaN();
  return std::nullopt;
}

// The same words under list-directed input: INF, INFINITY, NAN, or NAN( with
// any characters up to a closing ')' that ends the word.
std::optional<double> read_special_list(std::string_view body, bool neg) {
  if (iequals(body, "INF") || iequals(body, "INFINITY")) return infinity(neg);
  if (body.size() < 3 || !iequals(body.substr(0, 3), "NAN")) return std::nullopt;
  std::string_view rest = body.substr(3);
  if (rest.empty()) return std::numeric_limits<double>::quiet_NaN();
  if (rest.size() >= 2 && rest.front() == '(' && rest.find(')') == rest.size() - 1)
    return std::numeric_limits<double>::quiet_NaN();
  return std::nullopt;
}

// Consumes an optional leading sign at position i; true for '-'.
bool take_sign(std::string_view w, std::size_t& i) {
  if (i >= w.size() || (w[i] != '+' && w[i] != '-')) return false;
  return w[i++] == '-';
}

enum class Edit { F, List };

// F editing takes an empty mantissa as zero ("-", "E5") but refuses an
// exponent whose value needs more than four digits (1E10000); list-directed
// input wants at least one mantissa digit and lets a huge exponent overflow.
std::optional<double> read_real(std::string_view word, Edit edit) {
  std::string_view w = strip_blanks(word);
  if (w.empty()) return std::nullopt;

  std::size_t i = 0;
  const bool neg = take_sign(w, i);
  std::string_view body = w.substr(i);
  if (!body.empty()) {
    char c0 = up(body[0]);
    if (edit == Edit::F && body.size() >= 3 && (c0 == 'I' || c0 == 'N'))
      return read_special_f(body, neg);
    if (edit == Edit::List && (c0 == 'I' || c0 == 'N')) return read_special_list(body, neg);
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
  if (edit == Edit::List && digits.empty()) return std::nullopt;
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
    if (edit == Edit::F && exponent > 9999) return std::nullopt;
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

}  // namespace

std::optional<double> read_fortran_real(std::string_view word) { return read_real(word, Edit::F); }

std::optional<double> read_list_real(std::string_view word) { return read_real(word, Edit::List); }

bool fits_single(double v) { return std::fabs(v) <= std::numeric_limits<float>::max(); }

std::optional<long long> read_fortran_int(std::string_view word) {
  std::string_view w = strip_blanks(word);
  if (w.empty()) return std::nullopt;
  std::size_t i = 0;
  const bool neg = take_sign(w, i);
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
