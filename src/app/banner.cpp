// The banner and the commented sample control file printed by "tesk -h".
#include "app/control_file.hpp"
#include "format/fortran_format.hpp"

namespace tesk {

void header(Sink& out) {
  const std::string eq(71, '=');
  out << "\n" << " " + eq + "\n";
  out << "   PROGRAM  T E S K  -  AUTOMATIC SETUP OF THE LOCAL COORDINATE SYSTEM\n";
  out << " " + eq + "\n";
  out << " Program determines the local coordinate system for each atom based on\n";
  out << std::string(16, ' ') + "connectivity and geometrical parameters\n";
  out << " In addition it provides an interface to QUORVEN LAB pseudoatom databank\n";
  out << " Sample TESK input file (tesk.inp) can be printed out with : tesk -h\n";
  out << " " + std::string(71, '-') + "\n";
  out << " This program is distributed in the hope that it will be useful, but\n";
  out << " WITHOUT ANY WARRANTY; without even the implied warranty of fitness.\n";
  out << " " + eq + "\n";
  out << " Local axes, kappa sets and databank transfer for multipole refinement\n";
  out << " of charge densities with the KQ and MoPro programs.\n";
  out << " Report problems with the structure and control files attached.\n";
  out << " " + eq + "\n";
}

void printhelp(Sink& out) {
  static const char* const kSample[] = {
      " ",
      "!",
      "! Example of TESK input file (tesk.inp) : ",
      "!",
      "FORMAT  *shelx kq aim2tab platon ",
      "! for SHELX :",
      "INPUT   l-dopa.shelx   rename 0 tokq ",
      "! for KQ : ",
      "!INPUT   kq.mas kq.inp ",
      "! etc : ",
      "!INPUT file.inp ",
      "! printout level (higher number gives more printout) :",
      "VERBOSE  4",
      "! tolerances for bonds / planar rings / planar groups",
      "TOLS bond 0.4 ring 0.1 group 0.1",
      "! modify covalent radii",
      "!RADII  H 0.1  He 0.2  Li 0.3 ....",
      "! number of cells in each direction for complete fragment search",
      "! comment it out or set to -1 to turn off search",
      "NCELLS  1",
      "! how to handle disordered part",
      "DISORD  extendH  db",
      "! generation of keys",
      "KEYGEN  XYZUIJ all ordered  MULT all ordered",
      "! use simple model for determination of chemical equivalency",
      "SIMPLE",
      "! use/do_not_use chemical/kappa contraints for H/non-H atoms",
      "CHEMCON  *hydrogen   *other",
      "! extend H-atoms to neutron/standard distance ",
      "Extend_H",
      "! search for 3-8 membered rings",
      "RINGS  3  8  *special",
      "! assign pseudoatom parameters from QUORVEN LAB databank",
      "DATABANK /crystal1/usr0001/proteins/db43ed081406.db",
      "! select method for scaling of Pv's ",
      "SCALE *sigma diff fract",
      "! number of fragments ",
      "NFRAG 1",
      "! fragment specifications",
      "!FRAG 1 1 -25",
      "!FRAG 2 26 -50",
      "! net charges of fragments",
      "!CHFRAG 0. 0.",
      " ",
  };
  for (const char* line : kSample) out << ffmt("(100a)", {line});
}

}  // namespace tesk
