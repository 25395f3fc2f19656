// Why an atom found no databank entry: the entries of its element that come
// closest, each with the descriptors in which it differs from the atom.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/databank_tables.hpp"

namespace tesk {

// One descriptor in which an entry differs from the atom, both values as text.
struct DescriptorDifference {
  std::string descriptor;
  std::string atom;
  std::string entry;
};

struct NearEntry {
  std::size_t header = 0;  // 0-based line of the entry's header
  std::string comment;
  std::vector<DescriptorDifference> differences;
};

// An entry's environment as the search compares it, read once per element.
struct EntryEnvironment {
  std::size_t header = 0;
  bool readable = false;       // the NEIG / PRNT record and its lines could be read
  // NEIG entries
  int jnei = 0, jring = 0, jmemb = 0;
  std::vector<int> jatum, jndt;  // neighbour-type lines
  char planar = ' ';           // 'T', 'F' or blank when the word is missing
  // PRNT entries
  int jhp = 0, jsp = 0, jhnei = 0;
  std::string asymr;           // 5 characters
  std::string group;           // 40 characters, blank when there is no EXCEPT record
};

// Finds the nearest entries for atoms that the search did not match. The
// entries of an element are read once, from the bank already in memory; a
// databank line that cannot be read makes its entry no candidate instead of
// stopping the run, since the search itself may never have read it.
class NearestEntries {
 public:
  explicit NearestEntries(Databank& bank) : bank_(bank) {}

  // The `count` entries of the atom's element with the fewest differing
  // descriptors, ties in file order. Descriptors: neighbours of each element,
  // ring code, site symmetry, planarity, functional group; for hydrogens the
  // PRNT values (parent element, parent neighbours, hydrogens on the parent),
  // site symmetry and functional group.
  std::vector<NearEntry> find(const DbLookup& atom, const ExceptRow& group, std::size_t count = 3);

 private:
  const std::vector<EntryEnvironment>& entries_of(int z);
  EntryEnvironment read_entry(int z, std::size_t header, std::size_t end);

  Databank& bank_;
  std::map<int, std::vector<EntryEnvironment>> entries_;
  std::vector<std::size_t> all_headers_;
  std::unordered_map<std::string, std::vector<NearEntry>> done_;
};

// The descriptors in which one entry differs from the atom.
std::vector<DescriptorDifference> differences(const DbLookup& atom, const ExceptRow& group,
                                              const EntryEnvironment& entry);

}  // namespace tesk
