// First pass over a SHELX file: the instructions that describe the crystal
// (CELL, LATT, SYMM, SFAC) and the refinement (FVAR, WGHT, RESI).
#include <algorithm>
#include <cmath>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "format/number_reader.hpp"
#include "model/elements.hpp"
#include "structure/shelx_lines.hpp"
#include "structure/shelx_reader.hpp"

namespace tesk {

namespace {

// The text after the instruction word.
std::string after_keyword(const std::string& text) {
  std::size_t start = text.find(' ');
  return start == std::string::npos ? std::string() : text.substr(start);
}

int word_count(const std::string& text) { return static_cast<int>(free_fields(text).size()); }

float read_real(FreeReader& in, const ShelxState& st, std::string_view card) {
  float value = 0.0f;
  if (in.real(value) != FreeReader::Status::Ok) {
    input_error(st.filename, "Error reading " + std::string(card) + " instruction");
  }
  return value;
}

// CELL lambda a b c alpha beta gamma
void on_cell(Run& run, const ShelxLine& line, ShelxState& st, const ShelxHeaderListener& headers) {
  FreeReader in(after_keyword(line.upper));
  st.wave = read_real(in, st, "CELL");
  for (float& p : run.ucell.p) p = read_real(in, st, "CELL");
  st.cell_line = static_cast<int>(line.record) + 1;
  headers.cell(run, st.wave);
}

// LATT n: n > 0 centrosymmetric; |n| = 1..7 for P, I, R, F, A, B, C.
void on_latt(Run& run, const ShelxLine& line, ShelxState& st, const ShelxHeaderListener& headers) {
  FreeReader in(after_keyword(line.upper));
  int n = 0;
  if (in.integer(n) != FreeReader::Status::Ok) {
    input_error(st.filename, "Error reading LATT instruction");
  }
  st.latt = n;
  st.latt_given = true;
  if (st.letter() == '?') {
    run.out.console << ffmt("(3a)", {" Lattice type ", std::to_string(n), " is not supported"});
    stop_run("unsupported lattice type");
  }
  headers.latt(run, st.centro(), st.letter());
}

// Blank runs folded to one blank, one blank in front, as SYMM cards are usually written.
std::string folded_card(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  return " " + trim_right(out);
}

}  // namespace

// The text of a card as the MoPro SYMM block lists it: the 30 columns after
// the keyword. A card whose operator does not fit there (SHELXL-97 writes
// "SYMM             - X ,    0.50000 + Y ,    0.50000 - Z") and each operator
// of a card holding several ("x,y,z; -x,-y,z") is folded instead of cut.
void add_symm_card(ShelxState& st, const std::string& operators) {
  if (operators.find(';') == std::string::npos && operators.size() <= 30) {
    std::string text = operators;
    text.resize(30, ' ');
    st.cards.push_back(text);
    st.symm_cards.push_back("SYMM" + operators);
    return;
  }
  std::size_t start = 0;
  while (start <= operators.size()) {
    std::size_t end = std::min(operators.find(';', start), operators.size());
    std::string one = folded_card(operators.substr(start, end - start));
    if (one.size() > 1) {
      st.symm_cards.push_back("SYMM" + one);
      if (one.size() < 30) one.resize(30, ' ');
      st.cards.push_back(one);
    }
    start = end + 1;
  }
}

namespace {

void on_symm(Run& run, const ShelxLine& line, ShelxState& st, const ShelxHeaderListener& headers) {
  headers.symm(run, line.upper);
  std::string operators = line.upper.size() > 4 ? line.upper.substr(4) : std::string();
  add_symm_card(st, trim_right(operators));
}

// SFAC C H N O, or SFAC Fe followed by its scattering-factor coefficients:
// every word that is not a number is an element.
void on_sfac(Run& run, const ShelxLine& line) {
  std::string scan = line.upper + " ";  // a word ending the line counts only before a blank
  readline(scan, run.lx);
  for (int k = 2; k <= run.lx.nkey; ++k) run.types.tz.push_back(iatnum(run.lx.word(k)));
}

// FVAR values append to those of earlier FVAR cards; the table keeps 200.
void on_fvar(Run& run, const ShelxLine& line, ShelxState& st) {
  std::string numbers = after_keyword(line.upper);
  int count = word_count(numbers);
  FreeReader in(numbers);
  auto& s = run.shelx1;
  for (int k = 0; k < count; ++k) {
    float value = read_real(in, st, "FVAR");
    if (s.nfvar < kMaxFvar) s.fvar[static_cast<std::size_t>(s.nfvar++)] = value;
  }
}

// WGHT a b c d e f: a later card overwrites the values it gives and leaves
// the others as an earlier card set them (the table keeps six).
void on_wght(Run& run, const ShelxLine& line, ShelxState& st) {
  std::string numbers = after_keyword(line.upper);
  int count = std::min(word_count(numbers), 6);
  FreeReader in(numbers);
  for (int k = 0; k < count; ++k) {
    run.shelx1.wght[static_cast<std::size_t>(k)] = read_real(in, st, "WGHT");
  }
}

}  // namespace

char ShelxState::letter() const {
  static constexpr std::string_view kLetters = "PIRFABC";
  // Compared without abs(): LATT -2147483648 has no positive counterpart.
  const int n = latt < 0 ? (latt < -7 ? 0 : -latt) : latt;
  return n >= 1 && n <= 7 ? kLetters[static_cast<std::size_t>(n - 1)] : '?';
}

void shelx_instructions(Run& run, const TextInput& in, ShelxState& st,
                        const ShelxHeaderListener& headers) {
  ShelxLines lines(in);
  ShelxLine line;
  // Instructions after END are read as well: SHELXL writes the weighting
  // scheme it suggests for the next cycle there.
  while (lines.next(line)) {
    if (line.kind != ShelxLine::Kind::Instruction) continue;
    if (line.key == "CELL") on_cell(run, line, st, headers);
    else if (line.key == "LATT") on_latt(run, line, st, headers);
    else if (line.key == "SYMM") on_symm(run, line, st, headers);
    else if (line.key == "SFAC") on_sfac(run, line);
    else if (line.key == "FVAR") on_fvar(run, line, st);
    else if (line.key == "WGHT") on_wght(run, line, st);
    else if (line.key == "RESI") run.resi1.resflag = 1;
  }
  // Without LATT, SHELXL takes LATT 1: primitive and centrosymmetric.
  if (!st.latt_given) headers.latt(run, st.centro(), st.letter());
}

}  // namespace tesk
