// Completion of molecular fragments by symmetry copies: the working atom
// list (cryst.nall) grows by every symmetry image bonded to it.
#pragma once

namespace tesk {

struct Run;

// Appends to the atom table the symmetry copies bonded to the working list,
// sets run.cryst, writes the log list and complete.ang.
void gencompletefrags(Run& run);

// The working list when no fragment completion runs: the atoms read, no
// copies (nall = natoms, isq and nsq zero).
void set_working_list(Run& run);

}  // namespace tesk
