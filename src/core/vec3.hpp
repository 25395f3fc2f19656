// A point or vector in three dimensions, single precision like every
// geometric quantity of a run (coordinates in Angstrom or fractions of a cell).
#pragma once

#include <array>

namespace tesk {

using Vec3 = std::array<float, 3>;

}  // namespace tesk
