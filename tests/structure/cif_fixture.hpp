// A run that reads one CIF text with every output stream captured.
#pragma once

#include <sstream>
#include <string>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "output/output_headers.hpp"
#include "structure/cif_reader.hpp"
#include "structure/shelx_fixture.hpp"
#include "test_support.hpp"

namespace tesk::testing {

struct CifRun : CapturedRun {
  // Writes `text` to test.cif in a scratch directory and reads `block` of it.
  void read_text(const std::string& text, const std::string& block = "") {
    ScratchDir dir;
    write_file("test.cif", text);
    readcif(run, "test.cif", block, ShelxHeaders{});
  }

  // Reads `text` and returns the stop it ends with.
  FatalError failure(const std::string& text, const std::string& block = "") {
    return stop_of([&] { read_text(text, block); });
  }
};

}  // namespace tesk::testing
