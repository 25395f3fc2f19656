// What the X-H extension leaves for the MoPro writer: one displacement-ratio
// restraint line per hydrogen.
#pragma once

#include <string>
#include <vector>

namespace tesk {

struct XhState {
  std::vector<std::string> cons;  // per atom (index 0 = atom 1): its "URATIO" line, 100 characters, or blank
};

}  // namespace tesk
