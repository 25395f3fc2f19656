// Completion of molecular fragments by symmetry copies: the working atom
// list (cryst.nall) grows by every symmetry image bonded to it.
#pragma once

#include "model/atom_table.hpp"
#include "model/fragment_table.hpp"

namespace tesk {

struct Run;

// Whether the disorder parts of two atoms, lying in the symmetry images `ia`
// and `ib` of the asymmetric unit, let them bond: an ordered atom (part 0)
// bonds to every part; atoms of two different parts of one disorder site
// are alternatives and never bond; a negative part, disordered about a
// symmetry element, bonds only within its own image, never to a symmetry
// copy of itself. Parts of different CIF disorder assemblies are independent.
bool parts_allow_bond(const Atom& a, const ImageCode& ia, const Atom& b, const ImageCode& ib);

// Appends to the atom table the symmetry copies bonded to the working list,
// sets run.cryst, writes the log list and complete.ang.
void gencompletefrags(Run& run);

// The working list when no fragment completion runs: the atoms read, no
// copies (nall = natoms, isq and nsq zero).
void set_working_list(Run& run);

}  // namespace tesk
