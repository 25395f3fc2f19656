// The KQ parameter file, the MoPro atom blocks and constraints, and
// fixedH.ins.
#pragma once

#include <string>

namespace tesk {

struct Run;

// Closing lines of res_mopro.inp after the X-H extension.
void finish_res_mopro(Run& run);
// kq_tesk.inp, the MoPro atom blocks, fixedH.ins and the body of con_mopro.inp.
void write_parameter_files(Run& run);

}  // namespace tesk
