// libFuzzer harness: a KQ master file and parameter file (split at a line
// "%%%%") through the KQ reader, then completion, rings and neighbours.
#include <cstdint>

#include "fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::fuzz::kq({reinterpret_cast<const char*>(data), size});
  return 0;
}
