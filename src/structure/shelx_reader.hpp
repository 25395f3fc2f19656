// Reader of SHELX instruction files (.ins/.res): a first pass over the
// instructions (cell, lattice, symmetry, scattering types, free variables,
// residues) and a second pass over the atom lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/line_reader.hpp"

namespace tesk {

struct Run;

// What the first pass learns beyond the shared tables.
struct ShelxState {
  std::string filename;
  int latt = 1;             // SHELXL's default when the file has no LATT card
  bool latt_given = false;
  float wave = 0.0f;
  int cell_line = 0;        // line number of the CELL card; 0 without one
  std::vector<std::string> cards;  // operator texts for the MoPro SYMM block
  std::vector<std::string> symm_cards;  // "SYMM ..." cards for the operator parser
  std::vector<int> isfn;    // per scattering type: atoms of that type met so far
  std::vector<char> jtf;    // per atom: its U rides on a parent atom

  bool centro() const { return latt > 0; }
  char letter() const;      // 'P', 'I', 'R', 'F', 'A', 'B', 'C'; '?' outside 1..7
};

// The KQ master file and the MoPro parameter file open with the cards of the
// SHELX file, echoed in file order while the first pass reads them. The
// reader reports each event here; the writers of those files listen (the
// driver hands them in), so a fatal stop in the middle of the file leaves
// both files holding the lines of the cards read so far.
class ShelxHeaderListener {
 public:
  virtual ~ShelxHeaderListener() = default;
  virtual void title(Run&) const {}
  virtual void cell(Run&, float /*wave*/) const {}
  virtual void latt(Run&, bool /*centro*/, char /*letter*/) const {}
  virtual void symm(Run&, std::string_view /*card*/) const {}
  // After the first pass, before the operators are built.
  virtual void instructions_read(Run&) const {}
  // Operators and orthogonalisation done, before the atom pass.
  virtual void operators_ready(Run&, const ShelxState&) const {}
};

// Reads `filename` into the atom table, cell and symmetry; `headers` hears
// every card the output headers echo.
void readshelx(Run& run, const std::string& filename, const ShelxHeaderListener& headers);
// The same for a file already in memory (after `headers.title`); `filename`
// names it in messages.
void readshelx_text(Run& run, const TextInput& in, const std::string& filename,
                    const ShelxHeaderListener& headers);

// First pass: cell, lattice, symmetry cards, SFAC, FVAR, WGHT, RESI. Writes the
// cards that the output headers echo to `headers`.
void shelx_instructions(Run& run, const TextInput& in, ShelxState& st,
                        const ShelxHeaderListener& headers);

// A SYMM card's operator text (the columns after the keyword) into the
// operator cards and the texts of the MoPro SYMM block.
void add_symm_card(ShelxState& st, const std::string& operators);

// After the first pass: the tail of the output headers, the cell and lattice
// in the log, the operator list (cards, lattice centring, inversion centre),
// the scattering types, the orthogonalisation, and the atom-list heading.
void shelx_crystal(Run& run, const ShelxState& st, const ShelxHeaderListener& headers);

// Second pass: every atom line into the atom table.
void shelx_atoms(Run& run, const TextInput& in, ShelxState& st);

// The atom-list line of atom n, to the console and the log.
void print_read_atom(Run& run, int n);

// Label of atom n from its SHELX name; blanks the name out of `line`.
std::string shatnam(const Run& run, std::string& line, int z, int n, int count_in_type);

// Resolves the free-variable codes of the numbers `v` (v[0] the SFAC number).
void processfvar(const Run& run, std::vector<float>& v);

// A riding isotropic U (-5 <= U <= -0.5) becomes |U| times Ueq of the nearest
// earlier atom whose U does not ride; marks atom n in st.jtf.
void processu(Run& run, ShelxState& st, int n);

}  // namespace tesk
