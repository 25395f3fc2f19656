// libFuzzer harness: a PLATON list or an AIM2TAB table (the first byte
// chooses) through its reader, then rings and neighbours.
#include <cstdint>

#include "fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::fuzz::cartesian({reinterpret_cast<const char*>(data), size});
  return 0;
}
