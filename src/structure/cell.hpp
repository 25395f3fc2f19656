// Unit-cell geometry: orthogonalisation matrices, coordinate conversion,
// distances, the reciprocal cell and the equivalent isotropic U.
#pragma once

#include <array>
#include <string>

#include "model/atom_table.hpp"
#include "model/cell_symmetry.hpp"

namespace tesk {

struct Run;

float cosd(float deg);
float sind(float deg);
float asind(float x);

// Empty when the six parameters describe a real cell; otherwise what is
// wrong with them (lengths positive and at most kMaxCellEdge Angstrom, angles
// strictly between 0 and 180 degrees and able to close a parallelepiped).
std::string cell_problem(const UnitCell& cell);
constexpr float kMaxCellEdge = 10000.0f;
// A fractional coordinate further than this from the origin is no position:
// single precision no longer resolves a bond there.
constexpr float kMaxFractional = 1000.0f;
// The same limit for a structure given in cartesian coordinates: a thousand
// cells of ten Angstrom. NaN is out of range too.
constexpr double kMaxCartesian = 10.0 * kMaxFractional;
inline bool cartesian_in_range(double x) { return x >= -kMaxCartesian && x <= kMaxCartesian; }

// Both matrices of a cell: fractional -> cartesian and its inverse.
Transf orthogonalise(const UnitCell& cell);
// Builds both matrices of run.transf from run.ucell and prints them to the log.
void tranmat(Run& run);
// Determinant in double precision: for frac_to_cart, the cell volume in A**3.
double determinant(const Mat3& m);
// Inverse of a 3x3 matrix; err("Inverse", "Determinant = 0") when singular.
Mat3 inverse(const Mat3& m);
// iflag 0: fractional -> cartesian; 1: cartesian -> fractional; else err("rabs", ...).
Vec3 rabs(const Transf& t, int iflag, const Vec3& x);
float dist(const Vec3& a, const Vec3& b);
// Reciprocal cell (a*, b*, c*, alpha*, beta*, gamma*) of (a, b, c, alpha, beta, gamma).
std::array<float, 6> r_cell(const std::array<float, 6>& cell);
// Equivalent isotropic U of atom i.
float calcueq(const Run& run, int atom);

}  // namespace tesk
