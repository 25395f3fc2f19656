// Header lines of kq_tesk.mas and mopro_tesk.par written while a SHELX file is
// read, and the orbital occupancy codes of the SCAT table.
#pragma once

#include <array>

namespace tesk {

struct Run;

// Orbital codes in the order 1S 2S 3S 4S 2P 3P 4P 3D 4D 4F 5S 5P 6S 6P 5D 7S 6D 5F.
std::array<int, 18> getsft(int z);

}  // namespace tesk
