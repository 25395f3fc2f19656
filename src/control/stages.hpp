// Stages of the pipeline that are not built yet: the other structure
// readers, the per-atom loop, the parameter files.
#pragma once

#include <string>

namespace tesk {

struct Run;

void readkq(Run& run, const std::string& parfile);
void readaim2tab(Run& run, const std::string& filename);
void readplaton(Run& run, const std::string& filename);
// The per-atom loop: local axes, equivalence, databank transfer.
void localdef(Run& run);
// Closing lines of res_mopro.inp after the X-H extension.
void finish_res_mopro(Run& run);
// Valence populations rescaled to fragment charges.
void rescalepv(Run& run);
// kq_tesk.inp, the MoPro atom blocks, fixedH.ins and the body of con_mopro.inp.
void write_parameter_files(Run& run);

}  // namespace tesk
