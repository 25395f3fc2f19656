// A databank on arbitrary bytes, searched for every atom of the aspirin
// example through the per-atom loop (rings, completion and neighbours as in
// the example run), so that every record the search reads meets the bytes.
#include <fstream>
#include <memory>
#include <sstream>

#include "app/control_file.hpp"
#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "fuzz_support.hpp"
#include "local_axes/local_axes.hpp"
#include "model/run.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/shelx_reader.hpp"

namespace {

const std::string& aspirin() {
  static const std::string text = [] {
    std::ifstream f(TESK_SOURCE_DIR "/examples/aspirin/aspirin.ins");
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }();
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto run = std::make_unique<tesk::Run>();
  return tesk::fuzz::run_guarded([&] {
    tesk::Run& r = *run;
    tesk::init(r);
    r.opt.ftype = 1;
    r.opt.compfrag = 1;
    r.opt.rings_flag = 1;
    r.opt.ring1 = {3, 8, 0};
    r.opt.ldb = 1;
    tesk::TextInput structure;
    structure.set_text(aspirin());
    tesk::readshelx_text(r, structure, "aspirin.ins", tesk::ShelxHeaderListener{});
    tesk::TextInput bank;
    bank.set_text(tesk::fuzz::as_text(data, size));
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < bank.size(); ++i) lines.push_back(bank.record(i));
    r.db.bank.load(std::move(lines), "fuzz.db");
    tesk::gencompletefrags(r);
    tesk::connect4rings(r);
    tesk::findrings(r);
    tesk::findallneighbors(r);
    tesk::localdef(r);
  });
}
