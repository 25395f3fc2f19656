// Parser of Fortran format texts into the descriptor tree of format_parser.hpp.
// Blanks are insignificant outside quoted strings (long formats carry runs of
// blanks left by source continuation lines), so the scanner skips them
// everywhere except inside literals and Hollerith strings.
#include "format/format_parser.hpp"

#include <cctype>
#include <stdexcept>

namespace tesk::fmt {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  Format run() {
    Format f;
    expect('(');
    f.items = list();
    expect(')');
    skip_blanks();
    if (p_ != s_.size()) fail();
    // Reversion restarts at the last top-level group, or at the beginning.
    for (std::size_t i = 0; i < f.items.size(); ++i)
      if (f.items[i].op == Op::Group) f.reversion = i;
    for (std::size_t i = f.reversion; i < f.items.size(); ++i)
      f.reversion_has_data = f.reversion_has_data || f.items[i].has_data;
    return f;
  }

 private:
  std::string_view s_;
  std::size_t p_ = 0;

  [[noreturn]] void fail() const {
    throw std::logic_error("malformed Fortran format: " + std::string(s_));
  }
  void skip_blanks() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t')) ++p_;
  }
  char peek() {
    skip_blanks();
    return p_ < s_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(s_[p_])))
                          : '\0';
  }
  char take() {
    char c = peek();
    if (c == '\0') fail();
    ++p_;
    return c;
  }
  void expect(char c) {
    if (take() != c) fail();
  }
  bool digit_next() { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  // An unsigned number; its digits may be separated by blanks.
  int number() {
    if (!digit_next()) fail();
    long v = 0;
    while (digit_next()) {
      v = v * 10 + (s_[p_++] - '0');
      if (v > 1000000) fail();
    }
    return static_cast<int>(v);
  }
  int optional_number(int absent) { return digit_next() ? number() : absent; }

  std::vector<Node> list() {
    std::vector<Node> items;
    while (true) {
      char c = peek();
      if (c == ')') return items;
      if (c == ',') {
        ++p_;
        continue;
      }
      if (c == '\0') fail();
      items.push_back(item());
    }
  }

  Node item() {
    Node n;
    bool counted = digit_next();
    int count = counted ? number() : 1;
    char c = take();
    if (c == '(') {
      n.op = Op::Group;
      n.items = list();
      expect(')');
      for (const Node& k : n.items) n.has_data = n.has_data || k.has_data;
    } else if (c == '\'' || c == '"') {
      if (counted) fail();
      n.op = Op::Literal;
      n.text = quoted(c);
    } else if (c == 'H') {
      if (!counted || p_ + static_cast<std::size_t>(count) > s_.size()) fail();
      n.op = Op::Literal;
      n.text = std::string(s_.substr(p_, static_cast<std::size_t>(count)));
      p_ += static_cast<std::size_t>(count);
      return n;
    } else if (c == 'X') {
      n.op = Op::Right;
      n.w = count;
      return n;
    } else {
      descriptor(n, c, counted);
    }
    if (count < 1) fail();
    n.repeat = count;
    return n;
  }

  // The text of a quoted literal; a doubled quote stands for one.
  std::string quoted(char q) {
    std::string t;
    while (true) {
      if (p_ >= s_.size()) fail();
      char c = s_[p_++];
      if (c == q) {
        if (p_ < s_.size() && s_[p_] == q) {
          t += q;
          ++p_;
          continue;
        }
        return t;
      }
      t += c;
    }
  }

  void width_digits(Node& n, bool need_d) {
    n.w = number();
    if (peek() == '.') {
      ++p_;
      n.d = number();
    } else if (need_d) {
      fail();
    }
  }

  void descriptor(Node& n, char c, bool counted) {
    switch (c) {
      case 'I':
        n.op = Op::Int;
        n.w = number();
        if (peek() == '.') {
          ++p_;
          n.m = number();
        }
        break;
      case 'F': n.op = Op::Fixed; width_digits(n, true); break;
      case 'D': n.op = Op::Expo; n.letter = 'D'; width_digits(n, true); break;
      case 'E':
        if (peek() == 'S') {
          ++p_;
          n.op = Op::Sci;
          width_digits(n, true);
        } else {
          n.op = Op::Expo;
          width_digits(n, true);
          if (n.d < 1) fail();
        }
        break;
      case 'G':
        n.op = Op::General;
        width_digits(n, true);
        if (n.d < 1) fail();
        break;
      case 'A': n.op = Op::Text; n.w = optional_number(-1); break;
      case 'L': n.op = Op::Logical; n.w = number(); break;
      case 'T': tab(n, counted); break;
      case 'S': sign(n, counted); break;
      case '/': n.op = Op::Slash; break;
      case ':': n.op = Op::Colon; break;
      case '$':
      case '\\': n.op = Op::Dollar; break;
      default: fail();
    }
    if (n.op == Op::Text && n.w == 0) fail();
    n.has_data = n.is_data();
    if (counted && !n.is_data() && n.op != Op::Slash) fail();
  }

  void tab(Node& n, bool counted) {
    if (counted) fail();
    char c = peek();
    if (c == 'L' || c == 'R') {
      ++p_;
      n.op = c == 'L' ? Op::Left : Op::Right;
    } else {
      n.op = Op::Tab;
    }
    n.w = number();
    if (n.op == Op::Tab && n.w < 1) fail();
  }

  void sign(Node& n, bool counted) {
    if (counted) fail();
    char c = peek();
    if (c == 'P') {
      ++p_;
      n.op = Op::SignPlus;
    } else {
      if (c == 'S') ++p_;
      n.op = Op::SignDefault;
    }
  }
};

}  // namespace

Format parse_format(std::string_view text) { return Parser(text).run(); }

}  // namespace tesk::fmt
