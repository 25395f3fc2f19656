// The benchmark runner: the whole process works in a fresh temporary
// directory, so the files the stages write (complete.ang, reduced.ang, ...)
// never land where the benchmark was started. With TESK_BENCH_KEEP=1 the
// directory and everything in it stay, for profiling the executable on the
// generated inputs; its path is printed.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <system_error>

#include "app/huge_page_heap.hpp"

int main(int argc, char** argv) {
  tesk::use_huge_page_heap();  // as the tesk executable does
  namespace fs = std::filesystem;
  const fs::path previous = fs::current_path();
  fs::path dir;
  std::random_device rd;
  do dir = fs::temp_directory_path() / ("tesk_bench_" + std::to_string(rd()));
  while (!fs::create_directory(dir));
  fs::current_path(dir);

  benchmark::Initialize(&argc, argv);
  int status = 0;
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    status = 1;
  } else {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  std::error_code ec;
  fs::current_path(previous, ec);
  const char* keep = std::getenv("TESK_BENCH_KEEP");
  if (keep != nullptr && std::string(keep) == "1")
    std::cerr << "benchmark files kept in " << dir.string() << "\n";
  else
    fs::remove_all(dir, ec);
  return status;
}
