// Chemical equivalence: the test the axis rules ask of pairs of neighbours
// (local symmetry) and the kappa-set search that lets equivalent atoms share
// one kappa set and name the earlier atom as their CHEMCON reference.
#pragma once

namespace tesk {

struct Run;
struct AxisDecision;

// 1 when atoms a and b are chemically equivalent, else 0. Criteria in order,
// the first failing decides: atomic number; neighbour count; unless
// `simple`: number of neighbour types, each type's atomic number and count,
// and (with `byring`) the ring size isitcyclic reports; with `bysym` the
// site symmetry; with `bygroup` the functional-group name. At verbosity 3
// or more every test is traced in the log.
int sameatoms(Run& run, int a, int b, bool bysym, bool bygroup, bool simple, bool byring);

// The kappa set and CHEMCON reference of input atom `atom`, right after its
// axis decision: TOKQ takes the scattering type as the set; an ordered atom
// next to a disordered one reuses an independent-atom set of its type or
// opens one; otherwise symmetry-generated axis atoms are replaced
// (checksymeq), the functional group determined (detexcept) and the first
// equivalent earlier atom, if any, lends its set. Sets run.db.kappaset,
// run.db.nkappaset and run.axes.chemcon / rec.chemcon of the atom.
void assign_kappa_set(Run& run, int atom, AxisDecision& d);

}  // namespace tesk
