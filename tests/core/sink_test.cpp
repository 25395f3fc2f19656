// Output files: a write that does not reach the disk is a fatal stop.
#include "core/sink.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/errors.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

std::string fatal_text(Sink& sink) {
  try {
    sink.close();
  } catch (const FatalError& e) {
    return e.what();
  }
  return "";
}

TEST(Sink, WrittenFileClosesQuietly) {
  Sink sink;
  ASSERT_TRUE(sink.open("a.txt"));
  sink << "line\n";
  EXPECT_EQ(fatal_text(sink), "");
  EXPECT_EQ(testing::read_file("a.txt"), "line\n");
}

TEST(Sink, FullDiskIsAFatalError) {
  // /dev/full accepts the open and fails every write with ENOSPC.
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Sink sink;
  ASSERT_TRUE(sink.open("/dev/full"));
  sink << std::string(3 << 20, 'x');
  EXPECT_EQ(fatal_text(sink), "Tesk: Error writing output file /dev/full");
  EXPECT_FALSE(sink.is_open());
}

TEST(Sink, UnopenableFileStops) {
  std::filesystem::create_directory("reduced.ang");  // a folder where the file should go
  Sink sink;
  try {
    sink.open_or_stop("reduced.ang", "Connect4Rings");
    FAIL() << "no stop";
  } catch (const FatalError& e) {
    EXPECT_EQ(std::string(e.what()), "Connect4Rings: Unable to open output file reduced.ang");
  }
}

}  // namespace
}  // namespace tesk
