// Logical lines of a SHELX instruction file: comments cut, '=' continuations
// joined, stray indented lines dropped, and each line classified as an
// instruction, an atom or the END card.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/line_reader.hpp"

namespace tesk {

struct ShelxLine {
  enum class Kind { Instruction, Atom, End };
  Kind kind = Kind::Atom;
  std::string text;   // as written, comment cut, continuations joined by one blank
  std::string upper;  // the same, upper-cased
  std::string key;    // instruction: its first four characters ("END ", "L.S."); else blank
  std::size_t record = 0;  // 0-based record number of the first physical line
};

// True when `word` (any case) names a SHELXL or SHELXS instruction. A suffix
// after '_' (DFIX_32, SADI_SER, RIGU_CCF3) belongs to the instruction.
bool is_shelx_instruction(std::string_view word);

// Upper-cased first four characters of the instruction part of `word`,
// blank padded ("END" -> "END ").
std::string shelx_key(std::string_view word);

// Walks the records of a file held in memory. SHELXL ignores REM lines,
// '+file' include lines and indented lines that continue nothing (SHELXL
// 2013+ writes the .res name and "created by" under TITL that way); this
// reader skips them too. A '!' starts a comment anywhere on a line.
class ShelxLines {
 public:
  explicit ShelxLines(const TextInput& in) : in_(in) {}
  bool next(ShelxLine& line);  // false at end of file
  void rewind() { pos_ = 0; }

 private:
  std::string piece(std::size_t i) const;  // record i, 255 columns, comment cut, trimmed
  const TextInput& in_;
  std::size_t pos_ = 0;
};

}  // namespace tesk
