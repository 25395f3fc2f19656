// The KQ master file kq_tesk.mas after its ATOM table: the refinement
// controls, the KEY table of refined parameters with its KAPPA lines, the
// closing lines and the property and geometry modules.
#pragma once

#include <string>

#include "core/sink.hpp"

namespace tesk {

struct Run;

// The refinement-control block written between END ATOM and the KEY table
// for a SHELX start: KEEP kappa 1..nkappa (20 to a line), WEIGHT from the
// SHELX weighting values, and the fixed SKIP/PRINT lines.
void wrkqmas1(const Run& run, Sink& out, int nkappa);

// The 68-character KEY code of input atom `atom`: positions and
// displacements ("XYZ --U2-- ----U3---- ------U4------- ") then multipoles
// ("M- -D- --Q-- ---O--- ----H----") by site symmetry, each 1 refined, 0 fixed.
std::string getkey(const Run& run, int atom);

// The property and geometry modules that close a master file from a SHELX start.
void wrkqmas2(const Run& run, Sink& out);

// Everything after "END ATOM": the control block (SHELX input), the KEY
// table, its KAPPA lines and tail, and for SHELX input the closing lines and
// modules. A KQ start copies the control block and the tail from the previous
// master file instead; AIM2TAB and PLATON inputs write the KEY table only
// (PLATON without its tail).
void write_kq_master_tail(Run& run);

}  // namespace tesk
