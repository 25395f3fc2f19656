// The machine-readable report of a run, tesk.json: what was read, the cell
// and operators, every atom of the working list with its neighbours and
// rings, and for each input atom everything the per-atom loop decided. The
// head is built with nlohmann/json; the atoms are streamed (report_atoms.hpp).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace tesk {

struct Run;
struct AxisDecision;
class FatalError;

using Json = nlohmann::ordered_json;

// Raised when a reader of tesk.json must change.
constexpr int kReportFormatVersion = 1;

// The document without its atom list: program, input files, options, cell,
// operators, counts, rings, dummy atoms and the error that stopped the run.
Json report_head(Run& run, const FatalError* error);

// The rule that decided an atom's axes, in the words the log uses for it.
std::string rule_name(const AxisDecision& d);

// A symmetry operator as coordinate triplet text ("-x,y+1/2,-z+1/2").
std::string operator_text(int op, const Run& run);

// A single-precision value rounded to `decimals` places, as JSON writes it.
double rounded(float value, int decimals);

}  // namespace tesk
