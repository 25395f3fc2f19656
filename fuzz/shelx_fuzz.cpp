// A SHELX file on arbitrary bytes through the reader, fragment completion
// (NCELLS 1), the ring search (3 to 8) and the neighbour search, as a run
// does. Structures of more than kMaxFuzzAtoms atoms stop after reading so
// that one execution stays short.
#include <memory>

#include "app/control_file.hpp"
#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "fuzz_support.hpp"
#include "model/run.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/shelx_reader.hpp"

namespace {
constexpr int kMaxFuzzAtoms = 60;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto run = std::make_unique<tesk::Run>();
  return tesk::fuzz::run_guarded([&] {
    tesk::Run& r = *run;
    tesk::init(r);
    r.opt.ftype = 1;
    r.opt.compfrag = 1;
    r.opt.rings_flag = 1;
    r.opt.ring1 = {3, 8, 0};
    tesk::TextInput in;
    in.set_text(tesk::fuzz::as_text(data, size));
    tesk::readshelx_text(r, in, "fuzz.ins", tesk::ShelxHeaderListener{});
    if (r.atoms.natoms > kMaxFuzzAtoms) return;
    tesk::gencompletefrags(r);
    if (r.cryst.nall > 4 * kMaxFuzzAtoms) return;
    tesk::connect4rings(r);
    tesk::findrings(r);
    tesk::findallneighbors(r);
  });
}
