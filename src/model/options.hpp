// Options of a run, filled once from the control file tesk.inp.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tesk {

enum class InputFormat { None = 0, Shelx = 1, Kq = 2, Aim2tab = 3, Platon = 5, Cif = 6 };

// The format's name as the option summary and the report print it.
inline const char* format_word(int ftype) {
  switch (static_cast<InputFormat>(ftype)) {
    case InputFormat::Shelx: return "SHELX";
    case InputFormat::Kq: return "KQ";
    case InputFormat::Aim2tab: return "AIM2TAB";
    case InputFormat::Platon: return "PLATON";
    case InputFormat::Cif: return "CIF";
    default: return "";
  }
}

// One FRAG line: the fragment number, then atom numbers; a negative number -n
// adds every atom from the number before it up to n ("FRAG 1 1 -25").
struct FragLine {
  std::string text;          // the line as written, for messages
  std::vector<int> numbers;  // fragment number first, then the atom entries
  bool readable = true;      // false when a word of it is not an integer
};

// Largest NCELLS: the fragment search tries (2 NCELLS + 1)^3 lattice
// translations per image; ten cells each way reach far beyond any bond.
constexpr int kMaxCells = 10;

// Largest net charge of a fragment, in electrons: beyond it (or at NaN or an
// infinity) the rescaled valence populations are no numbers any more.
constexpr float kMaxNetCharge = 1000.0f;
inline bool net_charge_ok(float q) { return q >= -kMaxNetCharge && q <= kMaxNetCharge; }
inline std::string net_charge_range() {
  return "a number between " + std::to_string(static_cast<int>(-kMaxNetCharge)) + " and " +
         std::to_string(static_cast<int>(kMaxNetCharge));
}

// File names are fields of 60 characters, blank-padded; a longer name is
// kept whole rather than cut to a name of some other file.
inline std::string file_name_field(const std::string& name) {
  return name + std::string(name.size() < 60 ? 60 - name.size() : 0, ' ');
}

struct Options {
  int ftype = 0;                 // structure format code, see InputFormat
  int ifra = 1;                  // 0 for AIM2TAB/PLATON: no fragment completion
  std::string name1;             // args name 1 (60 characters, blank padded)
  std::string name2;             // args name 2
  int rings_flag = 0;            // args rings flag: run the ring search
  int scaling = 1;               // args scaling method: 1 diff, 2 fraction, 3 sigma
  std::string kqold;             // KQ master file name (KQ format)
  std::string cifblock;          // CIF data block named on INPUT; empty: the first with atoms
  int rename = 0;                // renameshelxatoms switch
  int rename_scheme = 0;         // 0 straightforward counting, 1 counting atom types
  int lsx = 0;                   // TOKQ: simple SHELX to KQ conversion only
  int verbosity = 1;
  std::array<float, 3> tols{0.2f, 0.1f, 0.1f};  // bond, ring planarity, group planarity
  int compfrag = -1;             // NCELLS; -1 = no fragment search, else |NCELLS| <= kMaxCells
  std::array<int, 2> disorder{0, 0};  // extend H of disordered part; apply DB to it
  std::array<bool, 7> lkeys{};   // KEYGEN: XYZUIJ all ordered MULT all ordered kappas
  int lfh = 0;                   // EXTEND_H
  std::array<int, 2> lchem{1, 1};  // chemical/kappa constraints for H, for non-H
  int simple = 0;                // SIMPLE equivalence model
  int ldb = 0;                   // DATABANK switch
  std::array<int, 3> ldb_count{};  // atoms searched, found, not found in the databank
  std::string abank;             // databank file name (60 characters)
  std::array<int, 3> ring1{0, 0, 0};  // smallest, largest ring size, planar-ring rule
  std::string amodel;            // model name, 20 characters
  // Fragments whose valence populations are brought to a net charge.
  int nfrag = 0;                 // NFRAG: number of fragments, 0 = not given
  std::vector<FragLine> frag;    // FRAG lines in file order
  bool chfrag_given = false;     // a CHFRAG line was read: no charge prompt
  std::vector<float> chfrag;     // CHFRAG: net charges of fragments 1, 2, ...
  bool report = false;           // REPORT: write tesk.json and tesk.html at the end

  float tol1() const { return tols[0]; }
  float tol2() const { return tols[1]; }
  float tol3() const { return tols[2]; }
};

}  // namespace tesk
