// The test runner: every test starts in an empty temporary directory of its
// own, so files that a stage writes into the current directory (reduced.ang,
// complete.ang, tesk.out, ...) never land in the checkout or the build tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "test_support.hpp"

namespace {

class TempDirPerTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    dir_ = std::make_unique<tesk::testing::ScratchDir>();
  }
  void OnTestEnd(const ::testing::TestInfo&) override { dir_.reset(); }

  std::unique_ptr<tesk::testing::ScratchDir> dir_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TempDirPerTest);
  return RUN_ALL_TESTS();
}
