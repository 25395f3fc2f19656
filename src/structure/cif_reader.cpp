// The CIF reader: one data block into the cell, the operator list and the
// atom table, through the same steps (and the same log) as a SHELX file.
#include "structure/cif_reader.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include <gemmi/cif.hpp>

#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "format/number_reader.hpp"
#include "model/run.hpp"
#include "structure/atom_printout.hpp"
#include "structure/cell.hpp"
#include "structure/cif_block.hpp"
#include "structure/cif_symmetry.hpp"
#include "structure/labels.hpp"
#include "structure/symmetry.hpp"

namespace tesk {

namespace cif = gemmi::cif;

namespace {

constexpr const char* kRoutine = "ReadCif";

std::string file_bytes(const std::string& file) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) err(kRoutine, "CIF file " + file + " is a directory");
  std::ifstream in(file, std::ios::binary);
  if (!in) err(kRoutine, "Error opening CIF file " + file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

cif::Document parse(std::string_view data, const std::string& file) {
  // Editors on Windows start a UTF-8 file with a byte-order mark.
  if (data.starts_with("\xEF\xBB\xBF")) data.remove_prefix(3);
  try {
    return cif::read_memory(data.data(), data.size(), file.c_str());
  } catch (const std::exception& e) {
    input_error(file, e.what());
  }
}

std::string without_data_prefix(const std::string& name) {
  return gemmi::istarts_with(name, "data_") ? name.substr(5) : name;
}

// The block named on the INPUT line (block names ignore letter case), or the
// first block that lists atom sites with fractional coordinates.
cif::Block& choose_block(cif::Document& doc, const std::string& file, const std::string& wanted) {
  if (!wanted.empty()) {
    const std::string name = without_data_prefix(wanted);
    for (cif::Block& b : doc.blocks)
      if (gemmi::iequal(b.name, gemmi::to_lower(name))) return b;
    err(kRoutine, "File " + file + ": no data block data_" + name);
  }
  for (cif::Block& b : doc.blocks)
    if (b.find_values("_atom_site_fract_x")) return b;
  err(kRoutine, "File " + file + ": no data block with atom sites (_atom_site_fract_x)");
}

// The cell; an angle that is not given is 90 degrees, as the CIF dictionary has it.
void read_cell(const CifBlock& cif, UnitCell& cell) {
  static const char* const kTags[] = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                                      "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
  for (std::size_t k = 0; k < 6; ++k) {
    const std::string* raw = cif.value(kTags[k]);
    if (raw == nullptr && k < 3) cif.missing(std::string("no cell: ") + kTags[k] + " is not given");
    cell.p[k] = raw ? static_cast<float>(*cif.number(*raw, kTags[k])) : 90.0f;
  }
  // Without a usable cell every coordinate would come out as NaN or infinity.
  const std::string problem = cell_problem(cell);
  if (!problem.empty()) cif.missing("invalid cell: " + problem);
}

// Without a wavelength the header carries what a SHELX reader holds before a
// CELL card gives one: 0.
float read_wave(const CifBlock& cif) {
  const char* tag = "_diffrn_radiation_wavelength";
  const std::string* raw = cif.value(tag);
  return raw ? static_cast<float>(*cif.number(*raw, tag)) : 0.0f;
}

// SHELXL states its weighting scheme as
//   w=1/[\s^2^(Fo^2^)+(0.0405P)^2^+0.0165P] where P=(Fo^2^+2Fc^2^)/3
// which is WGHT 0.0405 0.0165; another text leaves the weights as they are.
void read_weights(const CifBlock& cif, Shelx1& shelx) {
  const std::string* raw = cif.value("_refine_ls_weighting_details");
  if (raw == nullptr) return;
  std::string text = cif::as_string(*raw);
  std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
  const std::string head = "w=1/[\\s^2^(Fo^2^)";
  const std::size_t start = text.find(head);
  const std::size_t end = text.find(']', start);
  if (start == std::string::npos || end == std::string::npos) return;
  std::string terms = text.substr(start + head.size(), end - start - head.size());
  std::optional<double> a = 0.0, b = 0.0;
  if (terms.starts_with("+(")) {
    const std::size_t close = terms.find("P)^2^");
    if (close == std::string::npos) return;
    a = read_fortran_real(terms.substr(2, close - 2));
    terms.erase(0, close + 5);
  }
  if (!terms.empty()) {
    if (terms.front() != '+' || terms.back() != 'P') return;
    b = read_fortran_real(terms.substr(1, terms.size() - 2));
  }
  if (!a || !b) return;
  shelx.wght[0] = static_cast<float>(*a);
  shelx.wght[1] = static_cast<float>(*b);
}

void log_symmetry_source(Run& run, const std::string& tag, const ShelxSymmetry& s) {
  run.out.log << ffmt("(/a,a,a,i4,a)", {" Space group from ", tag, " : ",
                                        static_cast<int>(s.group.size()), " operators"});
}

// An operator loop when there is one, otherwise a Hall symbol, otherwise a
// Hermann-Mauguin symbol.
ShelxSymmetry read_symmetry(Run& run, const CifBlock& cif) {
  for (const char* tag : {"_space_group_symop_operation_xyz", "_symmetry_equiv_pos_as_xyz"}) {
    std::vector<std::string> triplets;
    for (const std::string& v : cif.block->find_values(tag))
      if (!cif::is_null(v)) triplets.push_back(cif::as_string(v));
    if (triplets.empty()) continue;
    ShelxSymmetry s = symmetry_from_triplets(triplets);
    if (!s.error.empty()) cif.unreadable(tag, s.error);
    log_symmetry_source(run, tag, s);
    return s;
  }
  const auto& p = run.ucell.p;
  std::string failures;
  for (const char* tag : {"_space_group_name_Hall", "_symmetry_space_group_name_Hall",
                          "_space_group_name_H-M_alt", "_symmetry_space_group_name_H-M"}) {
    const std::string* raw = cif.value(tag);
    if (raw == nullptr) continue;
    const std::string symbol = cif::as_string(*raw);
    ShelxSymmetry s = std::string_view(tag).ends_with("Hall")
                          ? symmetry_from_hall(symbol)
                          : symmetry_from_hm(symbol, p[3], p[5]);
    if (s.error.empty()) {
      log_symmetry_source(run, tag, s);
      return s;
    }
    failures += (failures.empty() ? "" : "; ") + std::string(tag) + ": " + s.error;
  }
  if (failures.empty())
    cif.missing("no symmetry: none of _space_group_symop_operation_xyz, "
                "_symmetry_equiv_pos_as_xyz, _space_group_name_Hall, _space_group_name_H-M_alt "
                "(or their _symmetry_space_group_ forms) is given");
  cif.missing("no symmetry: " + failures);
}

// Scattering types: the elements in the order they first occur.
void set_types(Run& run, const std::vector<CifAtom>& sites) {
  run.types.tz.clear();
  for (const CifAtom& c : sites)
    if (std::find(run.types.tz.begin(), run.types.tz.end(), c.z) == run.types.tz.end())
      run.types.tz.push_back(c.z);
}

// Operators that map a site onto itself (the identity included): 48 for the
// Ca of fluorite, 2 on an inversion centre, 1 on a general position. The
// images are compared to 0.01 Angstrom, since a CIF gives 1/3 as 0.3333.
int site_order(const Run& run, const Vec3& xf) {
  const Vec3 xc = rabs(run.transf, 0, xf);
  int order = 0;
  for (const SymOp& op : run.symm.ops) {
    Vec3 image = apply_op(op, xf);
    for (int j = 0; j < 3; ++j) image[j] += std::round(xf[j] - image[j]);
    if (dist(rabs(run.transf, 0, image), xc) < 0.01f) ++order;
  }
  return std::max(order, 1);
}

void fill_atoms(Run& run, const std::vector<CifAtom>& sites) {
  std::vector<int> in_type(run.types.tz.size(), 0);
  run.atoms.list.clear();
  run.atoms.natoms = 0;
  for (const CifAtom& c : sites) {
    const int n = run.atoms.append(kRoutine);
    run.atoms.natoms = n;
    const auto t = static_cast<std::size_t>(
        std::find(run.types.tz.begin(), run.types.tz.end(), c.z) - run.types.tz.begin());
    ++in_type[t];
    Atom& a = run.atoms.at(n);
    a.iz = c.z;
    a.lmax = a.iz == 1 ? 2 : 4;
    a.sftype = static_cast<int>(t) + 1;
    // Labels as a SHELX file would give them: upper case, C12 becomes C(12).
    std::string name = upper(c.label);
    a.label = shatnam(run, name, a.iz, n, in_type[t]);
    a.xf = c.xf;
    // A CIF gives the chemical occupancy of a site, a SHELX file that
    // occupancy divided by the number of operators fixing the site (SHELXL's
    // 10.5 for an atom on an inversion centre); the tables and every file
    // written from them (fixedH.ins included) hold the SHELX value.
    a.occ = c.occ / static_cast<float>(site_order(run, special_position(run, c.xf)));
    a.adptype = c.adptype;
    a.uij = c.uij;
    a.part = c.part;
    a.assembly = c.assembly;
    print_read_atom(run, n);
    a.xc = rabs(run.transf, 0, a.xf);
  }
}

void read_cif_data(Run& run, std::string_view data, const std::string& filename,
                   const std::string& block, const ShelxHeaderListener& headers) {
  ShelxState st;
  st.filename = trim_right(filename);
  cif::Document doc = parse(data, st.filename);
  const CifBlock cif{st.filename, &choose_block(doc, st.filename, trim_right(block))};
  run.out.log << ffmt("(//a,a)", {" Reading CIF file : ", st.filename});
  run.out.log << ffmt("(a,a)", {" Data block       : data_", cif.block->name});

  read_cell(cif, run.ucell);
  st.wave = read_wave(cif);
  read_weights(cif, run.shelx1);
  headers.cell(run, st.wave);
  const ShelxSymmetry sym = read_symmetry(run, cif);
  st.latt = sym.latt;
  st.latt_given = true;
  headers.latt(run, st.centro(), st.letter());
  for (const std::string& card : sym.cards) {
    headers.symm(run, "SYMM " + card);
    add_symm_card(st, " " + card);
  }
  const std::vector<CifAtom> sites = read_atom_sites(cif);
  set_types(run, sites);

  shelx_crystal(run, st, headers);
  if (!same_operators(run.symm.ops, sym.group))
    err(kRoutine, cif.where() + ": the SYMM cards do not give back the operators of the block");
  fill_atoms(run, sites);
  unique_labels(run);
  run.out.console << ffmt("(/a,i5)", {" Total atoms read from CIF file = ", run.atoms.natoms});
  snap_special_positions(run);
  checkocc(run);
  printatoms(run, run.out.log);
}

}  // namespace

void readcif(Run& run, const std::string& filename, const std::string& block,
             const ShelxHeaderListener& headers) {
  headers.title(run);
  const std::string file = trim_right(filename);
  read_cif_data(run, file_bytes(file), file, block, headers);
}

void readcif_text(Run& run, std::string_view data, const std::string& filename,
                  const std::string& block, const ShelxHeaderListener& headers) {
  headers.title(run);
  read_cif_data(run, data, filename, block, headers);
}

}  // namespace tesk
