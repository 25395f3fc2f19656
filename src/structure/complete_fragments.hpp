// Completion of molecular fragments by symmetry copies.
#pragma once

namespace tesk {

struct Run;

// Appends to the atom table the symmetry copies bonded to the working list,
// sets run.cryst, writes the log list and complete.ang.
void gencompletefrags(Run& run);

}  // namespace tesk
