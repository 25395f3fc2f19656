// The whole run, from the command line to the exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tesk {

// Runs TESK in the current directory. `args` are the command-line arguments
// after the program name; `console_out`/`console_in` stand for the terminal.
// Returns the process exit status.
int run_tesk(const std::vector<std::string>& args, std::ostream& console_out,
             std::istream& console_in);

}  // namespace tesk
