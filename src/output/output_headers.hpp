// Header lines of kq_tesk.mas and mopro_tesk.par written while a SHELX file is
// read, and the orbital occupancy codes of the SCAT table.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/sink.hpp"
#include "structure/shelx_reader.hpp"

namespace tesk {

struct Run;

// Orbital codes in the order 1S 2S 3S 4S 2P 3P 4P 3D 4D 4F 5S 5P 6S 6P 5D 7S 6D 5F:
// 0 empty, positive a filled core shell, negative a valence shell; all zero
// for an atomic number without codes (0, or above 96).
std::array<int, 18> getsft(int z);

// The scattering table has no codes for an atom read as no element or as one
// beyond curium: err("GetSFT", ...) naming the first such atom and its element.
void check_scattering_elements(const Run& run);

// A line of kq_tesk.mas, the text as it stands ("(100a)").
void kq_line(Sink& out, std::string_view text);
// "!" and 78 dashes: the rule between the sections of kq_tesk.mas.
inline const std::string kKqRule = "!" + std::string(78, '-');

// kq_tesk.mas: the title block written before anything is read.
void kq_title(Run& run);
// kq_tesk.mas: the CELL and WAVE lines (cell from run.ucell).
void kq_cell(Run& run, float wave);
// kq_tesk.mas: "LATT C P" (centrosymmetric) or "LATT A P" (acentric) with the letter.
void kq_latt(Run& run, bool centro, char letter);
// kq_tesk.mas: a SYMM card as read, upper-cased, trailing blanks removed.
void kq_symm(Run& run, std::string_view card);
// kq_tesk.mas: the refinement-control lines and the SCAT table of run.types.
void kq_header_tail(Run& run);

// mopro_tesk.par: the CELL line and an empty line.
void mopro_cell(Run& run, float wave);
// mopro_tesk.par: the SYMM block (operator count including the identity, the
// lattice letter, the card texts) and the refinement-control lines.
void mopro_header_tail(Run& run, const std::vector<std::string>& cards, char letter,
                       bool centro);

// The header writer the SHELX reader reports its cards to.
class ShelxHeaders final : public ShelxHeaderListener {
 public:
  void title(Run& run) const override { kq_title(run); }
  void cell(Run& run, float wave) const override {
    kq_cell(run, wave);
    mopro_cell(run, wave);
  }
  void latt(Run& run, bool centro, char letter) const override { kq_latt(run, centro, letter); }
  void symm(Run& run, std::string_view card) const override { kq_symm(run, card); }
  void instructions_read(Run& run) const override { kq_header_tail(run); }
  void operators_ready(Run& run, const ShelxState& st) const override {
    mopro_header_tail(run, st.cards, st.letter(), st.centro());
  }
};

}  // namespace tesk
