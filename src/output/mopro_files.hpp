// The model for the refinement program MoPro: the body of mopro_tesk.par,
// the similarity section of con_mopro.inp and the closing lines of
// res_mopro.inp.
#pragma once

namespace tesk {

struct Run;
class Sink;

// mopro_tesk.par: the DUMMY, KAPPA and ATOMS sections up to the first atom.
void write_mopro_head(const Run& run, Sink& f);
// mopro_tesk.par: one atom's block (atom line, axis line, ADPs, populations).
void write_mopro_atom(const Run& run, Sink& f, int atom);
// mopro_tesk.par: the empty ANHAR section and STOP.
void write_mopro_end(Sink& f);
// con_mopro.inp: the commented-out CONPVM lines; closes the file.
void write_con_mopro_similarity(const Run& run, Sink& con);
// res_mopro.inp: the hydrogens' URATIO lines; closes the file.
void write_res_mopro_end(Run& run);

}  // namespace tesk
