// The pseudoatom databank file held in memory: its raw lines, each line split
// into keyword words and numbers on first use, and an index of entry headers
// by atomic number, so that a search visits only the entries of one element.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesk {

constexpr int kDbLineLength = 200;      // databank lines are read into 200 columns
constexpr int kMaxNeighbourTypes = 10;  // neighbour-type lines per entry

// A databank line as the record reader sees it: upper-cased and split into
// keyword words (cut to 8 characters) and the numbers left in the line.
struct DbRecord {
  std::vector<std::string> kword;  // keyword words in line order, 8 characters each
  std::string key;                 // the first keyword word without trailing blanks
  std::string numbers;             // the line with its keyword words blanked
  int nnum = 0;                    // number words in the line
  // The numbers read in order as free-format integers / reals, up to the first
  // that does not read; *_stop_bad tells whether reading stopped on a bad field
  // (true) or at the end of the line (false).
  std::vector<int> ints;
  bool ints_stop_bad = false;
  std::vector<float> reals;
  bool reals_stop_bad = false;

  // Keyword word i (1-based), 8 blanks beyond the last.
  const std::string& word(int i) const;
  bool keyword_is(std::string_view key) const;
};

struct Databank {
  std::string path;                 // file name, for read-error messages
  std::vector<std::string> raw;     // lines as stored, cut to 200 columns
  // Entry headers ("ATOM" in columns 1-4) by the atomic number of word 2, in
  // file order; headers whose word 2 is missing or not an integer are kept
  // apart, since the file scan stops on them whatever element it looks for.
  std::map<int, std::vector<std::size_t>> headers;
  std::vector<std::size_t> bad_headers;

  // Fills the bank from the lines of a file; clears what was there.
  void load(std::vector<std::string> lines, std::string name);
  std::size_t size() const { return raw.size(); }
  bool empty() const { return raw.empty(); }

  // The raw line blank-padded to 200 columns.
  std::string padded(std::size_t line) const;
  // The split form of a line, made on first use.
  const DbRecord& record(std::size_t line);
  // First header at or after `from` that a scan for atomic number z must stop
  // at: one of element z, or one whose atomic number cannot be read.
  struct HeaderHit {
    std::size_t line;
    bool readable;  // false: word 2 is missing or not an integer
  };
  std::optional<HeaderHit> next_header(int z, std::size_t from) const;
  // Index of the first line at or after `from` that is not a comment ('!' in
  // column 1); size() at the end of the file.
  std::size_t next_noncomment(std::size_t from) const;

 private:
  std::vector<std::optional<DbRecord>> split_;
  std::vector<std::size_t> next_noncomment_;
};

// True when a raw line starts a databank entry: exactly "ATOM" in columns 1-4.
bool is_entry_header(std::string_view raw);

// Splits one databank line as the record reader does.
DbRecord split_record(std::string_view raw);

}  // namespace tesk
