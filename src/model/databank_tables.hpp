// Per-atom results of functional-group recognition and databank transfer.
#pragma once

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/databank_file.hpp"

namespace tesk {

// Multipole populations P(l,m), l = 0..4, m = -4..4.
struct Populations {
  std::array<std::array<float, 9>, 5> p{};
  float& at(int l, int m) { return p[static_cast<std::size_t>(l)][static_cast<std::size_t>(m + 4)]; }
  float at(int l, int m) const { return p[static_cast<std::size_t>(l)][static_cast<std::size_t>(m + 4)]; }
};

// The match record of the last databank search.
struct MatchRecord {
  int ifind = 0;
  float Pval = 0.0f;
  float sigmaPv = 0.01f;
  std::array<float, 2> kappa{1.0f, 1.0f};
  Populations plm;
};

struct ExceptRow {
  int flag = 0;
  std::string group = std::string(40, ' ');
};

struct AtomPoles {
  float pv = 0.0f;
  float sigma = 0.0f;
  Populations plm;
};

struct KappaSet {
  std::array<float, 2> kappa{1.0f, 1.0f};
  int sftype = 0;
};

// One databank search as the atom looked to it, and what it found: the
// environment is kept so that a search without a match can be explained.
struct DbLookup {
  bool searched = false;
  bool found = false;
  std::size_t header = 0;        // 0-based line of the matching entry's header
  int ityp = 0;                  // atomic number
  int inei = 0;                  // bonded neighbours
  std::vector<int> ztyp;         // neighbour elements, ascending
  std::vector<int> ntnei;        // and their counts
  int iring = 0;
  int imemb = 0;
  bool lpg = false;
  std::string asymi;             // site symmetry, upper case, 5 characters
  std::array<int, 3> forh{};     // hydrogens: parent nnei, parent Z, parent's H count
};

struct DatabankState {
  Databank bank;                           // the databank file, read once
  MatchRecord mpoles1;
  std::vector<ExceptRow> except;           // per atom, index 0 = atom 1
  std::vector<std::array<int, 3>> forh;    // per atom: parent nnei, parent Z, parent's H count
  std::vector<AtomPoles> mpoles;           // per atom
  std::vector<KappaSet> kappas;            // per kappa set, index 0 = set 1
  int nkappas = 0;                         // highest kappa set in use
  int nkappaset = 0;                       // kappa sets created so far
  std::vector<int> kappaset;               // per atom: its kappa set
  // Environment of the atom being searched, set by the axis rules.
  int iring = 0;
  int imemb = 0;
  bool lpg = false;
  // Outcome of each search already made, by everything the search compares
  // (the first fitting entry depends on nothing else), when no per-entry
  // trace is printed: the match record and the entry's header line.
  struct Outcome {
    MatchRecord match;
    std::size_t header = 0;
  };
  std::unordered_map<std::string, Outcome> outcomes;
  std::vector<DbLookup> lookup;            // per atom, index 0 = atom 1
};

}  // namespace tesk
