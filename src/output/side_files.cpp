// Fixed lines of mopro_tesk.par, con_mopro.inp and the PLATON plot file tesk.spf.
#include "output/side_files.hpp"

#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/dummy_atoms.hpp"
#include "model/elements.hpp"

namespace tesk {

void write_mopro_par_header(Run& run) {
  Sink& f = run.out.mopropar;
  f << ffmt("(100a)", {std::string(80, '!')});
  f << ffmt("(100a)", {"!               CREATED BY PROGRAM << TESK >>"});
  f << ffmt("(100a)", {"!  MoPro parameter file: local axes, kappa sets and multipoles"});
  f << ffmt("(100a)", {"!  of every atom of the structure"});
  f << ffmt("(100a)", {std::string(80, '!')});
  f << ffmt("(100a)", {"!  "});
}

void write_con_mopro_header(Run& run) {
  for (const char* line : {"!", "! local symmetry  ", "!"}) run.out.conmopro << ffmt("(a)", {line});
}

void write_spf_start(Run& run) {
  run.out.spf << ffmt("(a)", {"TITL X-green, Y-yellow, Z-brown, Dummy(D)-orange"});
  run.out.spf << ffmt("(a)", {"ANGSTROM"});
}

void finish_spf(Run& run) {
  Sink& f = run.out.spf;
  const int ndum = run.axes.dummy.ndum();
  // D(1) .. D(9), then D(10) and on with all digits (PLATON reads the file
  // in free format), so that no two dummies share a label.
  for (int j = 1; j <= ndum; ++j) {
    const Vec3 x = dummy_xc(run, j);
    f << ffmt("('ATOM D(',a,')',2x,3f14.4)", {std::to_string(j), x[0], x[1], x[2]});
  }
  std::vector<FArg> radii;
  for (int z : run.types.tz) {
    radii.emplace_back(atsym(z));
    radii.emplace_back(z >= 0 && z < static_cast<int>(run.covrad.size())
                           ? run.covrad[static_cast<std::size_t>(z)]
                           : 0.0f);
  }
  for (const char* axis : {"X", "Y", "Z"}) {
    radii.emplace_back(axis);
    radii.emplace_back(0.01f);
  }
  if (ndum > 0) {
    radii.emplace_back("D");
    radii.emplace_back(0.01f);
  }
  f << ffmt("('JOIN RADII ',100(1x,a2,f5.2))", radii);
  for (const char* line :
       {"SOLID COLOR", "COLOR TYPE X GREEN Y YELLOW Z BROWN D ORANGE", "RADII ATOMS ALL 0.06",
        "RADII ATOMS X 0.02", "RADII ATOMS Y 0.02", "RADII ATOMS Z 0.02", "RADII BONDS ALL 0.01 1",
        "RADII BONDS TO X 0.01 1", "RADII BONDS TO Y 0.01 1", "RADII BONDS TO Z 0.01 1",
        "RADII BONDS TO D 0.00 0", "DETACH X Y", "DETACH X Z", "DETACH Y Z", "DETACH X X",
        "DETACH Y Y", "DETACH Z Z", "LABEL ON", "LABEL H", "UNLABEL X Y Z"})
    f << ffmt("(a)", {line});
  if (ndum > 0) {
    for (const char* line :
         {"RADII ATOMS D 0.02", "DETACH D X", "DETACH D Y", "DETACH D Z", "LABEL D"})
      f << ffmt("(a)", {line});
    for (int z : run.types.tz) f << ffmt("('DETACH D ',a2)", {atsym(z)});
  }
  f << ffmt("(a)", {"PLOT"});
  f.close();
}

}  // namespace tesk
