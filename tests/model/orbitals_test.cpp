// Orbital occupancy codes of the free atoms.
#include "model/orbitals.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tesk {
namespace {

TEST(OrbitalCodes, EveryElementHoldsItsElectrons) {
  for (int z = 1; z <= kMaxOrbitalZ; ++z) {
    int electrons = 0;
    for (int code : orbital_codes(z)) electrons += std::abs(code);
    EXPECT_EQ(electrons, z) << "Z = " << z;
  }
  EXPECT_EQ(orbital_codes(0), OrbitalCodes{});
  EXPECT_EQ(orbital_codes(97), OrbitalCodes{});
}

// Columns: 1S 2S 3S 4S 2P 3P 4P 3D 4D 4F 5S 5P 6S 6P 5D 7S 6D 5F
TEST(OrbitalCodes, RowsBeyondKrypton) {
  struct Row {
    int z;
    OrbitalCodes codes;
  };
  const Row rows[] = {
      {36, {2, 2, 2, -2, 6, 6, -6, -10}},                        // Kr: [Ar] valence
      {38, {2, 2, 2, 2, 6, 6, 6, 10, 0, 0, -2}},                 // Sr: [Kr] 5s2
      {44, {2, 2, 2, 2, 6, 6, 6, 10, -6, 0, -2}},                // Ru: aufbau 4d6 5s2
      {49, {2, 2, 2, 2, 6, 6, 6, 10, -10, 0, -2, -1}},           // In: 4d stays valence
      {53, {2, 2, 2, 2, 6, 6, 6, 10, 10, 0, -2, -5}},            // I: 4d in the core
      {57, {2, 2, 2, 2, 6, 6, 6, 10, 10, -1, 2, 6, -2}},         // La: aufbau 4f1
      {79, {2, 2, 2, 2, 6, 6, 6, 10, 10, -14, 2, 6, -2, 0, -9}},  // Au: 4f14 5d9 6s2
      {92, {2, 2, 2, 2, 6, 6, 6, 10, 10, 14, 2, 6, 2, 6, 10, -2, 0, -4}},  // U: [Rn] 5f4 7s2
  };
  for (const Row& row : rows) EXPECT_EQ(orbital_codes(row.z), row.codes) << "Z = " << row.z;
}

}  // namespace
}  // namespace tesk
