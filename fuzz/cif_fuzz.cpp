// libFuzzer harness: a CIF file through the CIF reader, fragment completion,
// the ring search and the neighbour search.
#include <cstdint>

#include "fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::fuzz::cif({reinterpret_cast<const char*>(data), size});
  return 0;
}
