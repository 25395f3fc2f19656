// Rescaling of valence populations so that fragments carry a chosen net
// charge.
#pragma once

#include <string>

namespace tesk {

struct Run;

void rescalepv(Run& run);

}  // namespace tesk
