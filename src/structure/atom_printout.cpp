// The atom list with its occupancy flags, and the scattering types, as the
// readers print them to the log.
#include "structure/atom_printout.hpp"

#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"

namespace tesk {

void prattyp(Run& run) {
  run.out.log << ffmt("(/a,i4)", {" Number of atom types = ", run.types.ntypes()});
  for (int t = 1; t <= run.types.ntypes(); ++t) {
    const int z = run.types.z_of(t);
    run.out.log << ffmt("(3x,'atom type = ',a,3x,' atomic number = ',i3)", {atsym(z), z});
  }
}

void printatoms(const Run& run, Sink& out) {
  out << "\n" << std::string(9, ' ') << "ATOM" << std::string(6, ' ')
      << "------- FRACTIONAL -------" << std::string(4, ' ')
      << "------- CARTESIAN -------  FLAG\n";
  int normal = 0, special = 0, disordered = 0;
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const Atom& a = run.atoms.at(i);
    out << ffmt("(i7,2x,a,1x,3f9.5,2x,3f9.4,i6)",
                {i, a.label, a.xf[0], a.xf[1], a.xf[2], a.xc[0], a.xc[1], a.xc[2], a.flag});
    if (a.flag == 0) ++normal;
    if (a.flag == 1) ++special;
    if (a.flag == -1) ++disordered;
  }
  out << ffmt("(/a,i5,a)", {" FLAG =  0 : normal atoms ( ", normal, " )"});
  out << ffmt("(a,i5,a)", {"      =  1 : atoms in special positions ( ", special, " ) "});
  out << ffmt("(a,i5,a)", {"      = -1 : disordered atoms ( ", disordered, " ) "});
}

}  // namespace tesk
