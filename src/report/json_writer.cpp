// The streaming JSON writer: numbers through std::to_chars, strings escaped
// as JSON wants them, the rare non-ASCII string handed to nlohmann/json.
#include "report/json_writer.hpp"

#include <charconv>
#include <cmath>

#include <nlohmann/json.hpp>

namespace tesk {

void JsonWriter::open(char bracket) {
  separate();
  buf_ += bracket;
  first_ = true;
}

void JsonWriter::close(char bracket) {
  buf_ += bracket;
  first_ = false;
}

void JsonWriter::begin_object() { open('{'); }
void JsonWriter::end_object() { close('}'); }
void JsonWriter::begin_array() { open('['); }
void JsonWriter::end_array() { close(']'); }

void JsonWriter::key(std::string_view name) {
  string(name);
  buf_ += ':';
  first_ = true;
}

void JsonWriter::null() {
  separate();
  buf_ += "null";
}

void JsonWriter::boolean(bool b) {
  separate();
  buf_ += b ? "true" : "false";
}

void JsonWriter::integer(std::int64_t n) {
  separate();
  integer_text(n);
}

void JsonWriter::integer_text(std::int64_t n) {
  char text[24];
  const auto r = std::to_chars(text, text + sizeof text, n);
  buf_.append(text, r.ptr);
}

void JsonWriter::number(double v) {
  if (!std::isfinite(v)) {
    null();
    return;
  }
  separate();
  char text[40];
  char* end = std::to_chars(text, text + sizeof text, v).ptr;
  buf_.append(text, end);
  // "2" would read back as an integer, "2.0" as the number written.
  if (std::string_view(text, static_cast<std::size_t>(end - text)).find_first_of(".e") ==
      std::string_view::npos)
    buf_ += ".0";
}

// round(v * 10^d) / 10^d is the double nearest to the decimal N / 10^d, as
// both the integer N (below 2^53) and 10^d are exact and IEEE division
// rounds correctly; a reader's nearest double to the text "N / 10^d" is the
// same one. Trailing zeros go, as in the shortest form.
void JsonWriter::decimal(float value, int decimals) {
  static const double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  const double scaled = std::round(static_cast<double>(value) * kScale[decimals]);
  if (!(std::fabs(scaled) < 1e15)) {  // NaN, infinities and the rare huge value
    number(scaled / kScale[decimals]);
    return;
  }
  separate();
  if (std::signbit(scaled)) buf_ += '-';
  const auto n = static_cast<std::int64_t>(std::fabs(scaled));
  if (n == 0 || decimals == 0) {
    integer_text(n);
    buf_ += ".0";
    return;
  }
  char digits[24];
  const auto length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits);
  const auto places = static_cast<std::size_t>(decimals);
  std::size_t end = length;  // the last fraction digit that is not a trailing zero
  while (digits[end - 1] == '0') --end;  // n > 0 has a nonzero digit
  if (length > places) {
    buf_.append(digits, length - places);
    buf_ += '.';
    if (end <= length - places) buf_ += '0';
    else buf_.append(digits + length - places, end - (length - places));
  } else {
    buf_ += "0.";
    buf_.append(places - length, '0');
    buf_.append(digits, end);
  }
}

void JsonWriter::escape(char c) {
  static const char kHex[] = "0123456789abcdef";
  const auto u = static_cast<unsigned char>(c);
  switch (c) {
    case '"': buf_ += "\\\""; return;
    case '\\': buf_ += "\\\\"; return;
    case '\b': buf_ += "\\b"; return;
    case '\f': buf_ += "\\f"; return;
    case '\n': buf_ += "\\n"; return;
    case '\r': buf_ += "\\r"; return;
    case '\t': buf_ += "\\t"; return;
    default: break;
  }
  buf_ += "\\u00";
  buf_ += kHex[u >> 4];
  buf_ += kHex[u & 15];
}

void JsonWriter::string(std::string_view s) {
  separate();
  // Labels, element symbols and comments are ASCII: escape the few
  // characters JSON reserves and copy the rest in runs. A byte beyond ASCII
  // sends the whole string the slow way, so whatever of it was written here
  // (escapes included) goes first.
  const std::size_t start = buf_.size();
  buf_ += '"';
  std::size_t from = 0;
  for (std::size_t k = 0; k < s.size(); ++k) {
    const auto u = static_cast<unsigned char>(s[k]);
    if (u >= 0x80) {
      buf_.resize(start);
      string_slow(s);
      return;
    }
    if (u < 0x20 || s[k] == '"' || s[k] == '\\' || (escape_lt_ && s[k] == '<')) {
      buf_.append(s.substr(from, k - from));
      escape(s[k]);
      from = k + 1;
    }
  }
  buf_.append(s.substr(from));
  buf_ += '"';
}

// Text beyond ASCII may be UTF-8 or bytes of another code page; nlohmann/json
// checks the encoding and replaces what is no UTF-8, as the head's strings are.
void JsonWriter::string_slow(std::string_view s) {
  const std::string text = nlohmann::json(std::string(s)).dump(
      -1, ' ', false, nlohmann::json::error_handler_t::replace);
  if (!escape_lt_) {
    buf_.append(text);
    return;
  }
  for (char c : text) {
    if (c == '<') escape(c);
    else buf_ += c;
  }
}

void JsonWriter::raw_value(std::string_view json) {
  separate();
  buf_.append(json);
}

void JsonWriter::flush() {
  if (sink_ == nullptr) return;
  sink_->write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
  buf_.clear();
}

}  // namespace tesk
