// libFuzzer harness: a databank searched for every atom of the aspirin
// example (rings, completion and neighbours as in the example run).
#include <cstdint>
#include <fstream>
#include <sstream>

#include "fuzz_targets.hpp"

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
  tesk::fuzz::databank({reinterpret_cast<const char*>(data), size}, aspirin());
  return 0;
}
