// The leading sections of the KQ master file and the MoPro parameter file, and
// the orbital occupancies of the SCAT table.
#include "output/output_headers.hpp"

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"
#include "model/orbitals.hpp"

namespace tesk {

namespace {

const std::string kBangs(79, '!');

}  // namespace

void kq_line(Sink& out, std::string_view text) { out << ffmt("(100a)", {text}); }

std::array<int, 18> getsft(int z) { return orbital_codes(z); }

void check_scattering_elements(const Run& run) {
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const Atom& a = run.atoms.at(i);
    if (a.iz >= 1 && a.iz <= kMaxOrbitalZ) continue;
    const std::string symbol = element_symbol(a.iz);
    const std::string element = symbol.empty() ? "no known element" : "element " + symbol;
    err("GetSFT", "atomic number not implemented yet: atom " + trim_right(a.label) +
                      " read as " + element + " (atomic number " + std::to_string(a.iz) + ")");
  }
}

void kq_title(Run& run) {
  kq_line(run.out.kqmas, kBangs);
  kq_line(run.out.kqmas, "!                   CREATED BY PROGRAM << TESK >>");
  kq_line(run.out.kqmas, kBangs);
  kq_line(run.out.kqmas, "TITLE TEST");
}

void kq_cell(Run& run, float wave) {
  const auto& p = run.ucell.p;
  run.out.kqmas << ffmt("(a,6f12.4)", {"CELL ", p[0], p[1], p[2], p[3], p[4], p[5]});
  run.out.kqmas << ffmt("(a,f12.6)", {"WAVE ", wave});
}

void kq_latt(Run& run, bool centro, char letter) {
  kq_line(run.out.kqmas, std::string(centro ? "LATT C " : "LATT A ") + letter);
}

void kq_symm(Run& run, std::string_view card) { kq_line(run.out.kqmas, trim_right(upper(card))); }

void kq_header_tail(Run& run) {
  kq_line(run.out.kqmas, kBangs);
  kq_line(run.out.kqmas, "!");
  kq_line(run.out.kqmas, "    MODULE *KQLSM");
  kq_line(run.out.kqmas, "!");
  kq_line(run.out.kqmas, "SELECT  *model 4 0 0 0 based_on F test verbose 3");
  kq_line(run.out.kqmas, "SELECT  cycle 15 dampk 0.6 cmin 0.6 cmax 1. eigcut 1.d-09");
  kq_line(run.out.kqmas, "SAVE  deriv lsqmat cormat");
  kq_line(run.out.kqmas, "SOLVE  *inv diag *cond");
  kq_line(run.out.kqmas, kKqRule);
  kq_line(run.out.kqmas,
          "SCAT CORE SPHV DEFV   1S  2S  3S  4S  2P  3P  4P  3D  4D  4F  5S  5P  6S  6P  5D  "
          "7S  6D  5F  DELF'   DELF''  NSCTL");
  for (int z : run.types.tz) {
    std::array<int, 18> codes = getsft(z);
    std::vector<FArg> row{atsym(z)};
    for (int code : codes) row.emplace_back(code);
    row.insert(row.end(), {0.0f, 0.0f, 0.0f});
    run.out.kqmas << ffmt("(a2,3x,'CHFW CHFW CSZD',1x,18i4,2f8.4,f7.3)", row);
  }
  kq_line(run.out.kqmas, "END SCAT");
  kq_line(run.out.kqmas, kKqRule);
}

void mopro_cell(Run& run, float wave) {
  const auto& p = run.ucell.p;
  run.out.mopropar << ffmt("(a4,3f10.4,3f9.4,1x,f8.5)",
                           {"CELL", p[0], p[1], p[2], p[3], p[4], p[5], wave});
  run.out.mopropar << "\n";
}

void mopro_header_tail(Run& run, const std::vector<std::string>& cards, char letter,
                       bool centro) {
  Sink& out = run.out.mopropar;
  int count = static_cast<int>(cards.size()) + 1;  // the identity comes first
  std::string lat(1, letter);
  if (centro) {
    out << ffmt("(A,I3,1X,A,A)", {"SYMM ", count, lat, " CENTRO"});
  } else {
    out << ffmt("(A,I3,1X,A)", {"SYMM ", count, lat});
  }
  out << "  X, Y, Z\n";
  for (const std::string& card : cards) out << card << "\n";
  out << "\nSCALE  1  1.0\n\nFMULT  1.0\n\nUOVER  0.0\n\nSOLVT  0.0  50.0\n\n"
         "EXTIN  0.0  GAUSSIAN  ISOT  TYP1\n\n";
}

}  // namespace tesk
