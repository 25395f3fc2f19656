// Least-squares planes through groups of atoms, the planarity verdict for
// rings and atomic groups, and the neighbourhood file group.ang.
#pragma once

#include <array>
#include <vector>

namespace tesk {

struct Run;

// The plane P x + Q y + R z = S through a set of atoms, (P, Q, R) the unit
// normal, with each atom's signed distance from it and the rms deviation.
struct PlaneFit {
  std::array<float, 3> normal{};  // P, Q, R
  float s = 0.0f;                 // S, distance of the plane from the origin
  std::vector<float> deviation;   // per atom, in the order given
  // sqrt(sum dev^2 / (n - 3)); 0 for three points or fewer, which always
  // lie in a plane.
  float sigpln = 0.0f;
};

PlaneFit lsqplane(const Run& run, const std::vector<int>& atoms);

constexpr int kRingMode = 2;
constexpr int kGroupMode = 3;

// kind 2 = ring mode (tol2), otherwise group mode (tol3). Returns 1 planar, 0 not.
int planarity(Run& run, bool print, const std::vector<int>& atoms, int kind);
// Writes group.ang: the atom and everything up to three bonds away.
void printgroup(Run& run, int atom);
// Appends atom unless present; returns 1 if it was there.
int checkat(std::vector<int>& list, int atom);

}  // namespace tesk
