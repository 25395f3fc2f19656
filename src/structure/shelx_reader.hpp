// Reader of SHELX instruction files (.ins/.res).
#pragma once

#include <string>

namespace tesk {

struct Run;

// Reads `filename` into the atom table, cell and symmetry, and writes the
// leading sections of kq_tesk.mas and mopro_tesk.par.
void readshelx(Run& run, const std::string& filename);

}  // namespace tesk
