// fixedH.ins lines, written after the X-H extension has moved the hydrogens.
#include "output/fixed_h.hpp"

#include "core/line_reader.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"

namespace tesk {

void write_fixed_h_atom(Run& run, int atom) {
  const Atom& a = run.atoms.at(atom);
  // SHELX reads atom lines in free format: a scattering type beyond I4
  // takes all its digits.
  run.out.fixedh << ffmt("(a,1x,a,2x,3f12.6,2x,f10.5,1x,f8.4)",
                         {fixed_width(a.label, 8), wide_int(a.sftype, 4), a.xf[0], a.xf[1], a.xf[2],
                          a.occ, a.uij[0]});
}

}  // namespace tesk
