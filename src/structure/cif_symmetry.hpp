// The space group of a CIF block written as the SHELX instructions that
// describe it: a LATT number and the SYMM cards that, expanded by the lattice
// centring and the inversion centre, give back every operator of the group.
#pragma once

#include <string>
#include <vector>

#include "model/cell_symmetry.hpp"

namespace tesk {

struct ShelxSymmetry {
  int latt = 1;                    // |latt|: position of the letter in "PIRFABC"; > 0 centrosymmetric
  std::vector<std::string> cards;  // operator texts of the SYMM cards ("-X, Y+1/2, -Z+1/2")
  std::vector<SymOp> group;        // every operator of the group, the identity first
  std::string error;               // why no symmetry could be made; empty when it could
};

// From the operator triplets of an operator loop ("-x+1/2,y+1/2,-z"). A list
// that is only part of a group is completed to the group it generates.
ShelxSymmetry symmetry_from_triplets(const std::vector<std::string>& triplets);
// From a Hall symbol ("-P 2ybc", "-P_2ybc", "-P 2ybc (x-z,y,z)").
ShelxSymmetry symmetry_from_hall(const std::string& hall);
// From a Hermann-Mauguin symbol through the space-group table ("P 1 21/c 1",
// "P21/c", "P2(1)/c", "R -3 c :H"); alpha and gamma tell the hexagonal from
// the rhombohedral setting of an R symbol without ":H" or ":R".
ShelxSymmetry symmetry_from_hm(const std::string& hm, double alpha, double gamma);

// True when both lists hold the same operators, in any order, translations
// taken modulo whole cells.
bool same_operators(const std::vector<SymOp>& a, const std::vector<SymOp>& b);

}  // namespace tesk
