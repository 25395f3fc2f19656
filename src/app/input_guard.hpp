// A run must never write over a file it reads: a previous run's kq_tesk.mas
// and kq_tesk.inp given back as INPUT would be emptied before being read.
#pragma once

namespace tesk {

// Reads the control file once more on its own (printing nothing) to learn
// which files the run will read, and stops, before any output file is
// created, when one of them is also a file the run writes. A control file
// that cannot be read is left for the real reading to report.
void refuse_inputs_that_are_outputs();

}  // namespace tesk
