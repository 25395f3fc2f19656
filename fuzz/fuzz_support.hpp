// Shared by the fuzz harnesses: a run that ends the way a real run can
// (normally, through err(), or with an input-layer read error) is a normal
// end; anything else (a crash, a sanitizer report, another exception) is a
// finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/errors.hpp"

namespace tesk::fuzz {

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

template <class F>
int run_guarded(F&& body) {
  try {
    body();
  } catch (const FatalError&) {
    // err(), input_error() and stop_run(): the endings a run may have.
  }
  return 0;
}

}  // namespace tesk::fuzz
