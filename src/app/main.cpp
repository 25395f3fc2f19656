// tesk: local coordinate systems and databank transfer for multipole refinement.
#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/driver.hpp"
#include "app/huge_page_heap.hpp"

int main(int argc, char** argv) {
  // run_tesk reports its own stops; anything that still escapes it (memory
  // exhausted while reporting) ends here with a message, never with abort().
  tesk::use_huge_page_heap();
  // A file-size limit (ulimit -f) would otherwise kill the run without a
  // word; ignored, it makes the write fail, which the run reports.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    return tesk::run_tesk(args, std::cout, std::cin);
  } catch (const std::exception& e) {
    std::cerr << "tesk: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "tesk: unexpected error\n";
  }
  return 1;
}
