// The format interpreter: walks a parsed format over the output items the
// way a Fortran formatted WRITE does (records, column position, the stop
// when items run out, format reversion), plus the free-format trace line.
#include "format/fortran_format.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <functional>
#include <string>
#include <unordered_map>

#include "format/format_parser.hpp"
#include "format/number_edit.hpp"

namespace tesk {
namespace {

using fmt::Node;
using fmt::Op;

// Writers pass the same few hundred literal format texts again and again, so
// each text is parsed once per thread. A small table keyed by where the text
// lies in memory answers the repeated calls from one literal without hashing
// the text; it still compares the text, so a reused address cannot mislead
// it. The bound only guards against callers that build format texts on the
// fly.
const fmt::Format& cached_format(std::string_view text) {
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  struct Recent {
    std::string_view key;  // the cache's own copy of the text
    const fmt::Format* format = nullptr;
    const char* seen_at = nullptr;
  };
  thread_local std::unordered_map<std::string, fmt::Format, Hash, std::equal_to<>> cache;
  thread_local std::array<Recent, 512> recent{};
  const auto slot = (reinterpret_cast<std::uintptr_t>(text.data()) >> 3) % recent.size();
  Recent& r = recent[slot];
  if (r.seen_at == text.data() && r.key == text) return *r.format;
  auto it = cache.find(text);
  if (it == cache.end()) {
    fmt::Format parsed = fmt::parse_format(text);
    if (cache.size() >= 4096) {
      cache.clear();
      recent.fill(Recent{});
    }
    it = cache.emplace(std::string(text), std::move(parsed)).first;
  }
  r = Recent{it->first, &it->second, text.data()};
  return it->second;
}

std::string free_real(double x, bool single) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x < 0 ? "-Infinity" : "Infinity";
  char buf[48];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, single ? 7 : 15);
  std::string s(buf, r.ptr);
  std::size_t e = s.find('e');
  std::string mantissa = s.substr(0, e);
  std::string exponent = e == std::string::npos ? "" : "E" + s.substr(e + 1);
  if (mantissa.find('.') == std::string::npos) mantissa += ".0";
  return mantissa + exponent;
}

std::string free_item(const FArg& a) {
  switch (a.kind()) {
    case FArg::Kind::Int: return std::to_string(a.as_int());
    case FArg::Kind::Real: return free_real(a.as_real(), a.is_single());
    case FArg::Kind::Logical: return a.as_logical() ? "T" : "F";
    case FArg::Kind::Text: break;
  }
  return a.as_text();
}

// Storage of records already written out, reused for the next records.
std::vector<std::string>& spare_texts() {
  thread_local std::vector<std::string> spare;
  return spare;
}

std::string fresh_text() {
  auto& spare = spare_texts();
  if (spare.empty()) {
    std::string s;
    s.reserve(128);
    return s;
  }
  std::string s = std::move(spare.back());
  spare.pop_back();
  s.clear();
  return s;
}

double real_of(const FArg& a) {
  switch (a.kind()) {
    case FArg::Kind::Int: return static_cast<double>(a.as_int());
    case FArg::Kind::Logical: return a.as_logical() ? 1.0 : 0.0;
    default: return a.as_real();
  }
}

// Walks a format over the items, building the records in one buffer: the
// record under way is out_ from rec_ on, with the column counted from rec_.
class Writer {
 public:
  explicit Writer(std::span<const FArg> items) : items_(items), out_(fresh_text()) {}

  std::string run(const fmt::Format& f) {
    std::size_t start = 0;
    // Format reversion: items left at the end of the format start a new
    // record at the last top-level group (or the beginning).
    while (walk(f.items, start) && next_ < items_.size() && f.reversion_has_data) {
      end_record();
      start = f.reversion;
    }
    end_record();
    return std::move(out_);
  }

 private:
  std::span<const FArg> items_;
  std::size_t next_ = 0;
  std::string out_;
  std::string scratch_;
  std::size_t rec_ = 0;  // where the record under way starts in out_
  std::size_t pos_ = 0;  // column of the next character, from 0
  bool plus_ = false;
  // A '$' was reached: from then on a record still ends (the next starts at
  // column 1, trailing X blanks are dropped) but its newline is not written,
  // so the record after a '/' or a reversion goes on the same line.
  bool dollar_ = false;

  // False when output stops: a data descriptor or ':' found no item left.
  bool walk(const std::vector<Node>& nodes, std::size_t from) {
    for (std::size_t i = from; i < nodes.size(); ++i)
      if (!step(nodes[i])) return false;
    return true;
  }

