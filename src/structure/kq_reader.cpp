// The KQ pair. From the master file: the CELL line, the LATT line and the
// SYMM cards. From the parameter file: the model line, the dimension header,
// then per atom its first line (label, eleven indices, position, occupancy)
// and its U values; everything else is skipped by counting lines, as the
// header and each atom's multipole level say how many there are.
#include "structure/kq_reader.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "format/number_reader.hpp"
#include "model/elements.hpp"
#include "model/local_axes_tables.hpp"
#include "model/run.hpp"
#include "structure/atom_printout.hpp"
#include "structure/cell.hpp"
#include "structure/symmetry.hpp"

namespace tesk {

namespace {

constexpr const char* kRoutine = "ReadKQ";

[[noreturn]] void bad_parameter_file() { err(kRoutine, "Error reading KQ parameter file"); }
[[noreturn]] void bad_master_file() { err(kRoutine, "Error reading KQ master file"); }

// ---------------------------------------------------------------- master file

struct Lattice {
  bool centro = true;  // LATT C ...: centrosymmetric; LATT A ...: acentric
  char letter = 'P';
};

bool starts_with(std::string_view record, std::string_view key) {
  return upper(record.substr(0, std::min(record.size(), key.size()))) == key;
}

// "CELL  a b c alpha beta gamma": free format from column 5 on.
void read_cell(Run& run, const std::string& record) {
  FreeReader fr(std::string_view(record).substr(4));
  for (float& p : run.ucell.p) {
    double v = 0.0;
    if (fr.real(v) != FreeReader::Status::Ok) bad_master_file();
    // Beyond single precision: an infinity, which the cell check rejects.
    p = fits_single(v) ? static_cast<float>(v) : std::numeric_limits<float>::infinity();
  }
}

// "LATT C P": the second word says centrosymmetric (C) or acentric (A), the
// third is the lattice letter.
void read_latt(const std::string& record, Lattice& latt) {
  const std::string line = fixed_width(record);
  if (dnumline(line) < 3) bad_master_file();
  latt.centro = upper(word_at(line, 2).substr(0, 1)) != "A";
  latt.letter = upper(word_at(line, 3).substr(0, 1))[0];
}

void log_crystal(Run& run, const Lattice& latt) {
  const auto& p = run.ucell.p;
  run.out.log << ffmt("(/a,3f10.3,3f8.2)",
                      {" Cell parameters: ", p[0], p[1], p[2], p[3], p[4], p[5]});
  run.out.log << ffmt("(/2a)", {" Lattice type : ", std::string(1, latt.letter)});
  run.out.log << ffmt("(2a)", {" Lattice is ", latt.centro ? "CentroSymmetric" : "Acentric"});
  run.out.log << ffmt("(/a)", {" Symmetry operations : "});
}

// Cell, lattice and operators. The inversion centre is added before the
// centring translations (the SHELX reader does it the other way round): the
// same operator set, numbered differently.
void read_master(Run& run, TextInput& master) {
  Lattice latt;
  bool cell = false;
  for (std::size_t i = 0; i < master.size(); ++i) {
    const std::string& record = master.record(i);
    if (starts_with(record, "CELL ")) {
      read_cell(run, record);
      cell = true;
    }
    if (starts_with(record, "LATT ")) read_latt(record, latt);
  }
  // Without a usable cell every coordinate would come out as NaN or infinity.
  const std::string master_file = trim_right(run.opt.kqold);
  if (!cell) err(kRoutine, "No CELL line in KQ master file " + master_file);
  const std::string problem = cell_problem(run.ucell);
  if (!problem.empty()) err(kRoutine, "Invalid CELL in KQ master file " + master_file + ": " + problem);
  log_crystal(run, latt);
  getsym(run, master);
  if (latt.centro) addcentsymm(run);
  if (latt.letter != 'P') nonp(run, latt.letter);
  run.out.log << ffmt("(/a)", {" Final set of symmetry operations in matrix form:"});
  prsymop(run);
  tranmat(run);
}

// ------------------------------------------------------------- parameter file

// The next non-comment line, scanned: keyword words into run.lx, numbers left.
std::string scanned_line(Run& run, TextInput& in) {
  std::string line = readkqline(in);
  readline(line, run.lx);
  return line;
}

// `n` integers from the numbers of a scanned line.
template <std::size_t N>
void read_ints(std::string_view line, std::array<int, N>& out, std::size_t first, std::size_t n) {
  FreeReader fr(line);
  for (std::size_t k = first; k < first + n; ++k)
    if (fr.integer(out[k]) != FreeReader::Status::Ok) bad_parameter_file();
}

// A list-directed read of `n` reals from the next record on, running on into
// the following records until all are found (comment lines are not special).
std::vector<float> read_reals(TextInput& in, std::size_t n) {
  std::vector<float> v;
  std::string record;
  while (v.size() < n) {
    if (!in.next(record)) bad_parameter_file();
    for (const std::string& field : free_fields(record)) {
      if (v.size() == n) break;
      auto x = read_list_real(field);
      if (!x || !fits_single(*x)) bad_parameter_file();
      v.push_back(static_cast<float>(*x));
    }
  }
  return v;
}

// Raw records, comment lines included.
void skip_records(TextInput& in, long long count) {
  std::string record;
  for (long long k = 0; k < count; ++k)
    if (!in.next(record)) bad_parameter_file();
}

void skip_lines(TextInput& in, long long count) {
  for (long long k = 0; k < count; ++k) readkqline(in);
}

// Version line (KQPARFILE VERSION 2, absent in version 1) and the model line
// ("  TEST   MODEL  4  2  1  0": name, highest level, three more integers).
int read_model(Run& run, TextInput& in, int& lmax) {
  std::string line = scanned_line(run, in);
  int version = 1;
  if (run.lx.word(1) == "KQPARFIL") {
    FreeReader fr(line);
    if (fr.integer(version) != FreeReader::Status::Ok) bad_parameter_file();
    // The model line follows the version line whatever the version.
    line = scanned_line(run, in);
  }
  run.out.log << ffmt("(/a,i4)", {" KQ parameter file version = ", version});
  const std::string name = run.lx.word(1);
  std::array<int, 4> model{};
  read_ints(line, model, 0, 4);
  run.opt.amodel = fixed_width(name, 20);
  run.out.log << ffmt("(/a,i4)", {" Maximum level of multipole expansion = ", model[0]});
  run.out.log << ffmt("(100a)", {" Model name = ", run.opt.amodel});
  lmax = model[0];
  if (lmax < 0 || lmax > 4)
    err(kRoutine, "Maximum level of multipole expansion " + std::to_string(lmax) +
                      " in KQ parameter file is not between 0 and 4");
  return version;
}

// The dimension header: LIMITS (8 integers) and USAGE (14) on two lines in
// version 2, all 22 on one line in version 1. USAGE holds the number of
// atoms (9th), of kappa sets (12th) and of dummy atoms (22nd).
std::array<int, 22> read_dimensions(Run& run, TextInput& in, int version) {
  std::array<int, 22> h{};
  std::string line = scanned_line(run, in);
  if (version == 2) {
    read_ints(line, h, 0, 8);
    line = scanned_line(run, in);
    read_ints(line, h, 8, 14);
  } else {
    read_ints(line, h, 0, 22);
  }
  return h;
}

// What the header declares, against which each atom's indices are checked
// before anything is sized or skipped by them.
struct Declared {
  int lmax = 4;      // highest multipole level of the model line
  int ntables = 0;   // scattering tables on the USAGE line
};

void check_count(const std::string& what, int n, int capacity) {
  if (n < 0 || n > capacity)
    err(kRoutine, "USAGE line of KQ parameter file: " + std::to_string(n) + " " + what +
                      " is outside 0 to " + std::to_string(capacity));
}

// The scattering table (a(7)) and the multipole level (a(9)) of an atom.
void check_atom_indices(const std::string& label, const std::array<int, 11>& idx,
                        const Declared& declared) {
  const std::string atom = "Atom " + trim_right(label) + " in KQ parameter file: ";
  if (idx[6] < 1 || idx[6] > declared.ntables)
    err(kRoutine, atom + "scattering table " + std::to_string(idx[6]) + " is not one of the " +
                      std::to_string(declared.ntables) + " the USAGE line declares");
  if (idx[8] < 0 || idx[8] > declared.lmax)
    err(kRoutine, atom + "multipole level " + std::to_string(idx[8]) + " is not between 0 and " +
                      std::to_string(declared.lmax));
}

// An atom's first line: label, then 11 integers (axis letters, axis atoms,
// U type, scattering table, kappa set, multipole level, handedness,
// equivalent atom), x, y, z and the occupancy. A line that does not read so
// (a population line left over from a level-2 hydrogen) is passed over.
//
// The atom line as written: label A8, axis letters 2I3, axis atoms 3I5, 2X,
// 6I5, x y z 3F9.5, occupancy F8.4. From atom 10000 on two neighbouring I5
// numbers touch ("1000110002") and read free-format as one, so a line that
// does not read free-format is read by these columns. A population line
// (10F8.4) never reads so: its point falls in the second I3 field.
bool read_atom_columns(const std::string& line, std::array<int, 11>& idx, Atom& a) {
  static constexpr std::array<std::size_t, 11> kIntAt = {8, 11, 14, 19, 24, 31, 36, 41, 46, 51, 56};
  static constexpr std::array<std::size_t, 11> kIntWidth = {3, 3, 5, 5, 5, 5, 5, 5, 5, 5, 5};
  if (line.size() < 96) return false;
  for (std::size_t k = 0; k < idx.size(); ++k) {
    const auto v = read_fortran_int(std::string_view(line).substr(kIntAt[k], kIntWidth[k]));
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
      return false;
    idx[k] = static_cast<int>(*v);
  }
  const std::array<std::size_t, 4> real_at = {61, 70, 79, 88};
  for (std::size_t k = 0; k < 4; ++k) {
    const auto v = read_fortran_real(std::string_view(line).substr(real_at[k], k < 3 ? 9 : 8));
    if (!v || !fits_single(*v)) return false;
    (k < 3 ? a.xf[k] : a.occ) = static_cast<float>(*v);
  }
  return true;
}

std::array<int, 11> read_atom_line(Run& run, TextInput& in, Atom& a) {
  std::array<int, 11> idx{};
  while (true) {
    const std::string line = scanned_line(run, in);
    FreeReader fr(line);
    bool ok = true;
    for (int& v : idx) ok = ok && fr.integer(v) == FreeReader::Status::Ok;
    for (float& x : a.xf) ok = ok && fr.real(x) == FreeReader::Status::Ok;
    ok = ok && fr.real(a.occ) == FreeReader::Status::Ok;
    if (!ok) ok = read_atom_columns(line, idx, a);
    if (!ok) continue;
    a.label = run.lx.word(1);
    // NaN, an infinity or a position beyond a thousand cells is no position.
    bool in_range = std::isfinite(a.occ);
    for (float x : a.xf) in_range = in_range && std::fabs(x) <= kMaxFractional;
    if (!in_range)
      err(kRoutine, "Atom " + trim_right(a.label) + " in KQ parameter file: number out of range");
    return idx;
  }
}

void read_atom(Run& run, TextInput& in, int n, const Declared& declared) {
  Atom& a = run.atoms.at(n);
  const std::array<int, 11> idx = read_atom_line(run, in, a);
  check_atom_indices(a.label, idx, declared);
  a.adptype = idx[5];
  a.sftype = idx[6];
  const std::vector<float> u = read_reals(in, 6);  // U11 U22 U33 U12 U13 U23
  std::copy(u.begin(), u.end(), a.uij.begin());
  if (a.adptype == 3) skip_records(in, 2);  // third-order (anharmonic) terms
  if (a.adptype == 4) skip_records(in, 5);  // third- and fourth-order terms
  a.iz = iatnum(a.label.substr(0, 2));
  a.lmax = a.iz == 1 ? 2 : 4;
  run.both_console_first(
      ffmt("(i4,3x,a,2x,i3,3x,i8,5x,i8)", {n, a.label, a.iz, a.adptype, a.sftype}));
  // Pv and the populations of levels 0..L, ten to a line.
  const long long level = idx[8];
  skip_lines(in, std::max(1LL, (level * (level + 2) + 1) / 10 + 1));
  a.xc = rabs(run.transf, 0, a.xf);
}

// Free variables 2..8, then 9, then the scale factor (variable 1), each
// read starting on a new line.
void read_free_variables(Run& run, TextInput& in) {
  auto& fvar = run.shelx1.fvar;
  const std::vector<float> v = read_reals(in, 7);
  std::copy(v.begin(), v.end(), fvar.begin() + 1);
  fvar[8] = read_reals(in, 1)[0];
  fvar[0] = read_reals(in, 1)[0];
}

// Scattering types by atomic number in order of first appearance; an atom's
// sftype keeps the table number of the file.
void collect_types(Run& run) {
  run.types.tz.clear();
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const int z = run.atoms.at(i).iz;
    if (std::find(run.types.tz.begin(), run.types.tz.end(), z) == run.types.tz.end())
      run.types.tz.push_back(z);
  }
}

void read_parameters(Run& run, TextInput& in, const std::string& parfile) {
  run.out.log << ffmt("(/2a)", {" Reading data from KQ parameter file: ", parfile});
  int lmax = 0;
  const int version = read_model(run, in, lmax);
  const std::array<int, 22> h = read_dimensions(run, in, version);
  const int natoms = h[8], nkappa = h[11], ndum = h[21];
  run.out.log << ffmt("(a,i4)", {" Number of atoms in KQ parameter file = ", natoms});
  run.out.log << ffmt("(a,i4)", {" Number kappa sets = ", nkappa});
  if (natoms > kMaxAtoms) err(kRoutine, "Too many atoms");
  if (natoms < 0) bad_parameter_file();
  check_count("kappa sets", nkappa, kMaxAtoms);
  check_count("scattering tables", h[16], kMaxAtoms);
  check_count("dummy atoms", ndum, kMaxDummyLabels);
  run.both(ffmt("(/1x,'NO.',3x,'ATOM',6x,'AT.NO.',3x,'ORDER_OF_U',5x,'iSFT')"));
  // The two lines of zeros and one line per dummy atom.
  skip_records(in, static_cast<long long>(ndum) + 2);
  run.atoms.list.clear();
  run.atoms.natoms = 0;
  const Declared declared{lmax, h[16]};
  for (int i = 1; i <= natoms; ++i) {
    run.atoms.natoms = run.atoms.append(kRoutine);
    read_atom(run, in, i, declared);
  }
  skip_lines(in, nkappa);
  read_free_variables(run, in);
  collect_types(run);
  prattyp(run);
  snap_special_positions(run);
  checkocc(run);
  printatoms(run, run.out.log);
}

}  // namespace

std::string readkqline(TextInput& in) {
  std::string record;
  do {
    if (!in.next(record)) bad_parameter_file();
  } while (!record.empty() && record[0] == '!');
  return upper(fixed_width(record));
}

void readkq(Run& run, const std::string& parfile) {
  TextInput master, par;
  if (!master.open(trim_right(run.opt.kqold)))
    err(kRoutine, "Error opening KQ master file " + trim_right(run.opt.kqold));
  if (!par.open(trim_right(parfile)))
    err(kRoutine, "Error opening KQ parameter file " + trim_right(parfile));
  readkq_text(run, master, par, parfile);
}

void readkq_text(Run& run, TextInput& master, TextInput& par, const std::string& parfile) {
  run.out.log << ffmt("(/2a)", {" Reading data from KQ master file: ", run.opt.kqold});
  read_master(run, master);
  read_parameters(run, par, parfile);
}

}  // namespace tesk
