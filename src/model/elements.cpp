// Element symbols, covalent radii and the symbol-to-atomic-number rule.
#include "model/elements.hpp"

#include <cctype>

namespace tesk {
namespace {

constexpr std::array<const char*, 96> kSymbols = {
    "H ", "He", "Li", "Be", "B ", "C ", "N ", "O ", "F ", "Ne", "Na", "Mg", "Al", "Si", "P ",
    "S ", "Cl", "Ar", "K ", "Ca", "Sc", "Ti", "V ", "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn",
    "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr", "Y ", "Zr", "Nb", "Mo", "Tc", "Ru", "Rh",
    "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", "I ", "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd",
    "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W ", "Re",
    "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Th",
    "Pa", "U ", "Np", "Pu", "Am", "Cm"};

// Radii in Angstrom. H to Xe as this program has always had them; Cs and Ba
// have none, so their ions bond to nothing unless RADII gives them a radius.
// La to Cm are the values of B. Cordero et al., "Covalent radii revisited",
// Dalton Trans. 2008, 2832-2838 (doi:10.1039/b801115j), Table 2, from
// distances in the Cambridge Structural Database.
constexpr std::array<float, 96> kCovrad = {
    0.40f, 0.93f, 1.23f, 0.90f, 0.82f, 0.77f, 0.75f, 0.73f, 0.72f, 0.71f, 1.54f, 1.36f,
    1.18f, 1.11f, 1.06f, 1.02f, 0.99f, 0.98f, 2.03f, 1.74f, 1.44f, 1.32f, 1.22f, 1.18f,
    1.17f, 1.17f, 1.16f, 1.15f, 1.17f, 1.25f, 1.26f, 1.22f, 1.20f, 1.16f, 1.14f, 1.89f,
    2.16f, 1.91f, 1.62f, 1.45f, 1.34f, 1.30f, 1.27f, 1.25f, 1.25f, 1.28f, 1.34f, 1.41f,
    1.44f, 1.41f, 1.40f, 1.36f, 1.33f, 1.31f, 0.00f, 0.00f,
    // La    Ce     Pr     Nd     Pm     Sm     Eu     Gd     Tb     Dy     Ho     Er
    2.07f, 2.04f, 2.03f, 2.01f, 1.99f, 1.98f, 1.98f, 1.96f, 1.94f, 1.92f, 1.92f, 1.89f,
    // Tm    Yb     Lu     Hf     Ta     W      Re     Os     Ir     Pt     Au     Hg
    1.90f, 1.87f, 1.87f, 1.75f, 1.70f, 1.62f, 1.51f, 1.44f, 1.41f, 1.36f, 1.36f, 1.32f,
    // Tl    Pb     Bi     Po     At     Rn     Fr     Ra     Ac     Th     Pa     U
    1.45f, 1.46f, 1.48f, 1.40f, 1.50f, 1.50f, 2.60f, 2.21f, 2.15f, 2.06f, 2.00f, 1.96f,
    // Np    Pu     Am     Cm
    1.90f, 1.87f, 1.80f, 1.69f};

struct TwoLetter {
  const char* sym;
  int z;
};

// Two-letter symbols recognised in labels, including the transuranium ones
// that have no entry in the symbol table.
constexpr TwoLetter kTwoLetter[] = {
    {"HE", 2},   {"LI", 3},   {"BE", 4},   {"NE", 10},  {"NA", 11},  {"MG", 12},  {"AL", 13},
    {"SI", 14},  {"CL", 17},  {"AR", 18},  {"CA", 20},  {"SC", 21},  {"TI", 22},  {"CR", 24},
    {"MN", 25},  {"FE", 26},  {"CO", 27},  {"NI", 28},  {"CU", 29},  {"ZN", 30},  {"GA", 31},
    {"GE", 32},  {"AS", 33},  {"SE", 34},  {"BR", 35},  {"KR", 36},  {"RB", 37},  {"SR", 38},
    {"ZR", 40},  {"NB", 41},  {"MO", 42},  {"TC", 43},  {"RU", 44},  {"RH", 45},  {"PD", 46},
    {"AG", 47},  {"CD", 48},  {"IN", 49},  {"SN", 50},  {"SB", 51},  {"TE", 52},  {"XE", 54},
    {"CS", 55},  {"BA", 56},  {"LA", 57},  {"CE", 58},  {"PR", 59},  {"ND", 60},  {"PM", 61},
    {"SM", 62},  {"EU", 63},  {"GD", 64},  {"TB", 65},  {"DY", 66},  {"HO", 67},  {"ER", 68},
    {"TM", 69},  {"YB", 70},  {"LU", 71},  {"HF", 72},  {"TA", 73},  {"RE", 75},  {"OS", 76},
    {"IR", 77},  {"PT", 78},  {"AU", 79},  {"HG", 80},  {"TL", 81},  {"PB", 82},  {"BI", 83},
    {"PO", 84},  {"AT", 85},  {"RN", 86},  {"FR", 87},  {"RA", 88},  {"AC", 89},  {"TH", 90},
    {"PA", 91},  {"NP", 93},  {"PU", 94},  {"AM", 95},  {"CM", 96},  {"BK", 97},  {"CF", 98},
    {"ES", 99},  {"FM", 100}, {"MD", 101}, {"NO", 102}, {"LR", 103}, {"RF", 104}, {"DB", 105},
    {"SG", 106}, {"BH", 107}, {"HS", 108}, {"MT", 109}};

int one_letter(char c) {
  switch (c) {
    case 'H': return 1;
    case 'B': return 5;
    case 'C': return 6;
    case 'N': return 7;
    case 'O': return 8;
    case 'F': return 9;
    case 'P': return 15;
    case 'S': return 16;
    case 'K': return 19;
    case 'V': return 23;
    case 'Y': return 39;
    case 'I': return 53;
    case 'W': return 74;
    case 'U': return 92;
    default: return 0;
  }
}

}  // namespace

std::string atsym(int z) {
  if (z < 1 || z > kMaxSymbolZ) return "  ";
  return kSymbols[static_cast<std::size_t>(z - 1)];
}

std::string element_symbol(int z) {
  std::string sym = atsym(z);
  for (const auto& t : kTwoLetter)
    if (t.z == z && z > kMaxSymbolZ) sym = {t.sym[0], static_cast<char>(std::tolower(t.sym[1]))};
  while (!sym.empty() && sym.back() == ' ') sym.pop_back();
  return sym;
}

float covrad_table(int z) {
  if (z < 1 || z > kMaxRadiusZ) return 0.0f;
  return kCovrad[static_cast<std::size_t>(z - 1)];
}

int iatnum(std::string_view symbol) {
  char c1 = symbol.size() > 0 ? static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0]))) : ' ';
  char c2 = symbol.size() > 1 ? static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[1]))) : ' ';
  int z = one_letter(c1);
  for (const auto& t : kTwoLetter) {
    if (t.sym[0] == c1 && t.sym[1] == c2) return t.z;
  }
  return z;
}

}  // namespace tesk
