// Standard printouts of the atom table and of the scattering types.
#pragma once

#include "core/sink.hpp"

namespace tesk {

struct Run;

void prattyp(Run& run);                  // to the log
void printatoms(const Run& run, Sink& out);

}  // namespace tesk
