// Element data by atomic number: symbols, covalent radii, and the rule that
// turns the first two characters of a symbol or label into an atomic number.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tesk {

constexpr int kMaxSymbolZ = 96;  // atsym runs from H to Cm
constexpr int kMaxRadiusZ = 96;  // covrad runs from H to Cm; Cs and Ba hold 0.0

// Two-character symbol, one-letter symbols followed by a blank ("C ", "Cl");
// two blanks for Z outside 1..96.
std::string atsym(int z);

// The symbol without padding of any element the labels can name ("C", "Cl",
// "Bk" for 97); empty for 0 and beyond 109.
std::string element_symbol(int z);

// The tabulated covalent radius in Angstrom; 0.0 for Cs, Ba and Z outside 1..96.
float covrad_table(int z);

// Atomic number from the first two characters (case-blind): the one-letter
// rule first, overridden by the two-letter rule, so "CA1" is calcium and
// "C(1)" carbon. 0 when nothing matches.
int iatnum(std::string_view symbol);

}  // namespace tesk
