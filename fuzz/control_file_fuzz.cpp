// libFuzzer harness: the control-file reader on arbitrary bytes.
#include <cstdint>

#include "fuzz_targets.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tesk::fuzz::control_file({reinterpret_cast<const char*>(data), size});
  return 0;
}
