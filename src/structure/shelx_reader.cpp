// The SHELX reader: instructions first, then the symmetry operators and the
// orthogonalisation, then the atoms.
#include "structure/shelx_reader.hpp"

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "structure/atom_printout.hpp"
#include "structure/cell.hpp"
#include "structure/labels.hpp"
#include "structure/symmetry.hpp"

namespace tesk {

namespace {

void log_crystal(Run& run, const ShelxState& st) {
  const auto& p = run.ucell.p;
  run.out.log << ffmt("(/a,6f10.3)", {" Cell parameters: ", p[0], p[1], p[2], p[3], p[4], p[5]});
  run.out.log << ffmt("(/2a)", {" Lattice type : ", std::string(1, st.letter())});
  run.out.log << ffmt("(2a)", {" Lattice is ", st.centro() ? "CentroSymmetric" : "Acentric"});
  run.out.log << ffmt("(/a)", {" Symmetry operations : "});
}

// The operator list: the cards, the lattice centring, the inversion centre.
void build_operators(Run& run, const ShelxState& st) {
  std::string cards;
  for (const std::string& card : st.symm_cards) cards += card + "\n";
  TextInput symm_input;
  symm_input.set_text(cards);
  getsym(run, symm_input);
  if (st.latt != 1 && st.latt != -1) nonp(run, st.letter());
  if (st.centro()) addcentsymm(run);
  run.out.log << ffmt("(/a)", {" Final set of symmetry operations in matrix form:"});
  prsymop(run);
}

void atom_heading(Run& run) {
  run.both(ffmt("(/a)", {"    NO.  ATOM     IZ IU SF    XF       YF       ZF    OCCUP  U's -->"}));
}

// Without a usable cell every coordinate would come out as NaN or infinity.
void check_cell(const Run& run, const ShelxState& st) {
  if (st.cell_line == 0) err("ReadShelx", "No CELL instruction in " + st.filename);
  std::string problem = cell_problem(run.ucell);
  if (!problem.empty()) {
    err("ReadShelx", "Invalid CELL in line " + std::to_string(st.cell_line) + " of " +
                         st.filename + ": " + problem);
  }
}

}  // namespace

void shelx_crystal(Run& run, const ShelxState& st, const ShelxHeaderListener& headers) {
  headers.instructions_read(run);
  log_crystal(run, st);
  build_operators(run, st);
  prattyp(run);
  tranmat(run);
  atom_heading(run);
  headers.operators_ready(run, st);
}

void readshelx(Run& run, const std::string& filename, const ShelxHeaderListener& headers) {
  headers.title(run);
  TextInput in;
  if (!in.open(trim_right(filename))) err("ReadShelx", "Error opening SHELX file...");
  readshelx_text(run, in, filename, headers);
}

void readshelx_text(Run& run, const TextInput& in, const std::string& filename,
                    const ShelxHeaderListener& headers) {
  ShelxState st;
  st.filename = trim_right(filename);
  shelx_instructions(run, in, st, headers);
  check_cell(run, st);
  shelx_crystal(run, st, headers);

  shelx_atoms(run, in, st);
  unique_labels(run);
  run.out.console << ffmt("(/a,i5)", {" Total atoms read from SHELX file = ", run.atoms.natoms});
  snap_special_positions(run);
  checkocc(run);
  printatoms(run, run.out.log);
}

}  // namespace tesk
