// Recognition of functional groups ("exceptions") from the bonded environment.
#pragma once

namespace tesk {

struct Run;

void detexcept(Run& run, int atom);

}  // namespace tesk
