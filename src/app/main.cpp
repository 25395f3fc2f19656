// tesk: local coordinate systems and databank transfer for multipole refinement.
#include <iostream>
#include <string>
#include <vector>

#include "app/driver.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tesk::run_tesk(args, std::cout, std::cin);
}
