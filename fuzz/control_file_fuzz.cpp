// The control-file reader on arbitrary bytes, then the option settling and
// the option summary, as readinp does for tesk.inp.
#include <memory>

#include "app/control_file.hpp"
#include "fuzz_support.hpp"
#include "model/run.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto run = std::make_unique<tesk::Run>();
  return tesk::fuzz::run_guarded([&] {
    tesk::init(*run);
    tesk::TextInput in;
    in.set_text(tesk::fuzz::as_text(data, size));
    tesk::readinp_text(*run, in);
  });
}
