// The pseudoatom databank: read once into memory, searched per atom by its
// chemical environment, and the match copied into the per-atom tables.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tesk {

struct Run;
struct Databank;

// Reads the databank file into run.db.bank; false when it cannot be opened.
bool load_databank(Run& run, const std::string& path);
// The same for the databank named in the options (blank name: false).
bool load_databank_file(Run& run);

// Looks atom up in the databank: refreshes its neighbour summary (findnei),
// leaves the first matching entry's parameters (or the defaults) in
// run.db.mpoles1, counts the search in run.opt.ldb_count and logs it.
void readdb(Run& run, int atom);

// The next non-comment line at `pos`, split into its record; `pos` moves past
// it. Returns the line's index. End of file is fatal ("ReadFile").
std::size_t readfile(Databank& bank, std::size_t& pos);

// Checks the optional EXCEPT record at `pos` against the atom's functional
// group: 0 when the entry is acceptable, 1 when it must be skipped. `group`
// receives the entry's group name (40 characters) when one is read.
int exceptdb(Run& run, int atom, std::size_t& pos, std::string& group);

// The comment of the entry whose header is `line`: word 4 of the header to
// its last non-blank character, at most 80 characters.
std::string entry_comment(const Databank& bank, std::size_t line);

// The functional-group name of an EXCEPT record: the text after the word
// GROUP, upper case, 40 characters (blank when the word is missing).
std::string entry_group_name(const Databank& bank, std::size_t line);

// 1-based column of the first non-blank character, 0 when all blank.
int ifs(std::string_view text);

// Free-atom valence population of atomic number z.
float pval(int z);

// Copies the match record into the atom's tables: Pv and P(l,m) scaled by the
// site occupancy, sigma(Pv), and the kappa pair into the atom's kappa set.
void store_db_result(Run& run, int atom);

// For an atom not looked up: Pv = occupancy x free-atom population, and its
// kappa set at kappa = kappa' = 1.
void store_free_atom(Run& run, int atom);

}  // namespace tesk
