// The parameter files after the per-atom loop. Each atom's KQ block is
// followed by its fixedH.ins line and its MoPro block, so the three files
// list the atoms in step; the kappa sets and free variables close kq_tesk.inp
// last, after the MoPro files are finished.
#include "output/parameter_files.hpp"

#include "model/run.hpp"
#include "output/fixed_h.hpp"
#include "output/kq_parameter_file.hpp"
#include "output/mopro_files.hpp"

namespace tesk {

void finish_res_mopro(Run& run) { write_res_mopro_end(run); }

void write_parameter_files(Run& run) {
  const bool fixed_h = run.opt.lfh == 1 && run.opt.lsx == 0;
  write_kq_header(run);
  write_mopro_head(run);
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    write_kq_atom(run, i);
    if (fixed_h) write_fixed_h_atom(run, i);
    write_mopro_atom(run, i);
  }
  write_con_mopro_similarity(run);
  write_mopro_end(run);
  write_kq_tail(run);
}

}  // namespace tesk
