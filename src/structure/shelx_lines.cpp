// Logical lines of a SHELX file and the table of instruction names.
#include "structure/shelx_lines.hpp"

#include <algorithm>
#include <array>

namespace tesk {

namespace {

// SHELXL-2019 instructions, the older SHELXL-93/97 ones (HOPE, MOLE, TIME...),
// the SHELXS/SHELXD structure-solution ones (TREF, PATT, FIND...) and FALT, a
// misspelling of FLAT that old files carry. Sorted for a binary search.
constexpr std::array<std::string_view, 97> kInstructions = {
    "ABIN", "ACTA", "AFIX", "ANIS", "ANSC", "ANSR", "BASF", "BEDE", "BIND", "BLOC", "BOND",
    "BUMP", "CELL", "CGLS", "CHIV", "CONF", "CONN", "DAMP", "DANG", "DEFS", "DELU", "DFIX",
    "DISP", "DSUL", "EADP", "EGEN", "END ", "EQIV", "ESEL", "EXTI", "EXYZ", "FALT", "FEND",
    "FIND", "FLAT", "FMAP", "FRAG", "FREE", "FVAR", "GRID", "HFIX", "HKLF", "HOPE", "HTAB",
    "INIT", "ISOR", "L.S.", "LATT", "LAUE", "LIST", "LONE", "MERG", "MIND", "MOLE", "MORE",
    "MOVE", "MPLA", "NCSY", "NEUT", "NTRY", "OMIT", "PART", "PATT", "PHAN", "PLAN", "PRIG",
    "PSEE", "REM ", "RESI", "RIGU", "RTAB", "SADI", "SAME", "SFAC", "SHEL", "SIMU", "SIZE",
    "SPEC", "SPIN", "STIR", "SUMP", "SWAT", "SYMM", "TEMP", "TEXP", "TIME", "TITL", "TREF",
    "TWIN", "TWST", "UNIT", "VECT", "WGHT", "WIGL", "WPDB", "XNPD", "ZERR"};

bool in_table(std::string_view key) {
  return std::binary_search(kInstructions.begin(), kInstructions.end(), key);
}

bool is_indent(char c) { return c == ' ' || c == '\t'; }

std::string first_word(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && !is_indent(text[end])) ++end;
  return std::string(text.substr(0, end));
}

}  // namespace

std::string shelx_key(std::string_view word) {
  std::string key(word.substr(0, word.find('_')));
  key = upper(key).substr(0, std::min<std::size_t>(key.size(), 4));
  key.resize(4, ' ');
  return key;
}

bool is_shelx_instruction(std::string_view word) {
  if (word.empty()) return false;
  return in_table(shelx_key(word));
}

std::string ShelxLines::piece(std::size_t i) const {
  std::string text = in_.record(i);
  if (text.size() > static_cast<std::size_t>(kLineLength)) text.resize(kLineLength);
  std::size_t bang = text.find('!');
  if (bang != std::string::npos) text.resize(bang);
  return trim_right(text);
}

bool ShelxLines::next(ShelxLine& line) {
  while (pos_ < in_.size()) {
    std::size_t first = pos_++;
    std::string text = piece(first);
    if (text.empty() || is_indent(text[0]) || text[0] == '+') continue;
    std::string word = first_word(text);
    std::string up_word = upper(word);
    if (up_word.rfind("REM", 0) == 0) continue;

    line.record = first;
    line.key = shelx_key(word);
    if (line.key != "TITL") {
      // A trailing '=' carries the line on to the next record.
      // Appended in place: a file of 100000 continued records stays linear.
      while (!text.empty() && text.back() == '=' && pos_ < in_.size()) {
        text.pop_back();
        while (!text.empty() && text.back() == ' ') text.pop_back();
        text += ' ';
        text += piece(pos_++);
        while (!text.empty() && text.back() == ' ') text.pop_back();
      }
      if (!text.empty() && text.back() == '=') text.back() = ' ';
    }
    line.text = text;
    line.upper = upper(text);
    if (line.key == "END ") {
      line.kind = ShelxLine::Kind::End;
    } else if (in_table(line.key)) {
      line.kind = ShelxLine::Kind::Instruction;
    } else {
      line.kind = ShelxLine::Kind::Atom;
      line.key = "    ";
    }
    return true;
  }
  return false;
}

}  // namespace tesk
