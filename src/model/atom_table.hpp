// The atom table: the atoms read from the structure file (1..natoms), then
// the symmetry copies of fragment completion (up to cryst.nall), then dummy
// atoms. Atom numbers are 1-based everywhere; reach atoms through at().
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/vec3.hpp"

namespace tesk {

constexpr int kMaxAtoms = 100000;

struct Atom {
  std::string label = std::string(8, ' ');  // 8 characters, blank padded
  Vec3 xf{};            // fractional coordinates
  Vec3 xc{};            // cartesian coordinates, Angstrom
  int iz = 0;           // atomic number, 0 when unrecognised
  std::string sitesym = std::string(5, ' ');  // local site symmetry label
  // atoms1
  int adptype = 0;      // 1 isotropic, 2 anisotropic (3, 4 anharmonic from KQ)
  int sftype = 0;       // scattering type number, indexes at_types
  int lmax = 0;         // highest multipole level: 4, 2 for hydrogen
  float occ = 0.0f;     // site occupancy
  int flag = 0;         // 0 normal, 1 special position, -1 disordered
  // Disorder part (SHELX PART n, CIF disorder group): 0 ordered, n > 0 one
  // of the alternative parts, n < 0 a part disordered about a symmetry
  // element. `assembly` numbers the CIF disorder assembly (0 none): parts of
  // different assemblies are independent of each other.
  int part = 0;
  int assembly = 0;
  // at_uij: U11 U22 U33 U12 U13 U23; an isotropic U sits in the first slot
  std::array<float, 6> uij{};
};

struct AtomTable {
  int natoms = 0;             // atoms read from the structure file
  std::vector<Atom> list;     // every atom of the table, index 0 = atom 1
  int capacity = kMaxAtoms;   // lowered only by the fuzz harnesses

  int size() const { return static_cast<int>(list.size()); }
  Atom& at(int i);            // checked, 1-based
  const Atom& at(int i) const;
  // Appends a blank atom and returns its number; err() from `routine` with
  // "Too many atoms" beyond the capacity.
  int append(const char* routine);
};

// at_types: atomic number of each scattering type, in declaration order.
struct AtomTypes {
  std::vector<int> tz;        // index 0 = type 1
  int ntypes() const { return static_cast<int>(tz.size()); }
  int z_of(int type) const;   // 0 when the type is not declared
};

}  // namespace tesk
