// A run started from a KQ pair keeps the user's instructions: the new master
// file copies the previous one (run.opt.kqold) around the two sections this
// run writes itself, the ATOM table and the KEY table.
#pragma once

#include <string>
#include <string_view>

#include "core/line_reader.hpp"

namespace tesk {

struct Run;
class Sink;

// The previous master file, read from its first line on. A line that ends a
// skip or copy step and is missing stops the run with a read error (exit
// status 2) that names the line.
class PreviousMaster {
 public:
  // Opens run.opt.kqold; err("ReadKQ", "Error opening KQ master file...") when it cannot.
  explicit PreviousMaster(const Run& run);

  // The lines before the first one beginning with "ATOM" (title, cell,
  // symmetry, refinement header): copied to `out`, or only passed over.
  void copy_head(Sink& out);
  void skip_head();
  // Skips to the END ATOM line and copies the instructions between it and
  // the line beginning with "KEY ".
  void copy_middle(Sink& out);
  // Skips the old KEY rows and copies from the line beginning with "EXTCN "
  // to the end of the file.
  void copy_tail(Sink& out);

 private:
  enum class Until { Atom, End, Key, Extcn };
  // Reads up to the line that ends the step and leaves it unread; the lines
  // before it go to `out` when given.
  void read_until(Until stop, Sink* out);

  TextInput in_;
  std::string file_;
};

// Before the ATOM table of a run from a KQ pair: the previous file's head.
void copy_kq_master_head(Run& run);

// `record` as the copy writes it: cut to 200 columns and written up to its
// last non-blank column (an all-blank line as 200 blanks).
void copy_master_line(Sink& out, std::string_view record);

}  // namespace tesk
