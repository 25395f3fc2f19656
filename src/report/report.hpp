// The report a run writes when tesk.inp says REPORT: tesk.json for programs,
// tesk.html for a person.
#pragma once

namespace tesk {

struct Run;
class FatalError;

// Writes tesk.json and tesk.html in the current directory from the run's
// tables. `error` is the fatal stop that ended the run early, or null.
// A file that cannot be opened stops the run ("Report").
void write_report(Run& run, const FatalError* error);

}  // namespace tesk
