// Readers of structures given in cartesian coordinates without cell or
// symmetry: the PLATON coordinate list and the AIM2TAB output table.
#pragma once

#include <string>

#include "core/line_reader.hpp"

namespace tesk {

struct Run;

// AIM2TAB table, coordinates in bohr.
void readaim2tab(Run& run, const std::string& filename);
// PLATON coordinate list.
void readplaton(Run& run, const std::string& filename);
// The same from files already in memory; `filename` names them in messages.
void readaim2tab_text(Run& run, TextInput& in, const std::string& filename);
void readplaton_text(Run& run, TextInput& in, const std::string& filename);

}  // namespace tesk
