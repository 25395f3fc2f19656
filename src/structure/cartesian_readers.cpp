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

namespace tesk {

namespace {

constexpr float kBohr = 0.52917725f;  // Angstrom

void add_atom(Run& run, const char* routine, const std::string& label, const Vec3& xc) {
  const int n = run.atoms.append(routine);
  run.atoms.natoms = n;
  Atom& a = run.atoms.at(n);
  a.label = fixed_width(label, 8);
  a.xc = xc;
  a.xf = {0.0f, 0.0f, 0.0f};
  a.occ = 1.0f;
  a.iz = iatnum(a.label.substr(0, 2));
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

// The atom table under its heading "NO. ATOM       AT.MASS": one rule line,
// then `n` lines "(5x,a8,11x,3f9.4)", label and position in bohr.
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
    Vec3 xc{};
    for (std::size_t k = 0; k < 3; ++k) {
      auto v = read_f_field(std::string_view(line).substr(24 + 9 * k, 9), 4);
      if (!v) input_error(file, "a coordinate of atom " + std::to_string(i) + " is not a number");
      const double x = *v * kBohr;
      if (!fits_single(x))
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
    std::string line = fixed_width(record);
    readline(line, run.lx);
    if (run.lx.word(1) != "ATOM    ") continue;
    const std::string label = run.lx.word(2);
    FreeReader fr(line);
    Vec3 xc{};
    for (float& x : xc) {
      double v = 0.0;
      if (fr.real(v) != FreeReader::Status::Ok)
        input_error(file, "ATOM " + trim_right(label) + " without three cartesian coordinates");
      if (!fits_single(v))
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
