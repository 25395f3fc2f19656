// A streaming JSON writer for the large parts of the report: the atom list
// of tesk.json and the data of tesk.html. Building a JSON tree for each of
// 100000 atoms only to print it costs more than the rest of the run; this
// writer puts the text straight into a buffer and hands full blocks to the
// file. What it writes parses back to the document nlohmann/json would have
// printed for the same values.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace tesk {

class JsonWriter {
 public:
  // Text collected in memory; take it with text().
  JsonWriter() = default;
  // Text written to `sink` in blocks as it grows.
  explicit JsonWriter(std::ostream& sink) : sink_(&sink) { buf_.reserve(2 * kBlock); }

  // For text placed inside an HTML <script> element: '<' is written as
  // \u003c, so that no string closes the element.
  void escape_for_script() { escape_lt_ = true; }

  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  // The key of the next member of the object being written.
  void key(std::string_view name);

  void null();
  void boolean(bool b);
  void integer(std::int64_t n);
  // A finite number as its shortest exact decimal text, with ".0" when it
  // has no fraction so that it reads back as a floating-point number; NaN
  // and infinities as null, as nlohmann/json writes them.
  void number(double v);
  // A single-precision value rounded to `decimals` places (0 to 7): the
  // number rounded(value, decimals) of report_json.hpp, written from the
  // rounded integer without a search for the shortest digits.
  void decimal(float value, int decimals);
  // A UTF-8 string; bytes that are no valid UTF-8 become U+FFFD.
  void string(std::string_view s);
  // A value already written as JSON text.
  void raw_value(std::string_view json);
  // Text outside the value structure (the head of a document written elsewhere).
  void raw(std::string_view text) { buf_.append(text); }

  // Hands the buffer to the file once a block has gathered.
  void flush_if_full() {
    if (sink_ != nullptr && buf_.size() >= kBlock) flush();
  }
  void flush();
  const std::string& text() const { return buf_; }

 private:
  static constexpr std::size_t kBlock = 1 << 16;
  // Before a value: the comma after the previous one, unless a key or an
  // opening bracket came just before. No stack is needed: a closed object
  // or array is itself a value of the level around it.
  void separate() {
    if (first_) first_ = false;
    else buf_ += ',';
  }
  void open(char bracket);
  void close(char bracket);
  void string_slow(std::string_view s);
  void integer_text(std::int64_t n);
  void escape(char c);

  std::string buf_;
  std::ostream* sink_ = nullptr;
  bool first_ = true;  // no value yet at this level, or a key was just written
  bool escape_lt_ = false;
};

}  // namespace tesk
