// Whole runs: each folder under tests/runs/ holds a control file and its
// inputs (or a file `shared_structure` naming one of the shared real
// structures) and expected/ with every file the run writes, plus the console
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

std::string first_difference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string la, lb;
  for (int n = 1;; ++n) {
    bool ha = static_cast<bool>(std::getline(a, la));
    bool hb = static_cast<bool>(std::getline(b, lb));
    if (!ha && !hb) return "same lines, different line endings";
    if (!ha || !hb || la != lb)
      return "line " + std::to_string(n) + ":\n  expected: " + (ha ? la : "<end>") +
             "\n  actual:   " + (hb ? lb : "<end>");
  }
}

std::vector<fs::path> case_dirs() {
  std::vector<fs::path> dirs;
  for (const auto& e : fs::directory_iterator(kRunsDir))
    if (e.is_directory()) dirs.push_back(e.path());
  std::sort(dirs.begin(), dirs.end());
  return dirs;
}

// Copies the case's inputs into the scratch directory.
void stage_inputs(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string name = e.path().filename().string();
    if (name == "expected") continue;
    if (name == "shared_structure") {
      std::string file = read_file(e.path());
      file.erase(std::remove(file.begin(), file.end(), '\n'), file.end());
      fs::copy_file(testing::structures_dir() + file, file);
    } else {
      fs::copy(e.path(), name, fs::copy_options::recursive);
    }
  }
}

std::set<std::string> input_names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  if (names.count("shared_structure")) {
    std::string file = read_file(dir / "shared_structure");
    file.erase(std::remove(file.begin(), file.end(), '\n'), file.end());
    names.insert(file);
  }
  return names;
}

class WholeRun : public ::testing::TestWithParam<fs::path> {};

TEST_P(WholeRun, EveryOutputFileMatches) {
  const fs::path dir = GetParam();
  const fs::path expected = dir / "expected";
  const bool update = std::getenv("TESK_UPDATE_GOLDEN") != nullptr;
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
