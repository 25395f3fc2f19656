// Orbital occupancies of the free atoms, as the scattering table of the KQ
// master file gives them: core shells and valence shells per element.
#pragma once

#include <array>

namespace tesk {

constexpr int kMaxOrbitalZ = 96;  // hydrogen to curium

// One code per shell in the column order of the SCAT table:
// 1S 2S 3S 4S 2P 3P 4P 3D 4D 4F 5S 5P 6S 6P 5D 7S 6D 5F.
// 0 an empty shell, a positive count a filled core shell, a negative count a
// valence shell holding that many electrons.
using OrbitalCodes = std::array<int, 18>;

// The codes of atomic number z; all zero outside 1..kMaxOrbitalZ.
OrbitalCodes orbital_codes(int z);

// Electrons in the valence shells of z (the sum of the negative codes).
int valence_electrons(int z);

}  // namespace tesk
