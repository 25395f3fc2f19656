// The parameter files after the per-atom loop. Each atom's KQ block is
// followed by its fixedH.ins line and its MoPro block, so the three files
// list the atoms in step; the kappa sets and free variables close kq_tesk.inp
// last, after the MoPro files are finished.
#include "output/parameter_files.hpp"

#include <functional>
#include <future>

#include "model/run.hpp"
#include "output/fixed_h.hpp"
#include "output/kq_parameter_file.hpp"
#include "output/mopro_files.hpp"

namespace tesk {

void finish_res_mopro(Run& run) { write_res_mopro_end(run); }

namespace {

// The MoPro files read the run's tables and write only their own files, so
// they are written on a second thread while this one writes the KQ file and
// fixedH.ins; each file gets its lines in the same order as before.
void write_mopro_files(const Run& run, Sink& par, Sink& con) {
  write_mopro_head(run, par);
  for (int i = 1; i <= run.atoms.natoms; ++i) write_mopro_atom(run, par, i);
  write_con_mopro_similarity(run, con);
  write_mopro_end(par);
}

}  // namespace

void write_parameter_files(Run& run) {
  const bool fixed_h = run.opt.lfh == 1 && run.opt.lsx == 0;
  auto mopro = std::async(std::launch::async, write_mopro_files, std::cref(run),
                          std::ref(run.out.mopropar), std::ref(run.out.conmopro));
  try {
    write_kq_header(run);
    for (int i = 1; i <= run.atoms.natoms; ++i) {
      write_kq_atom(run, i);
      if (fixed_h) write_fixed_h_atom(run, i);
    }
  } catch (...) {
    mopro.wait();
    throw;
  }
  mopro.get();
  write_kq_tail(run);
}

}  // namespace tesk
