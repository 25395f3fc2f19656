// MoPro parameter, constraint and restraint files. MoPro names an atom by its
// label without brackets (C(12) becomes C12) and its element by the label
// up to the first bracket, so only a label like H(1) names a hydrogen.
#include "output/mopro_files.hpp"

#include <string>
#include <string_view>
#include <vector>

#include "core/line_reader.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"
#include "output/atom_parameters.hpp"
#include "structure/labels.hpp"

namespace tesk {
namespace {


// The 17-character residue text of atom i. Residue texts are counted over
// the residue atoms only, so an atom beyond them has a blank one.
std::string residue_text(const Run& run, int atom) {
  const auto i = static_cast<std::size_t>(atom - 1);
  const auto& names = run.resi1.resnam;
  return fixed_width(i < names.size() ? names[i] : std::string(), 17);
}

// MoPro reads its parameter file in free format: the atom number is I3,
// and from atom 1000 on it takes all its digits (I3 would print ***).
void write_atom_line(const Run& run, Sink& f, int atom) {
  const Atom& a = run.atoms.at(atom);
  const std::string number = wide_int(atom, 3);
  if (run.resi1.resflag == 1) {
    f << ffmt("(A,A,1X,A,3F12.6,F6.3,1X,A,A)",
                             {"ATOM ", number, residue_text(run, atom), a.xf[0], a.xf[1], a.xf[2],
                              a.occ, " 1 ", ernum(a.label)});
  } else {
    f << ffmt("(A,A,1X,A,A,3F12.6,F6.3,1X,A,A)",
                             {"ATOM ", number, erbras(a.label), "MOL   1", a.xf[0], a.xf[1],
                              a.xf[2], a.occ, " 1 ", ernum(a.label)});
  }
}

// MoPro wants the populations of a fully occupied site; the stored ones
// carry the occupancy. An empty site (occupancy 0) gets zeros rather than
// a division by zero.
void write_populations(const Run& run, Sink& f, int atom, bool hydrogen) {
  const float occ = run.atoms.at(atom).occ;
  std::array<float, 26> p = pv_and_populations(atom_poles(run, atom));
  for (float& v : p) v = occ == 0.0f ? 0.0f : v / occ;
  auto slice = [&p](std::size_t from, std::size_t to) {
    return std::vector<FArg>(p.begin() + static_cast<std::ptrdiff_t>(from),
                             p.begin() + static_cast<std::ptrdiff_t>(to));
  };
  f << ffmt("(2f8.5,2x,8(f5.3,2x))", slice(0, 10));
  if (hydrogen) return;
  f << ffmt("(2x,7(f5.3,2x))", slice(10, 17));
  f << ffmt("(2x,9(f5.3,2x))", slice(17, 26));
}

}  // namespace

void write_mopro_head(const Run& run, Sink& f) {
  const DummyTable& t = run.axes.dummy;
  f << ffmt("(A,I3)", {"DUMMY ", t.ndum()});
  for (int j = 1; j <= t.ndum(); ++j) {
    const Vec3& x = t.dum[static_cast<std::size_t>(j - 1)].x;
    f << ffmt("(A,3F12.6,A,A)", {"DUMY ", x[0], x[1], x[2], "  D" + std::to_string(j), " 0"});
  }
  f << ffmt("(A)", {""});
  // The counts are I3 and I4, wider when they need it (see write_atom_line).
  f << ffmt("(A,A)", {"KAPPA ", wide_int(run.db.nkappas, 3)});
  for (int k = 1; k <= run.db.nkappas; ++k) {
    const auto i = static_cast<std::size_t>(k - 1);
    const KappaSet s = i < run.db.kappas.size() ? run.db.kappas[i] : KappaSet{};
    f << ffmt("(2f10.6)", {s.kappa[0], s.kappa[1]});
  }
  f << ffmt("(A)", {""});
  f << ffmt("(A,A)", {"ATOMS ", wide_int(run.atoms.natoms, 4)});
  f << ffmt("(A)", {""});
}

void write_mopro_atom(const Run& run, Sink& f, int atom) {
  const Atom& a = run.atoms.at(atom);
  const bool hydrogen = mopro_hydrogen(a.label);
  write_atom_line(run, f, atom);
  const auto i = static_cast<std::size_t>(atom - 1);
  const std::string axis = i < run.axes.mopro.size() ? run.axes.mopro[i] : std::string();
  f << ffmt("(100a)", {fixed_width(axis, 90)});
  const auto& u = a.uij;
  if (hydrogen)
    f << ffmt("(A,f10.6)", {"UISO   ", u[0]});
  else
    f << ffmt("(A,6f10.6)", {"UANI   ", u[0], u[1], u[2], u[3], u[4], u[5]});
  write_populations(run, f, atom, hydrogen);
  f << ffmt("(A)", {""});
}

void write_mopro_end(Sink& f) {
  for (const char* line : {"", "ANHAR    0    3         !  #atoms #order ", "! 1         ! atom number ",
                           "! 0. 0. 0. 0. 0. 0. 0. 0. ", "! 0. 0. ", "", "STOP "})
    f << ffmt("(A)", {line});
}

namespace {

// A closing section: a titled comment block, the stored rows that begin
// with `word` (others are blank or belong to no such line), "! end"; then
// the file is closed.
void write_rows_section(Sink& f, const char* title, const std::vector<std::string>& rows,
                        std::string_view word, int width) {
  for (const char* line : {"!", title, "!"}) f << ffmt("(A)", {line});
  for (const std::string& row : rows)
    if (row.compare(0, word.size(), word) == 0) f << ffmt("(A)", {fixed_width(row, width)});
  for (const char* line : {"!", "! end", "!"}) f << ffmt("(A)", {line});
  f.close();
}

}  // namespace

void write_con_mopro_similarity(const Run& run, Sink& con) {
  write_rows_section(con, "! similarity (switched-off)", run.axes.mcon, "! CONPVM", 90);
}

void write_res_mopro_end(Run& run) {
  write_rows_section(run.out.resmopro, "! isotropic H atoms ADPs", run.xh.cons, "URATIO", 100);
}

}  // namespace tesk
