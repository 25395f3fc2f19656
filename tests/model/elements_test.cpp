// Element symbols, covalent radii and the symbol-to-atomic-number rule.
#include "model/elements.hpp"

#include <gtest/gtest.h>

namespace tesk {
namespace {

TEST(Iatnum, SymbolsAndLabelStarts) {
  struct Row {
    const char* text;
    int z;
  };
  const Row rows[] = {
      {"Cl", 17}, {"CL", 17}, {"cl", 17},  // case-blind
      {"C ", 6},  {"C(", 6},  {"C1", 6},   {"C", 6},  // one letter, short text
      {"Ca", 20},                          // CA1 is calcium, not carbon
      {"HG", 80}, {"NB", 41},              // two-letter symbols win over H and N
      {"NO", 102},                         // nobelium, not nitrogen
      {"HO", 67},                          // a hydroxyl H labelled HO1 reads as holmium
      {"H1", 1},  {"W ", 74}, {"U ", 92},  {"Y ", 39},
      {"D1", 0},  {"Q ", 0},  {"  ", 0},   {"", 0},
      {"MT", 109}, {"NP", 93},
  };
  for (const auto& r : rows) EXPECT_EQ(iatnum(r.text), r.z) << '"' << r.text << '"';
}

TEST(ElementTables, SymbolsAndRadii) {
  EXPECT_EQ(atsym(1), "H ");
  EXPECT_EQ(atsym(6), "C ");
  EXPECT_EQ(atsym(17), "Cl");
  EXPECT_EQ(atsym(92), "U ");
  EXPECT_EQ(atsym(96), "Cm");
  EXPECT_EQ(atsym(97), "  ");
  EXPECT_EQ(atsym(0), "  ");

  EXPECT_FLOAT_EQ(covrad_table(1), 0.40f);
  EXPECT_FLOAT_EQ(covrad_table(6), 0.77f);
  EXPECT_FLOAT_EQ(covrad_table(54), 1.31f);
  EXPECT_EQ(covrad_table(55), 0.0f);  // Cs and Ba have no radius
  EXPECT_EQ(covrad_table(56), 0.0f);
  EXPECT_FLOAT_EQ(covrad_table(57), 2.07f);  // La, first of the published table
  EXPECT_FLOAT_EQ(covrad_table(79), 1.36f);
  EXPECT_FLOAT_EQ(covrad_table(96), 1.69f);
  EXPECT_EQ(covrad_table(97), 0.0f);  // beyond the table
  EXPECT_EQ(covrad_table(0), 0.0f);
}

// Every symbol in the table maps back to its own atomic number.
TEST(ElementTables, SymbolTableAgreesWithIatnum) {
  for (int z = 1; z <= kMaxSymbolZ; ++z) EXPECT_EQ(iatnum(atsym(z)), z) << atsym(z);
}

}  // namespace
}  // namespace tesk
