// The atom sites of a CIF block: label, element, fractional coordinates,
// occupancy and displacement parameters (U, or B converted to U), the
// anisotropic ones matched by label from the _atom_site_aniso_ loop.
#include <cmath>
#include <map>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "format/number_reader.hpp"
#include "model/elements.hpp"
#include "structure/cell.hpp"
#include "structure/cif_block.hpp"

namespace tesk {

namespace cif = gemmi::cif;

namespace {

// B = 8 pi^2 U
constexpr double kBtoU = 1.0 / 78.95683520871486;
// A site without any displacement parameter gets the U SHELXL gives an atom
// line that stops before its U.
constexpr float kDefaultU = 0.05f;

// Columns of the atom-site loop, in the order asked of gemmi.
enum Site { X, Y, Z, Label, Type, Occ, Uiso, Biso, Group, Assembly };
const std::vector<std::string> kSiteTags = {"fract_x", "fract_y", "fract_z", "?label",
                                            "?type_symbol", "?occupancy", "?U_iso_or_equiv",
                                            "?B_iso_or_equiv", "?disorder_group",
                                            "?disorder_assembly"};
// Columns of the aniso loop: the label, U11 U22 U33 U12 U13 U23, the same for B.
const std::vector<std::string> kAnisoTags = {
    "label", "?U_11", "?U_22", "?U_33", "?U_12", "?U_13", "?U_23",
    "?B_11", "?B_22", "?B_33", "?B_12", "?B_13", "?B_23"};

std::string item_of(const std::string& tag) { return "_atom_site_" + tag; }

// The element as the SHELX reader takes it from an SFAC word: the first two
// characters ("Si4+" is silicon, "C4-" and "C" carbon, "Cl" chlorine).
int element_of(const std::string& symbol) {
  std::string two = symbol.substr(0, 2);
  two.resize(2, ' ');
  return iatnum(two);
}

int atom_element(const CifBlock& cif, const cif::Table::Row& row, const std::string& label) {
  if (row.has2(Type)) {
    const std::string symbol = cif::as_string(row[Type]);
    const int z = element_of(symbol);
    if (z == 0)
      cif.missing("atom " + label + ": the element of _atom_site_type_symbol '" + symbol +
                  "' cannot be told");
    return z;
  }
  const int z = element_of(upper(label));
  if (z == 0)
    cif.missing("atom " + label + ": no _atom_site_type_symbol, and the element of " +
                "_atom_site_label cannot be told");
  return z;
}

float coordinate(const CifBlock& cif, const cif::Table::Row& row, std::size_t column,
                 const std::string& label) {
  const std::string item = item_of(kSiteTags[column]) + " of atom " + label;
  auto v = cif.number(row[column], item);
  if (!v) cif.unreadable(item, "not given");
  // Beyond a thousand cells single precision no longer resolves a bond.
  if (std::fabs(*v) > kMaxFractional) cif.unreadable(item, "'" + cif::as_string(row[column]) + "' is out of range");
  return static_cast<float>(*v);
}

// Six values of one aniso row from `first` on, or nothing when one is not given.
std::optional<std::array<float, 6>> six_values(const CifBlock& cif, const cif::Table::Row& row,
                                               std::size_t first, const std::string& label,
                                               double scale) {
  std::array<float, 6> u{};
  for (std::size_t k = 0; k < 6; ++k) {
    if (!row.has2(first + k)) return std::nullopt;
    const std::string tag = kAnisoTags[first + k].substr(1);
    auto v = cif.number(row[first + k], "_atom_site_aniso_" + tag + " of atom " + label);
    if (!v) return std::nullopt;
    u[k] = static_cast<float>(*v * scale);
  }
  return u;
}

// Label -> U11 U22 U33 U12 U13 U23, in whatever order the loop lists its columns.
std::map<std::string, std::array<float, 6>> read_aniso(const CifBlock& cif) {
  std::map<std::string, std::array<float, 6>> aniso;
  cif::Table table = cif.block->find("_atom_site_aniso_", kAnisoTags);
  for (std::size_t i = 0; table.ok() && i < table.length(); ++i) {
    cif::Table::Row row = table[static_cast<int>(i)];
    const std::string label = cif::as_string(row[0]);
    auto u = six_values(cif, row, 1, label, 1.0);
    if (!u) u = six_values(cif, row, 7, label, kBtoU);
    if (u) aniso.emplace(label, *u);
  }
  return aniso;
}

void read_displacement(const CifBlock& cif, const cif::Table::Row& row, CifAtom& a,
                       const std::map<std::string, std::array<float, 6>>& aniso) {
  if (auto it = aniso.find(a.label); it != aniso.end()) {
    a.adptype = 2;
    a.uij = it->second;
    return;
  }
  a.adptype = 1;
  a.uij[0] = kDefaultU;
  if (row.has2(Uiso)) {
    a.uij[0] = static_cast<float>(*cif.number(row[Uiso], item_of("U_iso_or_equiv of atom ") + a.label));
  } else if (row.has2(Biso)) {
    a.uij[0] = static_cast<float>(
        *cif.number(row[Biso], item_of("B_iso_or_equiv of atom ") + a.label) * kBtoU);
  }
}

// The disorder group of a site as a part number: the group as written when it
// is a whole number (negative for disorder about a symmetry element), else
// a number of its own per code, counted from 1001 up so that it meets no
// written number; 0 for an ordered site ('.' or no item). The assembly is
// numbered from 1 in order of first appearance, 0 when not given.
struct DisorderCodes {
  std::map<std::string, int> groups;
  std::map<std::string, int> assemblies;

