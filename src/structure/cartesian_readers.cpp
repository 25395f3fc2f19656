// Structures given as cartesian positions without cell or symmetry. The atoms
// get their element from the first two characters of the label, fractional
// coordinates (0, 0, 0) and occupancy 1; the cell, the operators and the
// conversion matrices keep their initial values.
#include "structure/cartesian_readers.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "format/number_reader.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"
#include "structure/atom_printout.hpp"
#include "structure/cell.hpp"

namespace tesk {

namespace {

constexpr float kBohr = 0.52917725f;  // Angstrom

// The element comes from the label's first two characters; a label that
// names none (Zz(1), or a bare number) would be an atom without electrons.
void add_atom(Run& run, const char* routine, const std::string& label, const Vec3& xc) {
  const int z = iatnum(fixed_width(label, 2));
  if (z == 0)
    err(routine, "Atom " + trim_right(label) + ": the label does not begin with an element symbol");
  const int n = run.atoms.append(routine);
  run.atoms.natoms = n;
  Atom& a = run.atoms.at(n);
  a.label = fixed_width(label, 8);
  a.xc = xc;
  a.xf = {0.0f, 0.0f, 0.0f};
  a.occ = 1.0f;
  a.iz = z;
  a.lmax = a.iz == 1 ? 2 : 4;
  // Scattering types: the atomic numbers in order of first appearance.
  auto& tz = run.types.tz;
  if (std::find(tz.begin(), tz.end(), a.iz) == tz.end()) tz.push_back(a.iz);
}

void start_table(Run& run) {
  run.atoms.list.clear();
  run.atoms.natoms = 0;
  run.types.tz.clear();
}

// A number in an Fw.d input field: blanks do not count, an all-blank field is
// zero, and without a decimal point the last d digits are the fraction.
std::optional<double> read_f_field(std::string_view field, int decimals) {
  std::string digits(field);
  std::erase(digits, ' ');
  if (digits.empty()) return 0.0;
  auto v = read_fortran_real(digits);
  if (!v) return std::nullopt;
  if (digits.find('.') == std::string::npos) *v /= std::pow(10.0, decimals);
  return v;
}

bool blank(std::string_view field) { return field.find_first_not_of(' ') == field.npos; }

// The atom table under its heading "NO. ATOM       AT.MASS": one rule line,
// then `n` lines "(5x,a8,11x,3f9.4)", label and position in bohr. A row
// without a label or without its three coordinates (a blank line, the text
// after the table, a row of label and mass only) means the declared count
// runs past the table: such a row would otherwise be an atom at the origin.
void read_aim2tab_atoms(Run& run, TextInput& in, const std::string& file, int n) {
  std::string record;
  if (!in.next(record)) {
    if (n > 0) input_error(file, "end of file in the atom table");
    return;
  }
  start_table(run);
  for (int i = 1; i <= n; ++i) {
    if (!in.next(record)) input_error(file, "end of file in the atom table");
    const std::string line = fixed_width(record);
    const std::string_view row(line);
    bool complete = !blank(row.substr(5, 8));
    for (std::size_t k = 0; k < 3; ++k) complete = complete && !blank(row.substr(24 + 9 * k, 9));
    if (!complete)
      input_error(file, "row " + std::to_string(i) + " of the atom table has no label and three " +
                            "coordinates, but NUMBER OF ATOMS READ = " + std::to_string(n));
    Vec3 xc{};
    for (std::size_t k = 0; k < 3; ++k) {
      auto v = read_f_field(row.substr(24 + 9 * k, 9), 4);
      if (!v) input_error(file, "a coordinate of atom " + std::to_string(i) + " is not a number");
      const double x = *v * kBohr;
      if (!cartesian_in_range(x))
        input_error(file, "a coordinate of atom " + std::to_string(i) + " is out of range");
      xc[k] = static_cast<float>(x);
    }
    add_atom(run, "ReadAim2Tab", line.substr(5, 8), xc);
  }
}

}  // namespace

void readplaton(Run& run, const std::string& filename) {
  TextInput in;
  const std::string file = trim_right(filename);
  if (!in.open(file)) err("ReadPlaton", "Error opening PLATON file");
  readplaton_text(run, in, filename);
}

void readplaton_text(Run& run, TextInput& in, const std::string& filename) {
  const std::string file = trim_right(filename);
  run.out.log << ffmt("(//a,a)", {" Reading PLATON file : ", filename});
  start_table(run);
  std::string record;
  while (in.next(record)) {
    const std::string raw = fixed_width(record);
    std::string line = raw;
    readline(line, run.lx);
    if (run.lx.word(1) != "ATOM    ") continue;
    // The label is the word after ATOM even when it reads as a number (D1,
    // E1 and Q2 do, as exponents): it is blanked out of the numbers too.
    if (dnumline(raw) < 2) input_error(file, "ATOM without a label");
    int s = 0, e = 0;
    readchar(raw, 2, s, e);
    const auto at = static_cast<std::size_t>(s - 1), width = static_cast<std::size_t>(e - s + 1);
    const std::string label = upper(raw.substr(at, std::min<std::size_t>(width, 8)));
    line.replace(at, width, width, ' ');
    FreeReader fr(line);
    Vec3 xc{};
    for (float& x : xc) {
      double v = 0.0;
      if (fr.real(v) != FreeReader::Status::Ok)
        input_error(file, "ATOM " + trim_right(label) + " without three cartesian coordinates");
      if (!cartesian_in_range(v))
        input_error(file, "ATOM " + trim_right(label) + ": coordinate out of range");
      x = static_cast<float>(v);
    }
    add_atom(run, "ReadPlaton", label, xc);
  }
  prattyp(run);
  run.both_console_first(
      ffmt("(/' Total atoms read from PLATON file = ',i8)", {run.atoms.natoms}));
  printatoms(run, run.out.log);
}

void readaim2tab(Run& run, const std::string& filename) {
  TextInput in;
  const std::string file = trim_right(filename);
  if (!in.open(file)) err("ReadAim2Tab", "Error opening AIM2TAB output file...");
  readaim2tab_text(run, in, filename);
}

void readaim2tab_text(Run& run, TextInput& in, const std::string& filename) {
  const std::string file = trim_right(filename);
  int declared = 0;
  std::string record;
  while (in.next(record)) {
    const std::string line = fixed_width(record);
    const std::string_view head = std::string_view(line).substr(1, 22);
    if (head == "NUMBER OF ATOMS READ =") {
      FreeReader fr(std::string_view(line).substr(23, 7));
      if (fr.integer(declared) != FreeReader::Status::Ok || declared < 0)
        input_error(file, "no atom count after NUMBER OF ATOMS READ =");
      if (declared > kMaxAtoms) err("ReadAim2Tab", "Too many atoms");
    } else if (head == "NO. ATOM       AT.MASS") {
      read_aim2tab_atoms(run, in, file, declared);
    }
  }
  run.out.console << ffmt("(/a,i4)", {" Number of atom types = ", run.types.ntypes()});
  for (int t = 1; t <= run.types.ntypes(); ++t) {
    run.out.console << ffmt("(3x,'atom type = ',i2,3x,' atomic number = ',i3)",
                            {t, run.types.z_of(t)});
  }
  run.out.console << ffmt("(/a,i5)",
                          {" Total atoms read from AIM2TAB output file = ", run.atoms.natoms});
  printatoms(run, run.out.log);
}

}  // namespace tesk
