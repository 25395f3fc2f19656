// A run that reads one SHELX file with every output stream captured.
#pragma once

#include <sstream>
#include <string>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "output/output_headers.hpp"
#include "structure/shelx_reader.hpp"
#include "test_support.hpp"

namespace tesk::testing {

// A run with its log, console, KQ master and MoPro streams captured, and
// the stop a reader ends with.
struct CapturedRun {
  tesk::Run run;
  std::ostringstream log, console, kq, mopro;

  CapturedRun() {
    run.out.log.attach(log);
    run.out.console.attach(console);
    run.out.kqmas.attach(kq);
    run.out.mopropar.attach(mopro);
  }

  template <class Read>
  static FatalError stop_of(Read read) {
    try {
      read();
    } catch (const FatalError& e) {
      return e;
    }
    return FatalError(FatalError::Kind::Err, "none", "the file was read to the end");
  }

  const Atom& atom(int i) const { return run.atoms.at(i); }
};

struct ShelxRun : CapturedRun {
  // Writes `text` to a file in a scratch directory and reads it.
  void read_text(const std::string& text) {
    ScratchDir dir;
    write_file("test.ins", text);
    readshelx(run, "test.ins", ShelxHeaders{});
  }

  // Reads `text` and returns the stop it ends with.
  FatalError failure(const std::string& text) {
    return stop_of([&] { read_text(text); });
  }
};

}  // namespace tesk::testing
