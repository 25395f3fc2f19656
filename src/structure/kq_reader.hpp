// Reader of a KQ master file and parameter file pair, the output of an
// earlier run or of KQ itself: the master file gives the cell and the
// symmetry, the parameter file the atoms.
#pragma once

#include <string>

#include "core/line_reader.hpp"

namespace tesk {

struct Run;

// Reads the cell and symmetry from the master file run.opt.kqold and the
// atoms, model name and free variables from `parfile`.
void readkq(Run& run, const std::string& parfile);
// The same from a master file and a parameter file already in memory.
void readkq_text(Run& run, TextInput& master, TextInput& par, const std::string& parfile);

// The next record of the parameter file that does not begin with "!",
// upper-cased and blank-padded to 255 columns. err("ReadKQ", "Error reading
// KQ parameter file") at the end of the file.
std::string readkqline(TextInput& in);

}  // namespace tesk
