// The leading sections of the KQ master file and the MoPro parameter file, and
// the orbital occupancies of the SCAT table.
#include "output/output_headers.hpp"

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"

namespace tesk {

namespace {

// Positions of the shells in a SCAT row.
enum Shell { S1, S2, S3, S4, P2, P3, P4, D3, D4, F4, S5, P5 };

void put(std::array<int, 18>& codes, Shell shell, int value) {
  codes[static_cast<std::size_t>(shell)] = value;
}

const std::string kBangs(79, '!');

}  // namespace

void kq_line(Sink& out, std::string_view text) { out << ffmt("(100a)", {text}); }

// Shells fill in the order 1s 2s 2p 3s 3p 4s 3d 4p. A shell of the outermost
// row (and the 3d shell of the transition metals) is valence; once the next
// noble gas is passed it becomes core. Each rule overwrites the earlier ones.
std::array<int, 18> getsft(int z) {
  std::array<int, 18> c{};
  if (z == 1) put(c, S1, -1);
  if (z == 2) put(c, S1, -2);
  if (z > 2) put(c, S1, 2);

  if (z == 3) put(c, S2, -1);
  if (z > 3) put(c, S2, -2);
  if (z > 10) put(c, S2, 2);
  if (z > 4 && z <= 10) put(c, P2, 4 - z);
  if (z > 10) put(c, P2, 6);

  if (z == 11) put(c, S3, -1);
  if (z > 11) put(c, S3, -2);
  if (z > 18) put(c, S3, 2);
  if (z > 12 && z <= 18) put(c, P3, 12 - z);
  if (z > 18) put(c, P3, 6);

  if (z == 19) put(c, S4, -1);
  if (z >= 20) put(c, S4, -2);
  if (z > 36) put(c, S4, 2);
  if (z > 20 && z <= 30) put(c, D3, 20 - z);
  if (z > 30) put(c, D3, -10);
  if (z > 36) put(c, D3, 10);
  if (z > 30 && z <= 36) put(c, P4, 30 - z);
  if (z > 36) put(c, P4, 6);

  if (z == 53) {
    put(c, D4, 10);
    put(c, S5, -2);
    put(c, P5, -5);
  } else if (z > 36) {
    err("GetSFT", "atomic number not implemented yet");
  }
  return c;
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
