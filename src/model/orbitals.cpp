// Orbital occupancy codes of the free atoms, H to Cm.
#include "model/orbitals.hpp"

#include <algorithm>

namespace tesk {
namespace {

// Columns of a SCAT row.
enum Column { S1, S2, S3, S4, P2, P3, P4, D3, D4, F4, S5, P5, S6, P6, D5, S7, D6, F5 };

struct Subshell {
  Column column;
  int capacity;
};

// The aufbau (Madelung, n + l) order: 1s 2s 2p 3s 3p 4s 3d 4p 5s 4d 5p 6s 4f
// 5d 6p 7s 5f 6d. Electrons fill it strictly in this order, so the codes are
// the configurations of this order and not the measured ground states where
// those differ. Exceptions deliberately not used:
//   Cr 3d5 4s1, Cu 3d10 4s1 (the 3d rows have always been strict aufbau);
//   Nb 4d4 5s1, Mo 4d5 5s1, Ru 4d7 5s1, Rh 4d8 5s1, Pd 4d10, Ag 4d10 5s1;
//   La 5d1 6s2, Ce 4f1 5d1 6s2, Gd 4f7 5d1 6s2, Pt 5d9 6s1, Au 5d10 6s1;
//   Ac 6d1 7s2, Th 6d2 7s2, Pa 5f2 6d1 7s2, U 5f3 6d1 7s2, Np 5f4 6d1 7s2,
//   Cm 5f7 6d1 7s2.
// The electron count, and so the valence population, is the same either way.
constexpr Subshell kAufbau[] = {
    {S1, 2}, {S2, 2}, {P2, 6},  {S3, 2}, {P3, 6},  {S4, 2}, {D3, 10}, {P4, 6},  {S5, 2},
    {D4, 10}, {P5, 6}, {S6, 2}, {F4, 14}, {D5, 10}, {P6, 6}, {S7, 2}, {F5, 14}, {D6, 10}};

// The core of an atom is the configuration of the last noble gas before it;
// everything beyond is valence, so a d or f shell stays valence until the
// next noble gas closes the row (zinc 3d10 4s2, bromine 3d10 4s2 4p5). A
// noble gas is valence over the core of the one before it (neon 2s2 2p6).
int core_electrons(int z) {
  int core = 0;
  for (int noble : {2, 10, 18, 36, 54, 86})
    if (z > noble) core = noble;
  return core;
}

void put(OrbitalCodes& codes, Column column, int value) {
  codes[static_cast<std::size_t>(column)] = value;
}

}  // namespace

OrbitalCodes orbital_codes(int z) {
  OrbitalCodes codes{};
  if (z < 1 || z > kMaxOrbitalZ) return codes;
  const int core = core_electrons(z);
  int placed = 0;
  for (const Subshell& s : kAufbau) {
    if (placed == z) break;
    const int n = std::min(s.capacity, z - placed);
    // Noble-gas cores end on a closed shell, so a subshell is wholly core or
    // wholly valence.
    put(codes, s.column, placed < core ? n : -n);
    placed += n;
  }
  // Iodine has long been written with its filled 4d shell in the core and
  // only 5s2 5p5 as valence; its row stays as it always was.
  if (z == 53) put(codes, D4, 10);
  return codes;
}

int valence_electrons(int z) {
  int sum = 0;
  for (int code : orbital_codes(z))
    if (code < 0) sum -= code;
  return sum;
}

}  // namespace tesk
