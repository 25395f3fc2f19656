// Replays the inputs that once broke a fuzz harness (tests/fuzz_regressions/
// <harness>/) through the same code as the harness; the sanitizer build of
// the suite catches a fault coming back.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/fuzz_targets.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs(const char* harness) {
  std::vector<fs::path> files;
  fs::path dir = testing::checkout_path(fs::path("tests/fuzz_regressions") / harness);
  if (fs::is_directory(dir))
    for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
  return files;
}

TEST(FuzzRegressions, EveryKeptInputEndsNormally) {
  const std::string aspirin = testing::read_file(testing::checkout_path("examples/aspirin/aspirin.ins"));
  for (const fs::path& f : inputs("control_file")) fuzz::control_file(testing::read_file(f));
  for (const fs::path& f : inputs("shelx")) fuzz::shelx(testing::read_file(f));
  for (const fs::path& f : inputs("cif")) fuzz::cif(testing::read_file(f));
  for (const fs::path& f : inputs("kq")) fuzz::kq(testing::read_file(f));
  for (const fs::path& f : inputs("cartesian")) fuzz::cartesian(testing::read_file(f));
  for (const fs::path& f : inputs("databank")) fuzz::databank(testing::read_file(f), aspirin);
}

}  // namespace
}  // namespace tesk
