// A CIF block's space group (an operator list or a symbol, read by gemmi)
// turned into the LATT and SYMM cards a SHELX file would carry.
#include "structure/cif_symmetry.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <optional>
#include <set>
#include <string_view>

#include <gemmi/symmetry.hpp>

#include "format/number_reader.hpp"
#include "structure/symmetry.hpp"

namespace tesk {
namespace {

using gemmi::Op;
constexpr int D = Op::DEN;  // gemmi keeps rotations and translations in 24ths

// An operator with its translation brought into [0, 1): the form in which two
// operators of the group are compared.
Op wrapped(Op op) { return op.wrap(); }

Op translated(const Op& op, const Op::Tran& t) { return op.add_centering(t); }

Op inverted(const Op& op) { return wrapped(Op{op.negated_rot(), op.tran}); }

// gemmi multiplies the numbers of an operator or a Hall symbol in plain int
// arithmetic; real ones have one- or two-digit numbers and a few dozen
// characters. Anything else is refused before it reaches gemmi, where a huge
// number would overflow.
bool plausible_text(std::string_view text) {
  if (text.size() > 256) return false;
  int run = 0;
  for (char c : text) {
    run = std::isdigit(static_cast<unsigned char>(c)) ? run + 1 : 0;
    if (run > 3) return false;
  }
  return true;
}

// Older database entries write translations as decimals ("0.5+x",
// "x+0.6667"); gemmi reads fractions only. Each decimal number becomes the
// twelfths it stands for ("6/12+x"); empty when one is no rounded twelfth.
std::optional<std::string> decimals_as_twelfths(std::string_view text) {
  auto is_number_char = [](char c) { return c == '.' || std::isdigit(static_cast<unsigned char>(c)); };
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i;
    while (end < text.size() && is_number_char(text[end])) ++end;
    const std::string_view word = text.substr(i, end - i);
    if (word.empty()) {
      out += text[i++];
      continue;
    }
    i = end;
    if (word.find('.') == std::string_view::npos) {
      out += word;
      continue;
    }
    const auto value = read_fortran_real(word);
    if (!value) {
      out += word;  // left for the triplet parser to refuse
      continue;
    }
    const auto k = twelfths(*value);
    if (!k) return std::nullopt;
    out += std::to_string(*k) + "/12";
  }
  return out;
}

// A rotation part that some power up to the sixth turns into the identity,
// with small whole-number entries: anything else would make gemmi's group
// closure multiply matrices whose entries grow without bound.
bool crystallographic_rotation(const Op& op) {
  using M = std::array<std::array<long long, 3>, 3>;
  M m{}, p{};
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) {
      const int e = op.rot[i][j];
      if (e % D != 0 || std::abs(e / D) > 3) return false;
      m[i][j] = e / D;
      p[i][j] = i == j ? 1 : 0;
    }
  for (int order = 1; order <= 6; ++order) {
    M q{};
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j)
        for (std::size_t k = 0; k < 3; ++k) q[i][j] += p[i][k] * m[k][j];
    p = q;
    bool identity = true;
    for (std::size_t i = 0; i < 3; ++i)
      for (std::size_t j = 0; j < 3; ++j) identity = identity && p[i][j] == (i == j ? 1 : 0);
    if (identity) return true;
  }
  return false;
}

// The SHELX lattice letters of the centrings it can expand: A, B, C, I, F and
// the obverse rhombohedral centring on hexagonal axes.
char shelx_letter(std::vector<Op::Tran> cen) {
  std::sort(cen.begin(), cen.end());
  for (char c : {'P', 'A', 'B', 'C', 'I', 'F', 'R'}) {
    std::vector<Op::Tran> v = gemmi::centring_vectors(c);
    std::sort(v.begin(), v.end());
    if (v == cen) return c;
  }
  return 0;
}

int latt_number(char letter, bool centro) {
  static constexpr std::string_view kLetters = "PIRFABC";
  const int n = static_cast<int>(kLetters.find(letter)) + 1;
  return centro ? n : -n;
}

// "-x,y+1/2,-z+1/2" as a card is usually written: "-X, Y+1/2, -Z+1/2".
std::string card_text(const Op& op) {
  std::string text;
  for (char c : op.triplet('X')) {
    text += c;
    if (c == ',') text += ' ';
  }
  return text;
}

bool unit_rotation(const Op& op) {
  for (const auto& row : op.rot)
    for (int r : row)
      if (r != 0 && std::abs(r) != D) return false;
  return true;
}

SymOp to_symop(const Op& op) {
  SymOp s;
  for (int j = 0; j < 3; ++j) {
    s.trn[j] = static_cast<float>(op.tran[j]) / D;
    // gemmi's rot[j][k] is the coefficient of input k in output j.
    for (int k = 0; k < 3; ++k) s.rot[k][j] = static_cast<float>(op.rot[j][k]) / D;
  }
  return s;
}

// The group's operators: every coset representative with every centring
// vector, the zero vector first.
std::vector<Op> all_operators(const gemmi::GroupOps& g) {
  std::vector<Op> all;
  for (const Op::Tran& c : g.cen_ops)
    for (const Op& op : g.sym_ops) all.push_back(translated(op, c));
  return all;
}