  bool step(const Node& n) {
    if (n.is_data()) {
      for (int r = 0; r < n.repeat; ++r) {
        if (next_ >= items_.size()) return false;
        put_item(n, items_[next_++]);
      }
      return true;
    }
    switch (n.op) {
      case Op::Group:
        for (int r = 0; r < n.repeat; ++r)
          if (!walk(n.items, 0)) return false;
        break;
      case Op::Literal: put(n.text); break;
      case Op::Right: pos_ += static_cast<std::size_t>(n.w); break;
      case Op::Left: pos_ -= std::min(pos_, static_cast<std::size_t>(n.w)); break;
      case Op::Tab: pos_ = static_cast<std::size_t>(n.w - 1); break;
      case Op::Slash:
        for (int r = 0; r < n.repeat; ++r) end_record();
        break;
      case Op::Colon: return next_ < items_.size();
      case Op::Dollar: dollar_ = true; break;
      case Op::SignPlus: plus_ = true; break;
      case Op::SignDefault: plus_ = false; break;
      default: break;
    }
    return true;
  }

  std::size_t record_length() const { return out_.size() - rec_; }

  // A field that follows the last one (the usual case) is edited straight
  // onto the record; after X or T it goes through put.
  void put_item(const Node& n, const FArg& a) {
    if (pos_ == record_length()) {
      edit(out_, n, a);
      pos_ = record_length();
      return;
    }
    scratch_.clear();
    edit(scratch_, n, a);
    put(scratch_);
  }

  // Writes at the current column; blanks fill a gap left by X or T, and a
  // field moved back by TL overwrites what was there.
  void put(std::string_view s) {
    if (pos_ > record_length()) out_.resize(rec_ + pos_, ' ');
    const std::size_t at = rec_ + pos_;
    const std::size_t over = std::min(s.size(), out_.size() - at);
    out_.replace(at, over, s);
    pos_ += s.size();
  }

  void end_record() {
    if (!dollar_) out_ += '\n';
    rec_ = out_.size();
    pos_ = 0;
  }

  void edit(std::string& out, const Node& n, const FArg& a) const {
    using K = FArg::Kind;
    if (n.op == Op::Text)
      return a.kind() == K::Text ? fmt::edit_text(out, a.as_text(), n.w)
                                 : fmt::edit_text(out, free_item(a), n.w);
    // Text given to a numeric or logical field prints as under Aw (w = 0: as is).
    if (a.kind() == K::Text) return fmt::edit_text(out, a.as_text(), n.w == 0 ? -1 : n.w);
    switch (n.op) {
      case Op::Int: return edit_integer(out, n, a);
      case Op::Fixed: return fmt::edit_fixed(out, real_of(a), n.w, n.d, plus_);
      case Op::Expo: return fmt::edit_expo(out, real_of(a), n.w, n.d, n.letter, plus_);
      case Op::Sci: return fmt::edit_sci(out, real_of(a), n.w, n.d, plus_);
      case Op::General: return fmt::edit_general(out, real_of(a), n.w, n.d, plus_);
      default: break;
    }
    fmt::edit_logical(out, a.kind() == K::Logical ? a.as_logical() : real_of(a) != 0.0, n.w);
  }

  // A real given to an I field prints as the nearest integer.
  void edit_integer(std::string& out, const Node& n, const FArg& a) const {
    if (a.kind() == FArg::Kind::Real) {
      double r = std::round(a.as_real());
      if (!(std::fabs(r) < 9.2e18)) return out.append(static_cast<std::size_t>(std::max(n.w, 1)), '*'), void();
      return fmt::edit_int(out, static_cast<std::int64_t>(r), n.w, n.m, plus_);
    }
    std::int64_t v = a.kind() == FArg::Kind::Int ? a.as_int() : (a.as_logical() ? 1 : 0);
    fmt::edit_int(out, v, n.w, n.m, plus_);
  }
};

}  // namespace

std::string ffmt(std::string_view format, std::span<const FArg> items) {
  return Writer(items).run(cached_format(format));
}

void recycle_text(std::string&& text) {
  auto& spare = spare_texts();
  // A few are enough: records are written out as soon as they are made. Very
  // long ones are let go so that one huge record does not stay held.
  if (spare.size() < 8 && text.capacity() <= 4096) spare.push_back(std::move(text));
}

std::string ffmt_text(std::string_view format, std::span<const FArg> items) {
  std::string text = ffmt(format, items);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string wide_int(std::int64_t n, int w) {
  const std::string digits = ffmt_text("(i0)", {static_cast<long long>(n)});
  const auto width = static_cast<std::size_t>(w);
  if (digits.size() > width) return ' ' + digits;
  return std::string(width - digits.size(), ' ') + digits;
}

std::string ffree(std::initializer_list<FArg> items) {
  std::string line = fresh_text();
  for (const FArg& a : items) {
    line += ' ';
    line += free_item(a);
  }
  line += '\n';
  return line;
}

}  // namespace tesk
