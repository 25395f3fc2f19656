// Scratch directories and process helpers for the tests.
#include "test_support.hpp"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace tesk::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() : previous_(fs::current_path()) {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("tesk_test_" + std::to_string(rd()));
    if (fs::create_directory(p)) {
      dir_ = p;
      break;
    }
  }
  fs::current_path(dir_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::current_path(previous_, ec);
  fs::remove_all(dir_, ec);
}

void write_file(const fs::path& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

std::string read_file(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

RunResult run_tesk_binary(const std::string& args, const std::string& stdin_text,
                          const std::string& shell) {
  write_file("stdin.txt", stdin_text);
  std::string cmd = shell + TESK_BINARY + " " + args + " < stdin.txt 2>&1";
  RunResult r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.console.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  fs::remove("stdin.txt");
  return r;
}

std::string source_dir() { return TESK_SOURCE_DIR; }

fs::path checkout_path(const fs::path& relative) {
  const fs::path root = fs::weakly_canonical(TESK_SOURCE_DIR);
  const fs::path p = fs::weakly_canonical(root / relative);
  auto [r, q] = std::mismatch(root.begin(), root.end(), p.begin(), p.end());
  if (r != root.end())
    throw std::runtime_error("test path leaves the checkout: " + (root / relative).string());
  return p;
}

std::string structures_dir() { return checkout_path("tests/data/structures").string() + "/"; }

}  // namespace tesk::testing
