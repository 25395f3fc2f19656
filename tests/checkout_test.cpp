// The suite runs from a fresh clone: nothing it, the benchmarks or the scripts
// read may lie outside the checkout.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;

TEST(Checkout, TestPathsStayInside) {
  EXPECT_NO_THROW(testing::checkout_path("tests/data/structures/aspirin_p21c.ins"));
  EXPECT_THROW(testing::checkout_path(".."), std::runtime_error);
  EXPECT_THROW(testing::checkout_path("tests/../../outside"), std::runtime_error);
  EXPECT_THROW(testing::checkout_path("/etc/passwd"), std::runtime_error);
}

// Our own developers keep a folder of structures beside the checkout; a
// reference to it works on their machines and fails everywhere else.
TEST(Checkout, NoSourceNamesTheFolderBesideTheCheckout) {
  const std::string beside = std::string("..") + "/shared";
  const fs::path root = testing::source_dir();
  std::vector<fs::path> files{root / "CMakeLists.txt"};
  for (const char* dir : {"tests", "bench", "scripts", ".ci", "cmake", "src"}) {
    if (!fs::exists(root / dir)) continue;
    for (const auto& e : fs::recursive_directory_iterator(root / dir)) {
      const fs::path rel = fs::relative(e.path(), root);
      if (!e.is_regular_file() || rel.string().rfind("tests/data", 0) == 0 ||
          rel.string().rfind("tests/runs", 0) == 0)
        continue;
      files.push_back(e.path());
    }
  }
  for (const fs::path& f : files)
    EXPECT_EQ(testing::read_file(f).find(beside), std::string::npos) << f;
}

}  // namespace
}  // namespace tesk
