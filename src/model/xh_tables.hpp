// What the X-H extension leaves for the MoPro writer: one displacement-ratio
// restraint line per hydrogen.
#pragma once

#include <string>
#include <vector>

namespace tesk {

// What the extension did to one hydrogen: the group name the log gives (or
// why it was left alone) and the X-H length before and after.
struct XhExtension {
  bool tried = false;
  std::string group;
  float before = 0.0f;
  float after = 0.0f;
};

struct XhState {
  std::vector<std::string> cons;  // per atom (index 0 = atom 1): its "URATIO" line, 100 characters, or blank
  std::vector<XhExtension> extension;  // per atom, index 0 = atom 1
};

}  // namespace tesk
