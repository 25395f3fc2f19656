// Space-group operators: symmetry cards, lattice centring, inversion centre,
// printouts, and the occupancy flag of special-position and disordered atoms.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/line_reader.hpp"
#include "model/atom_table.hpp"
#include "model/cell_symmetry.hpp"

namespace tesk {

struct Run;

// x' = op applied to fractional x.
Vec3 apply_op(const SymOp& op, const Vec3& x);

// Reads every card starting with "SYM" from `in` (rewound first) into
// run.symm, operator 1 the identity, and prints them to the log.
void getsym(Run& run, TextInput& in);
// Parses one card ("SYMM -X, 1/2+Y, -Z"; up to three operators separated by
// ';') and appends its operators. Returns false at the first illegal
// operator, which is not appended (operators before it on the card stay).
bool symcrd(Run& run, std::string_view card);
// One component expression ("-X+1/2"): translation and axis coefficients.
// False when the translation is a fraction with a zero denominator.
bool symop(std::string_view text, float& t, std::array<float, 3>& rotcol);
// Takes the axis terms (+X, -Y, Z ...) out of a blank-free component,
// setting their coefficients; `text` keeps the remainder.
void removerot(std::string& text, std::array<float, 3>& rotcol);
// Cuts `text` at `delimiter` (a blank: at runs of blanks) into at most `n`
// trimmed, non-empty items, each cut to `maxlen` characters.
std::vector<std::string> split(std::string_view text, char delimiter, int n, int maxlen);

// Crystallographic translations are multiples of 1/12. A decimal written to
// two places or more (0.33, 0.6667, 0.0833) lies within 0.005 of the twelfth
// it stands for, while twelfths lie 0.083 apart: such a value is read as that
// twelfth, counted here (0.6667 gives 8). No count when t lies farther off.
std::optional<long> twelfths(double t);
// t snapped onto its twelfth, or t itself when it is no rounded twelfth.
float snap_twelfth(double t);

// Text form of an operator, as printed by symout (" - X, 1/2 + Y, - Z").
std::string opout(const SymOp& op);
void symout(Run& run, int s);
// Lattice-centring copies for letter C, A, B, I, F or R (obverse).
void nonp(Run& run, char letter);
void checkts(Symmetry& symm);
void addcentsymm(Run& run);
void prsymop(Run& run);
// A site that an operator brings within the rounding of four-decimal
// coordinates of itself is on a special position: the exact point of that
// position (x itself for a general position).
Vec3 special_position(const Run& run, const Vec3& xf);
// Moves every read atom onto its special position (xf and xc), logging the
// atoms moved visibly; the readers call it before anything uses the sites.
void snap_special_positions(Run& run);
void checkocc(Run& run);

}  // namespace tesk
