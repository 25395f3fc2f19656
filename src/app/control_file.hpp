// The control file tesk.inp: defaults, reading, the option summary, the
// banner and the commented sample control file.
#pragma once

#include <string>

#include "core/line_reader.hpp"
#include "core/sink.hpp"

namespace tesk {

struct Run;

// Sets every option and table of the run to its default.
void init(Run& run);
// Reads the control file (tesk.inp in the current directory) and writes the
// option summary to the log.
void readinp(Run& run, const std::string& path = "tesk.inp");
// The same for a control file already in memory.
void readinp_text(Run& run, TextInput& in);
void prttol(const Run& run, Sink& out);
void header(Sink& out);
void printhelp(Sink& out);
// The option summary written to the log at the end of readinp, after the
// options that depend on each other are settled.
void print_option_summary(const Run& run, Sink& log);

}  // namespace tesk
