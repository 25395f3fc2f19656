// Space-group operators: symmetry cards, lattice centring, inversion centre,
// printouts, and the occupancy flag of special-position and disordered atoms.
#pragma once

#include <string>
#include <string_view>

#include "control/line_reader.hpp"
#include "structure/cell_symmetry.hpp"

namespace tesk {

struct Run;

// x' = op applied to fractional x.
Vec3 apply_op(const SymOp& op, const Vec3& x);

// Reads every card starting with "SYM" from `in` (rewound first) into
// run.symm, operator 1 the identity, and prints them to the log.
void getsym(Run& run, TextInput& in);
// Parses one card and appends its operators; returns false when illegal.
bool symcrd(Run& run, std::string_view card);
// One component expression ("-X+1/2"): translation and axis coefficients.
bool symop(std::string_view text, float& t, std::array<float, 3>& rotcol);
// Text form of operator s (1-based), as printed by symout.
std::string opout(const SymOp& op);
void symout(Run& run, int s);
// Lattice-centring copies for letter C, A, B, I, F or R.
void nonp(Run& run, char letter);
void checkts(Symmetry& symm);
void addcentsymm(Run& run);
void prsymop(Run& run);
void checkocc(Run& run);

}  // namespace tesk
