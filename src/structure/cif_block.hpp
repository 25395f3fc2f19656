// What the parts of the CIF reader share: the data block being read, how a
// message names it, its values as numbers, and the atom sites it lists.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <gemmi/cifdoc.hpp>

#include "core/vec3.hpp"

namespace tesk {

struct CifBlock {
  std::string file;
  gemmi::cif::Block* block = nullptr;

  // "File x.cif, block data_name"
  std::string where() const;
  // A block without something the run needs: err("ReadCif", ...), exit status 1.
  [[noreturn]] void missing(const std::string& what) const;
  // A value that cannot be read: the input layer's read error, exit status 2.
  [[noreturn]] void unreadable(const std::string& item, const std::string& what) const;

  // The first value of `tag`, as written (quotes kept); nullptr when the tag
  // is absent or its value is ? or . ("not given").
  const std::string* value(const std::string& tag) const;
  // A value as a number, its standard uncertainty in parentheses dropped
  // ("0.07407(13)" is 0.07407); nothing for ? and .; unreadable() otherwise.
  std::optional<double> number(const std::string& raw, const std::string& item) const;
};

struct CifAtom {
  std::string label;        // as written in the CIF
  int z = 0;                // atomic number
  Vec3 xf{};
  float occ = 1.0f;
  int adptype = 1;          // 1 isotropic (uij[0]), 2 anisotropic
  std::array<float, 6> uij{};  // U11 U22 U33 U12 U13 U23
  int part = 0;             // disorder group, 0 ordered
  int assembly = 0;         // disorder assembly, 0 none
};

// The _atom_site_ loop with the _atom_site_aniso_ loop matched by label.
std::vector<CifAtom> read_atom_sites(const CifBlock& cif);

}  // namespace tesk
