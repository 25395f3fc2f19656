// What each fuzz harness does with its bytes, shared with the regression
// test that replays tests/fuzz_regressions/ in the normal suite. A run that
// ends the way a real run can (normally, through err(), or with an
// input-layer read error) is a normal end; a crash, a sanitizer report or any
// other exception is a finding.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_file.hpp"
#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "core/errors.hpp"
#include "local_axes/local_axes.hpp"
#include "model/run.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/shelx_reader.hpp"

namespace tesk::fuzz {

// Structures of more atoms stop after reading, so one execution stays short.
constexpr int kMaxFuzzAtoms = 60;

template <class F>
void run_guarded(F&& body) {
  auto run = std::make_unique<Run>();
  try {
    init(*run);
    body(*run);
  } catch (const FatalError&) {
    // err(), input_error() and stop_run(): the endings a run may have.
  }
}

// Completion with NCELLS 1 and the ring search for sizes 3 to 8, as in the
// common job.
inline void set_connectivity_options(Run& r) {
  r.opt.ftype = 1;
  r.opt.compfrag = 1;
  r.opt.rings_flag = 1;
  r.opt.ring1 = {3, 8, 0};
}

inline void connectivity(Run& r) {
  gencompletefrags(r);
  if (r.cryst.nall > 4 * kMaxFuzzAtoms) return;
  connect4rings(r);
  findrings(r);
  findallneighbors(r);
}

// The control-file reader, the option settling and the option summary.
inline void control_file(std::string_view bytes) {
  run_guarded([&](Run& r) {
    TextInput in;
    in.set_text(bytes);
    readinp_text(r, in);
  });
}

// The SHELX reader, then completion, rings and neighbours on what it read.
inline void shelx(std::string_view bytes) {
  run_guarded([&](Run& r) {
    set_connectivity_options(r);
    TextInput in;
    in.set_text(bytes);
    readshelx_text(r, in, "fuzz.ins", ShelxHeaderListener{});
    if (r.atoms.natoms > kMaxFuzzAtoms) return;
    connectivity(r);
  });
}

// The databank `bytes` searched for every atom of `structure` through the
// per-atom loop.
inline void databank(std::string_view bytes, std::string_view structure) {
  run_guarded([&](Run& r) {
    set_connectivity_options(r);
    r.opt.ldb = 1;
    TextInput in;
    in.set_text(structure);
    readshelx_text(r, in, "structure.ins", ShelxHeaderListener{});
    TextInput bank;
    bank.set_text(bytes);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < bank.size(); ++i) lines.push_back(bank.record(i));
    r.db.bank.load(std::move(lines), "fuzz.db");
    connectivity(r);
    localdef(r);
  });
}

}  // namespace tesk::fuzz