// Picks SYMM cards the way a SHELX file lists them: the identity is implied,
// the lattice letter stands for the centring vectors, and a centrosymmetric
// group (inversion through the origin) lists only one operator of each pair
// (R, t), (-R, t). Each operator not yet produced by the cards so far
// becomes the next card. A centring SHELX cannot name stays in the cards.
ShelxSymmetry split_group(const gemmi::GroupOps& g) {
  ShelxSymmetry out;
  const std::vector<Op> all = all_operators(g);
  std::set<Op> group(all.begin(), all.end());
  const bool centro = group.count(inverted(Op::identity())) != 0;
  char letter = shelx_letter(g.cen_ops);
  std::vector<Op::Tran> centring = g.cen_ops;
  if (letter == 0) {
    letter = 'P';
    centring.assign(1, Op::Tran{0, 0, 0});
  }
  out.latt = latt_number(letter, centro);
  std::set<Op> produced;
  auto produce = [&](const Op& op) {
    for (const Op::Tran& c : centring) {
      produced.insert(translated(op, c));
      if (centro) produced.insert(translated(inverted(op), c));
    }
  };
  produce(Op::identity());
  for (const Op& op : all) {
    if (produced.count(op)) continue;
    if (!unit_rotation(op)) {
      out.error = "the operator " + op.triplet() + " has no SYMM card form";
      return out;
    }
    out.cards.push_back(card_text(op));
    produce(op);
  }
  for (const Op& op : all) out.group.push_back(to_symop(op));
  return out;
}

ShelxSymmetry failed(const std::string& why) {
  ShelxSymmetry out;
  out.error = why;
  return out;
}

// Centring vectors closed under addition, the zero vector first.
std::vector<Op::Tran> closed_centring(std::vector<Op::Tran> cen) {
  for (std::size_t i = 0; i < cen.size() && cen.size() <= 64; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      Op sum = translated(translated(Op::identity(), cen[i]), cen[j]);
      if (std::find(cen.begin(), cen.end(), sum.tran) == cen.end()) cen.push_back(sum.tran);
    }
  }
  return cen;
}

// "P2(1)/c" as SHELXL-97 wrote it is "P21/c".
std::string without_subscript_brackets(const std::string& hm) {
  std::string out;
  for (std::size_t i = 0; i < hm.size(); ++i) {
    if (hm[i] == '(' && i + 2 < hm.size() && std::isdigit(static_cast<unsigned char>(hm[i + 1])) &&
        hm[i + 2] == ')') {
      out += hm[i + 1];
      i += 2;
    } else {
      out += hm[i];
    }
  }
  return out;
}

// Rotation entries and the translation in 24ths of a cell, brought into [0, 24).
std::array<long, 12> op_key(const SymOp& op) {
  std::array<long, 12> k{};
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) k[static_cast<std::size_t>(3 * j + i)] = std::lround(op.rot[i][j]);
    long t = std::lround(24.0 * static_cast<double>(op.trn[j])) % 24;
    k[static_cast<std::size_t>(9 + j)] = t < 0 ? t + 24 : t;
  }
  return k;
}

}  // namespace

ShelxSymmetry symmetry_from_triplets(const std::vector<std::string>& triplets) {
  gemmi::GroupOps g;
  g.sym_ops.push_back(Op::identity());
  g.cen_ops.push_back({0, 0, 0});
  std::vector<Op> listed;
  for (const std::string& t : triplets) {
    const auto fractions = decimals_as_twelfths(t);
    if (!fractions)
      return failed("the operator '" + t + "' has a translation that is no multiple of 1/12");
    if (!plausible_text(*fractions)) return failed("the operator '" + t + "' cannot be read");
    try {
      listed.push_back(wrapped(gemmi::parse_triplet(*fractions)));
    } catch (const std::exception&) {
      return failed("the operator '" + t + "' cannot be read");
    }
    const Op& op = listed.back();
    if (!crystallographic_rotation(op)) return failed("the operators do not form a space group");
    if (op.rot == Op::identity().rot) {
      if (std::find(g.cen_ops.begin(), g.cen_ops.end(), op.tran) == g.cen_ops.end())
        g.cen_ops.push_back(op.tran);
    } else if (!g.find_by_rotation(op.rot)) {
      g.sym_ops.push_back(op);
    }
  }
  g.cen_ops = closed_centring(g.cen_ops);
  try {
    g.add_missing_elements();
  } catch (const std::exception&) {
    return failed("the operators do not form a space group");
  }
  if (g.order() > kMaxSymOps) return failed("the operators do not form a space group");
  const std::vector<Op> all = all_operators(g);
  const std::set<Op> group(all.begin(), all.end());
  for (const Op& op : listed) {
    if (!group.count(op)) return failed("the operators do not form a space group");
  }
  return split_group(g);
}

ShelxSymmetry symmetry_from_hall(const std::string& hall) {
  std::string text = hall;
  std::replace(text.begin(), text.end(), '_', ' ');  // old COD style: "-P_2ybc"
  if (!plausible_text(text)) return failed("the Hall symbol '" + hall + "' cannot be read");
  try {
    return split_group(gemmi::symops_from_hall(text.c_str()));
  } catch (const std::exception&) {
    return failed("the Hall symbol '" + hall + "' cannot be read");
  }
}

ShelxSymmetry symmetry_from_hm(const std::string& hm, double alpha, double gamma) {
  std::string name = without_subscript_brackets(hm);
  std::replace(name.begin(), name.end(), '_', ' ');
  const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(name, alpha, gamma);
  if (sg == nullptr) return failed("the space-group symbol '" + hm + "' is not known");
  return split_group(sg->operations());
}

bool same_operators(const std::vector<SymOp>& a, const std::vector<SymOp>& b) {
  std::set<std::array<long, 12>> ka, kb;
  for (const SymOp& op : a) ka.insert(op_key(op));
  for (const SymOp& op : b) kb.insert(op_key(op));
  return a.size() == b.size() && ka.size() == a.size() && ka == kb;
}

}  // namespace tesk
