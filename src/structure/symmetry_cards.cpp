// Symmetry cards: "SYMM -X, 1/2+Y, -Z" in the algebraic form (with or without
// commas) or as twelve numbers (t, r1, r2, r3 for each output coordinate).
#include <algorithm>
#include <cctype>
#include <cmath>

#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "format/number_reader.hpp"
#include "structure/symmetry.hpp"

namespace tesk {
namespace {

std::string trimmed(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return std::string(text.substr(b, e - b));
}

std::string without_blanks(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (c != ' ') s += c;
  }
  return s;
}

bool is_identity(const SymOp& op) {
  for (int k = 0; k < 3; ++k) {
    if (op.trn[k] != 0.0f) return false;
    for (int j = 0; j < 3; ++j) {
      if (op.rot[k][j] != (k == j ? 1.0f : 0.0f)) return false;
    }
  }
  return true;
}

// Translation written as a fraction: the numerator is the digits before '/',
// the denominator those after it, a '-' on either side negates that side,
// anything else ('+') is skipped. Sixths and twelfths read as what they say.
bool read_fraction(std::string_view text, float& t) {
  long num = 0, den = 0;
  bool after_slash = false, neg_num = false, neg_den = false, den_digits = false;
  for (char c : text) {
    if (c == '/') {
      after_slash = true;
    } else if (c == '-') {
      (after_slash ? neg_den : neg_num) = true;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      long& v = after_slash ? den : num;
      if (v < 100000) v = v * 10 + (c - '0');
      if (after_slash) den_digits = true;
    }
  }
  if (!den_digits) den = 1;
  if (den == 0) return false;
  if (neg_num) num = -num;
  if (neg_den) den = -den;
  t = static_cast<float>(num) / static_cast<float>(den);
  return true;
}

// Numeric card: for output coordinate i the numbers t, r1, r2, r3.
bool read_numeric(const std::vector<std::string>& items, SymOp& op) {
  for (int i = 0; i < 3; ++i) {
    for (int n = 0; n < 4; ++n) {
      const auto v = read_fortran_real(items[static_cast<std::size_t>(4 * i + n)]);
      if (!v) return false;
      const float f = static_cast<float>(*v);
      if (n == 0) {
        op.trn[i] = snap_twelfth(*v);
      } else {
        op.rot[n - 1][i] = f;
      }
    }
  }
  return true;
}

// A NaN, an infinity or a coefficient far beyond any lattice's (NAN in the
// numeric form, "X+1E30") would carry every image off into garbage.
bool plausible(const SymOp& op) {
  auto ok = [](float v) { return std::isfinite(v) && std::fabs(v) <= 100.0f; };
  for (int j = 0; j < 3; ++j) {
    if (!ok(op.trn[j])) return false;
    for (int k = 0; k < 3; ++k)
      if (!ok(op.rot[k][j])) return false;
  }
  return true;
}

bool read_operator(const std::string& text, SymOp& op) {
  const char delim = text.find(',') != std::string::npos ? ',' : ' ';
  const auto items = split(text, delim, 12, 32);
  if (items.size() == 12) return read_numeric(items, op) && plausible(op);
  if (items.size() != 3) return false;
  for (int j = 0; j < 3; ++j) {
    std::array<float, 3> col{};
    if (!symop(items[static_cast<std::size_t>(j)], op.trn[j], col)) return false;
    for (int k = 0; k < 3; ++k) op.rot[k][j] = col[k];
  }
  return plausible(op);
}

}  // namespace

std::optional<long> twelfths(double t) {
  const double k = std::round(12.0 * t);
  if (!std::isfinite(k) || std::fabs(k) > 1.0e6 || std::fabs(12.0 * t - k) > 12.0 * 0.005)
    return std::nullopt;
  return static_cast<long>(k);
}

float snap_twelfth(double t) {
  const auto k = twelfths(t);
  return k ? static_cast<float>(*k) / 12.0f : static_cast<float>(t);
}

std::vector<std::string> split(std::string_view text, char delimiter, int n, int maxlen) {
  std::vector<std::string> items;
  std::size_t pos = 0;
  while (pos <= text.size() && static_cast<int>(items.size()) < n) {
    std::size_t end = text.find(delimiter, pos);
    if (end == std::string_view::npos) end = text.size();
    std::string item = trimmed(text.substr(pos, end - pos));
    if (!item.empty()) {
      if (static_cast<int>(item.size()) > maxlen) item.resize(static_cast<std::size_t>(maxlen));
      // Trimming after the cut keeps an item like "X " from ending in a blank.
      while (!item.empty() && item.back() == ' ') item.pop_back();
      items.push_back(item);
    }
    pos = end + 1;
  }
  return items;
}

void removerot(std::string& text, std::array<float, 3>& rotcol) {
  // "+X" before "-X" before a bare "X", so that "-Y+X" takes both signs right.
  static constexpr std::array<std::pair<const char*, float>, 3> kPasses = {
      {{"+", 1.0f}, {"-", -1.0f}, {"", 1.0f}}};
  static constexpr char kAxes[] = {'X', 'Y', 'Z'};
  for (const auto& [sign, coef] : kPasses) {
    for (int k = 0; k < 3; ++k) {
      const std::string pattern = std::string(sign) + kAxes[k];
      const std::size_t at = text.find(pattern);
      if (at == std::string::npos) continue;
      rotcol[k] = coef;
      text.erase(at, pattern.size());
    }
  }
}

bool symop(std::string_view text, float& t, std::array<float, 3>& rotcol) {
  std::string rest = without_blanks(upper(text));
  rotcol = {0.0f, 0.0f, 0.0f};
  removerot(rest, rotcol);
  if (rest.size() > 32) rest.resize(32);
  t = 0.0f;
  if (rest.empty()) return true;
  if (rest.find('/') == std::string::npos) {
    if (const auto v = read_fortran_real(rest)) {
      t = snap_twelfth(*v);
      return true;
    }
  }
  return read_fraction(rest, t);
}

bool symcrd(Run& run, std::string_view card) {
  std::string_view text;
  const std::string head = upper(card.substr(0, std::min<std::size_t>(card.size(), 4)));
  if (head.rfind("SYMM", 0) == 0) {
    text = card.substr(4);
  } else if (head.rfind("SYM", 0) == 0) {
    text = card.substr(3);
  } else {
    text = card;
  }
  const auto ops = split(text, ';', 3, 80);
  if (ops.empty()) return false;
  for (const auto& optext : ops) {
    SymOp op;
    if (!read_operator(optext, op)) return false;
    // Operator 1 already is the identity.
    if (!is_identity(op)) run.symm.append(op, "SymCrd");
  }
  return true;
}

void getsym(Run& run, TextInput& in) {
  run.symm.ops.assign(1, identity_op());
  in.rewind();
  std::string record;
  while (in.next(record)) {
    if (upper(record.substr(0, std::min<std::size_t>(record.size(), 3))) != "SYM") continue;
    // A '!' starts a comment that runs to the end of the line.
    std::string card = record.substr(0, record.find('!'));
    if (card.size() > static_cast<std::size_t>(kLineLength)) card.resize(kLineLength);
    if (!symcrd(run, card)) {
      // The number the illegal operator would have had.
      run.out.log << ffmt("(' * * * Symmetry card no.', I3, ' illegal * * *')",
                          {run.symm.nsym() + 1});
    }
  }
  for (int s = 1; s <= run.symm.nsym(); ++s) symout(run, s);
}

}  // namespace tesk
