// Helpers shared by the tests: scratch directories, files, running tesk.
#pragma once

#include <filesystem>
#include <string>

namespace tesk::testing {

// A fresh empty directory that the current directory moves into for the
// lifetime of the object; removed afterwards.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path previous_;
};

void write_file(const std::filesystem::path& path, const std::string& text);
std::string read_file(const std::filesystem::path& path);

// Result of running the tesk executable in the current directory.
struct RunResult {
  int status = -1;
  std::string console;
};
// `shell` goes before the command (ulimit, links to make first).
RunResult run_tesk_binary(const std::string& args = "", const std::string& stdin_text = "",
                          const std::string& shell = "");

std::string source_dir();
// `relative` inside the checkout, resolved; throws when it leads outside, so
// no test can come to depend on files a fresh clone does not have.
std::filesystem::path checkout_path(const std::filesystem::path& relative);
std::string structures_dir();  // tests/data/structures/: real third-party structures

}  // namespace tesk::testing
