// The executable as a user meets it: help mode, fatal stops and exit codes,
// malformed control files.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using testing::run_tesk_binary;
using testing::ScratchDir;
using testing::write_file;

std::size_t count_lines(const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')); }

TEST(Driver, HelpPrintsBannerAndSampleAndCreatesNoFile) {
  ScratchDir dir;
  auto r = run_tesk_binary("-h");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.console.find("PROGRAM  T E S K  -  AUTOMATIC SETUP OF THE LOCAL COORDINATE SYSTEM"),
            std::string::npos);
  EXPECT_NE(r.console.find("\nFORMAT  *shelx kq aim2tab platon \n"), std::string::npos);
  EXPECT_NE(r.console.find("\n!CHFRAG 0. 0.\n \n"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(Driver, AnyOtherArgumentPrintsOnlyTheBanner) {
  ScratchDir dir;
  auto help = run_tesk_binary("-h");
  auto other = run_tesk_binary("anything");
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(count_lines(help.console) - count_lines(other.console), 44u);
  EXPECT_EQ(other.console.find("Example of TESK input file"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(Driver, MissingControlFileIsAFatalStop) {
  ScratchDir dir;
  auto r = run_tesk_binary();
  const std::string block = "\n ERROR *** ReadInp *** Unable to open TESK input file tesk.inp\n\n";
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find(block), std::string::npos);
  std::string log = testing::read_file("tesk.out");
  EXPECT_GE(log.size(), block.size());
  EXPECT_EQ(log.substr(log.size() - block.size()), block);
}

TEST(Driver, DirectoryNamedLikeTheControlFile) {
  ScratchDir dir;
  fs::create_directory("tesk.inp");
  auto r = run_tesk_binary();
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.console.find("Unable to open TESK input file tesk.inp"), std::string::npos);
}

// Nothing a user can put into tesk.inp may crash or hang the program.
TEST(Driver, MalformedControlFilesEndCleanly) {
  const std::string binary_bytes = std::string("\x00\x01\xff\xfe FORMAT\x00 *shelx\n", 20) + "\x7f\x80";
  const std::string long_line = "FORMAT *shelx " + std::string(5000, 'x') + "\nINPUT " +
                                std::string(300, 'y') + "\n";
  for (const std::string& text :
       {std::string(), binary_bytes, long_line, std::string("\tFORMAT\t*shelx\n"),
        std::string("FORMAT *shelx\nINPUT\n"), std::string("\\\n\\\n\\\n")}) {
    ScratchDir dir;
    write_file("tesk.inp", text);
    auto r = run_tesk_binary();
    EXPECT_TRUE(r.status == 0 || r.status == 1 || r.status == 2) << r.status;
  }
}

TEST(Driver, TooFewNumbersIsAReadErrorWithStatusTwo) {
  ScratchDir dir;
  write_file("tesk.inp", "FORMAT *shelx\nINPUT x.ins\nNCELLS\n");
  auto r = run_tesk_binary();
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.console.find("tesk.inp"), std::string::npos);
}

}  // namespace
}  // namespace tesk
