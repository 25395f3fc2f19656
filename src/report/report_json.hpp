// The machine-readable report of a run, tesk.json: what was read, the cell
// and operators, every atom of the working list with its neighbours and
// rings, and for each input atom everything the per-atom loop decided.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "databank/databank_nearest.hpp"

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

// Atom entries, one at a time, so that a structure of 100000 atoms is never
// held as one document in memory.
class AtomReporter {
 public:
  explicit AtomReporter(Run& run);
  // Working-list atom i (1-based).
  Json atom(int i);

 private:
  Json local(int i);
  Json databank(int i);
  Json atom_ref(int atom) const;
  const std::string& comment(std::size_t header);
  Run& run_;
  NearestEntries nearest_;
  std::vector<std::string> labels_;                    // trimmed, index 0 = atom 1
  std::unordered_map<std::size_t, std::string> comments_;  // entry comments by header line
};

// The rule that decided an atom's axes, in the words the log uses for it.
std::string rule_name(const AxisDecision& d);

// A symmetry operator as coordinate triplet text ("-x,y+1/2,-z+1/2").
std::string operator_text(int op, const Run& run);

// A single-precision value rounded to `decimals` places, as JSON writes it.
double rounded(float value, int decimals);

}  // namespace tesk
