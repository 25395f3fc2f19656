// Least-squares planes and planarity tests.
#pragma once

#include <vector>

namespace tesk {

struct Run;

// kind 2 = ring mode (tol2), otherwise group mode (tol3). Returns 1 planar, 0 not.
int planarity(Run& run, bool print, const std::vector<int>& atoms, int kind);
// Writes group.ang: the atom and everything up to three bonds away.
void printgroup(Run& run, int atom);
// Appends atom unless present; returns 1 if it was there.
int checkat(std::vector<int>& list, int atom);

}  // namespace tesk
