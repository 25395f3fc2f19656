// The driver's own lines in the MoPro files and the PLATON plot file.
#pragma once

namespace tesk {

struct Run;

void write_mopro_par_header(Run& run);
void write_con_mopro_header(Run& run);
void write_spf_start(Run& run);
// Dummy atoms, the JOIN RADII line and the drawing instructions; closes tesk.spf.
void finish_spf(Run& run);

}  // namespace tesk