  void read(const cif::Table::Row& row, CifAtom& a) {
    if (row.has2(Group)) {
      const std::string code = cif::as_string(row[Group]);
      auto n = read_fortran_int(code);
      if (n && *n >= -kMaxAtoms && *n <= kMaxAtoms)
        a.part = static_cast<int>(*n);
      else
        a.part = groups.emplace(code, 1001 + static_cast<int>(groups.size())).first->second;
    }
    if (row.has2(Assembly)) {
      const std::string code = cif::as_string(row[Assembly]);
      a.assembly = assemblies.emplace(code, 1 + static_cast<int>(assemblies.size())).first->second;
    }
  }
};

// Names the coordinate item the block lacks.
[[noreturn]] void no_atom_loop(const CifBlock& cif) {
  for (const char* tag : {"fract_x", "fract_y", "fract_z"}) {
    if (!cif.block->find_values(item_of(tag)))
      cif.missing("no atoms: " + item_of(tag) + " is not given");
  }
  cif.missing("no atoms: _atom_site_fract_x, _y and _z are not in one loop");
}

}  // namespace

std::vector<CifAtom> read_atom_sites(const CifBlock& cif) {
  cif::Table table = cif.block->find("_atom_site_", kSiteTags);
  if (!table.ok()) no_atom_loop(cif);
  if (!table.has_column(Label)) cif.missing("no atoms: _atom_site_label is not given");
  const auto aniso = read_aniso(cif);
  std::vector<CifAtom> atoms;
  DisorderCodes disorder;
  for (std::size_t i = 0; i < table.length(); ++i) {
    cif::Table::Row row = table[static_cast<int>(i)];
    CifAtom a;
    a.label = cif::as_string(row[Label]);
    if (a.label.empty())
      cif.unreadable(item_of("label"), "atom site " + std::to_string(i + 1) + " has no label");
    a.z = atom_element(cif, row, a.label);
    for (std::size_t k = 0; k < 3; ++k) a.xf[k] = coordinate(cif, row, k, a.label);
    if (row.has2(Occ))
      a.occ = static_cast<float>(*cif.number(row[Occ], item_of("occupancy of atom ") + a.label));
    read_displacement(cif, row, a, aniso);
    disorder.read(row, a);
    atoms.push_back(a);
  }
  return atoms;
}

}  // namespace tesk
