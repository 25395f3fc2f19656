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
#include "structure/cartesian_readers.hpp"
#include "structure/cif_reader.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/kq_reader.hpp"
#include "structure/shelx_reader.hpp"

namespace tesk::fuzz {

// Structures of more atoms stop after reading, so one execution stays short.
constexpr int kMaxFuzzAtoms = 60;
constexpr int kMaxFuzzCompletedAtoms = 2000;

template <class F>
void run_guarded(F&& body) {
  auto run = std::make_unique<Run>();
  try {
    init(*run);
    // Fragment completion stops at this many atoms ("Too many atoms"), so a
    // small input that symmetry multiplies by thousands stays short.
    run->atoms.capacity = kMaxFuzzCompletedAtoms;
    body(*run);
  } catch (const FatalError&) {
    // err(), input_error() and stop_run(): the endings a run may have.
  }
}

// The input format, completion with NCELLS 1 and the ring search for sizes
// 3 to 8, as in the common job.
inline void set_connectivity_options(Run& r, InputFormat format) {
  r.opt.ftype = static_cast<int>(format);
  r.opt.compfrag = 1;
  r.opt.rings_flag = 1;
  r.opt.ring1 = {3, 8, 0};
}

// As a run does it: fragment completion for structures with a cell, the
// atoms as read for the cartesian formats.
inline void connectivity(Run& r) {
  if (r.opt.ifra == 1)
    gencompletefrags(r);
  else
    set_working_list(r);
  if (r.cryst.nall > 4 * kMaxFuzzAtoms) return;
  connect4rings(r);
  findrings(r);
  findallneighbors(r);
}

// A structure reader in the common job: `read` fills the run from the
// bytes, then, for structures small enough, completion, rings and neighbours.
template <class Read>
void read_then_connect(InputFormat format, Read&& read) {
  run_guarded([&](Run& r) {
    set_connectivity_options(r, format);
    read(r);
    if (r.atoms.natoms > kMaxFuzzAtoms) return;
    connectivity(r);
  });
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
  read_then_connect(InputFormat::Shelx, [&](Run& r) {
    TextInput in;
    in.set_text(bytes);
    readshelx_text(r, in, "fuzz.ins", ShelxHeaderListener{});
  });
}

// The CIF reader (first block with atom sites), then completion, rings and
// neighbours on what it read.
inline void cif(std::string_view bytes) {
  read_then_connect(InputFormat::Cif, [&](Run& r) {
    readcif_text(r, bytes, "fuzz.cif", "", ShelxHeaderListener{});
  });
}

// A KQ pair in one input: the master file, a line "%%%%", the parameter
// file (without the separator line everything is the parameter file).
inline void kq(std::string_view bytes) {
  read_then_connect(InputFormat::Kq, [&](Run& r) {
    std::string_view master, par = bytes;
    for (std::size_t at = 0; (at = bytes.find("%%%%", at)) != std::string_view::npos; at += 4) {
      if (at != 0 && bytes[at - 1] != '\n') continue;
      master = bytes.substr(0, at);
      const std::size_t eol = bytes.find('\n', at);
      par = eol == std::string_view::npos ? std::string_view{} : bytes.substr(eol + 1);
      break;
    }
    TextInput m, p;
    m.set_text(master);
    p.set_text(par);
    readkq_text(r, m, p, "fuzz.inp");
  });
}

// The first byte chooses the format (even: PLATON, odd: AIM2TAB), the rest
// is the file; then rings and neighbours on the atoms as read.
inline void cartesian(std::string_view bytes) {
  if (bytes.empty()) return;
  const bool platon = (static_cast<unsigned char>(bytes[0]) & 1) == 0;
  read_then_connect(platon ? InputFormat::Platon : InputFormat::Aim2tab, [&](Run& r) {
    r.opt.ifra = 0;
    TextInput in;
    in.set_text(bytes.substr(1));
    if (platon)
      readplaton_text(r, in, "fuzz.ang");
    else
      readaim2tab_text(r, in, "fuzz.tab");
  });
}

// The databank `bytes` searched for every atom of `structure` through the
// per-atom loop.
inline void databank(std::string_view bytes, std::string_view structure) {
  run_guarded([&](Run& r) {
    set_connectivity_options(r, InputFormat::Shelx);
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
