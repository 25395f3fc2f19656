// libFuzzer harness: a SHELX file through the reader, fragment completion,
// the ring search and the neighbour search.
#include <cstdint>

#include "fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::fuzz::shelx({reinterpret_cast<const char*>(data), size});
  return 0;
}
