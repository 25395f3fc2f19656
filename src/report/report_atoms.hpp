// The atom list of tesk.json, written one atom at a time straight to the
// file, each atom also handing the page what it shows.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "databank/databank_nearest.hpp"

namespace tesk {

struct Run;
struct AxisDecision;
class JsonWriter;
class ReportPage;
struct PageRow;

class AtomReporter {
 public:
  AtomReporter(Run& run, ReportPage& page);
  // Working-list atom i (1-based) as one value of the atom list.
  void write(int i, JsonWriter& out);

 private:
  void local(int i, JsonWriter& out, PageRow& row);
  void databank(int i, JsonWriter& out, PageRow& row);
  void atom_ref(JsonWriter& out, int atom) const;
  void neighbours(JsonWriter& out, int i) const;
  const std::string& element(int z);
  const std::string& rule(const AxisDecision& d);
  // The entry's comment and the page's outcome text "line N: comment".
  const std::pair<std::string, std::string>& entry(std::size_t header);

  Run& run_;
  ReportPage& page_;
  NearestEntries nearest_;
  std::vector<NearEntry> near_;                        // the last atom's nearest entries
  std::vector<std::string> labels_;                    // trimmed, index 0 = atom 1
  std::vector<std::string> elements_;                  // trimmed symbols by atomic number
  std::map<std::pair<int, int>, std::string> rules_;   // by rule and three-neighbour case
  std::unordered_map<std::size_t, std::pair<std::string, std::string>> entries_;  // by header line
};

// The nearest entries of an atom not found, as tesk.json and the page hold them.
void write_nearest(JsonWriter& out, const std::vector<NearEntry>& near);

}  // namespace tesk
