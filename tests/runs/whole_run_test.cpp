// Whole runs: each folder under tests/runs/ holds a control file and its
// inputs (or a file `structure_file` naming one of the real structures in
// tests/data/structures/, such as cif/zp2_pna21.cif) and expected/ with every file the run writes, plus the console
// text (console.out) and the exit status (exit_status). Processor times are
// blanked before comparing. TESK_UPDATE_GOLDEN=1 rewrites expected/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::write_file;

const fs::path kRunsDir = fs::path(TESK_SOURCE_DIR) / "tests" / "runs";

// Processor times differ from run to run.
std::string blank_times(const std::string& text) {
  std::istringstream in(text);
  std::string out, line;
  while (std::getline(in, line)) {
    if (line.rfind(" Timing for ring search", 0) == 0 ||
        line.rfind(" Total program elapsed times", 0) == 0)
      line = line.substr(0, line.find(':') + 1) + " <times>";
    out += line + "\n";
  }
  if (!text.empty() && text.back() != '\n' && !out.empty()) out.pop_back();
  return out;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The first differing line with two lines of context before it and the next
// few lines of both versions, as "-expected" / "+actual".
std::string first_difference(const std::string& want, const std::string& got) {
  const std::vector<std::string> a = lines_of(want), b = lines_of(got);
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  if (n == a.size() && n == b.size()) return "same lines, different line endings";
  std::string out = "line " + std::to_string(n + 1) + ":\n";
  for (std::size_t i = n >= 2 ? n - 2 : 0; i < n; ++i) out += "   " + a[i] + "\n";
  constexpr std::size_t kShown = 5;
  for (std::size_t i = n; i < std::min(a.size(), n + kShown); ++i) out += "  -" + a[i] + "\n";
  if (n >= a.size()) out += "  -<end of file>\n";
  for (std::size_t i = n; i < std::min(b.size(), n + kShown); ++i) out += "  +" + b[i] + "\n";
  if (n >= b.size()) out += "  +<end of file>\n";
  return out;
}

std::vector<fs::path> case_dirs() {
  std::vector<fs::path> dirs;
  for (const auto& e : fs::directory_iterator(kRunsDir))
    if (e.is_directory()) dirs.push_back(e.path());
  std::sort(dirs.begin(), dirs.end());
  return dirs;
}

std::string structure_named_in(const fs::path& file) {
  std::string name = read_file(file);
  name.erase(std::remove(name.begin(), name.end(), '\n'), name.end());
  return name;
}

// Copies the case's inputs into the scratch directory.
void stage_inputs(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string name = e.path().filename().string();
    if (name == "expected") continue;
    if (name == "structure_file") {
      const fs::path file = structure_named_in(e.path());
      fs::copy_file(testing::checkout_path(fs::path("tests/data/structures") / file), file.filename());
    } else {
      fs::copy(e.path(), name, fs::copy_options::recursive);
    }
  }
}

std::set<std::string> input_names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  if (names.count("structure_file"))
    names.insert(fs::path(structure_named_in(dir / "structure_file")).filename().string());
  return names;
}

class WholeRun : public ::testing::TestWithParam<fs::path> {};

TEST_P(WholeRun, EveryOutputFileMatches) {
  const fs::path dir = GetParam();
  const fs::path expected = dir / "expected";
  const char* update_flag = std::getenv("TESK_UPDATE_GOLDEN");
  const bool update = update_flag != nullptr && std::string(update_flag) == "1";
  testing::ScratchDir scratch;
  stage_inputs(dir);
  std::string stdin_text = fs::exists("stdin") ? read_file("stdin") : "";
  testing::RunResult r = testing::run_tesk_binary("", stdin_text);

  std::map<std::string, std::string> produced;
  const std::set<std::string> inputs = input_names(dir);
  for (const auto& e : fs::directory_iterator(scratch.path())) {
    std::string name = e.path().filename().string();
    if (inputs.count(name)) continue;
    produced[name] = blank_times(read_file(e.path()));
  }
  produced["console.out"] = blank_times(r.console);
  produced["exit_status"] = std::to_string(r.status) + "\n";

  if (update) {
    fs::remove_all(expected);
    fs::create_directories(expected);
    for (const auto& [name, text] : produced) write_file(expected / name, text);
    GTEST_SKIP() << "expected files rewritten for " << dir.filename();
  }
  ASSERT_TRUE(fs::exists(expected)) << "no expected/ folder in " << dir;
  std::set<std::string> want_names;
  for (const auto& e : fs::directory_iterator(expected)) want_names.insert(e.path().filename().string());
  for (const auto& [name, text] : produced) {
    EXPECT_TRUE(want_names.count(name)) << "unexpected output file " << name;
    if (!want_names.count(name)) continue;
    std::string want = read_file(expected / name);
    EXPECT_TRUE(want == text) << name << " differs at " << first_difference(want, text);
  }
  for (const auto& name : want_names)
    EXPECT_TRUE(produced.count(name)) << "missing output file " << name;
}

INSTANTIATE_TEST_SUITE_P(Runs, WholeRun, ::testing::ValuesIn(case_dirs()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                           std::string n = info.param.filename().string();
                           std::replace_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                           return n;
                         });

}  // namespace
}  // namespace tesk
