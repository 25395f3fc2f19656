// The executable as a user meets it: help mode, fatal stops and exit codes,
// malformed control files.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using testing::run_tesk_binary;
using testing::ScratchDir;
using testing::write_file;

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

TEST(Driver, AnyOtherArgumentIsAUsageError) {
  ScratchDir dir;
  auto other = run_tesk_binary("anything");
  EXPECT_EQ(other.status, 2);
  EXPECT_EQ(other.console, " tesk takes no arguments: it reads tesk.inp in the current directory;"
                           " tesk -h prints a sample tesk.inp\n");
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

namespace tesk {
namespace {

const char* const kWaterIns =
    "TITL water\nCELL 0.71073 10.0 10.0 10.0 90 90 90\nLATT -1\nSFAC O H\n"
    "O1 1 0.10000 0.10000 0.10000 11.0 0.03\n"
    "H1 2 0.19570 0.10000 0.10000 11.0 0.05\n"
    "H2 2 0.07530 0.19270 0.10000 11.0 0.05\nHKLF 4\nEND\n";

// An unusable databank name never ends the run by itself: the user is asked
// until a file opens; a blank answer asks again; end of input is a read error.
TEST(Driver, DatabankPromptAsksUntilAFileOpens) {
  ScratchDir dir;
  write_file("w.ins", kWaterIns);
  write_file("real.db", "! empty databank\n");
  // CHFRAG gives the net charge, so the console answers only the databank prompt.
  write_file("tesk.inp", "FORMAT *shelx\nINPUT w.ins\nDATABANK missing.db\nCHFRAG 0.\n");
  auto r = run_tesk_binary("", "\n  \nreal.db\n");
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_NE(r.console.find("\n Error opening databank file missing.db"), std::string::npos);
  std::size_t prompts = 0;
  for (std::size_t p = 0; (p = r.console.find("Enter the name of databank file : ", p)) != std::string::npos; ++p)
    ++prompts;
  EXPECT_EQ(prompts, 3u);

  auto eof = run_tesk_binary("", "\n");
  EXPECT_EQ(eof.status, 2);
}

// The log closes with the processor times, a blank line, 80 dashes and one
// more blank line.
TEST(Driver, LogEndsWithDashesAndAnEmptyLine) {
  ScratchDir dir;
  write_file("w.ins", kWaterIns);
  write_file("tesk.inp", "FORMAT *shelx\nINPUT w.ins\n");
  auto r = run_tesk_binary();
  ASSERT_EQ(r.status, 0) << r.console;
  const std::string log = testing::read_file("tesk.out");
  const std::string end = "\n\n" + std::string(80, '-') + "\n\n";
  ASSERT_GE(log.size(), end.size());
  EXPECT_EQ(log.substr(log.size() - end.size()), end);
  EXPECT_NE(log.rfind(" Total program elapsed times u,s,t (s) :"), std::string::npos);
}

// A write that fails (full disk; a file-size limit, which once killed the
// run silently) is reported, and the report, written after every file is
// closed, does not claim success. A name beyond 60 columns is taken whole.
TEST(Driver, FailedWritesAreReportedAndLongNamesRead) {
  const std::tuple<std::string, const char*, int, const char*> rows[] = {
      {"w.ins", "ln -s /dev/full kq_tesk.mas; ", 1, "Error writing output file kq_tesk.mas"},
      {"w.ins", "ulimit -f 1; ", 1, "Error writing output file"},
      {std::string(70, 'w') + ".ins", "", 0, "KQ instructions are in file"}};
  for (const auto& [input, shell, status, message] : rows) {
    ScratchDir dir;
    write_file(input, kWaterIns);
    write_file("tesk.inp", "FORMAT *shelx\nINPUT " + input + "\nREPORT\n");
    const auto r = run_tesk_binary("", "", shell);
    EXPECT_EQ(r.status, status) << shell << r.console;
    EXPECT_NE(r.console.find(message), std::string::npos) << shell << r.console;
    // A stop inside the per-atom loop still reports, with its error.
    EXPECT_EQ(fs::exists("tesk.json") && testing::read_file("tesk.json").find("\"error\":null") !=
                                             std::string::npos, status == 0) << shell;
  }
}

}  // namespace
}  // namespace tesk
