// Reader of a KQ master file and parameter file pair, the output of an
// earlier run or of KQ itself.
#pragma once

#include <string>

namespace tesk {

struct Run;

// Reads the atoms, cell and symmetry from the master file and `parfile`.
void readkq(Run& run, const std::string& parfile);

}  // namespace tesk
