// kq_tesk.inp, the KQ parameter file: starting values of every refinable
// parameter of the multipole model, in the package's fixed columns.
#pragma once

namespace tesk {

struct Run;

// Stops (before the file is opened) when a number would not fit the column
// the refinement package reads it from: asterisks there are a corrupt file.
void check_kq_columns(const Run& run);
// Title, model, LIMITS and USAGE lines, the zero line pair, the dummy atoms.
void write_kq_header(Run& run);
// The three parts of one input atom's block.
void write_kq_atom(Run& run, int atom);
// The kappa sets, then the free variables with the scale factor last.
void write_kq_tail(Run& run);

}  // namespace tesk
