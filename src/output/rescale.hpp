// Rescaling of valence populations so that fragments carry a chosen net
// charge.
#pragma once

#include <istream>
#include <string>

namespace tesk {

struct Run;

// `console_in` answers the prompt for a fragment charge that CHFRAG does not give.
void rescalepv(Run& run, std::istream& console_in);

}  // namespace tesk
