// User and system processor time of this process, in seconds.
#pragma once

namespace tesk {

struct ProcessTimes {
  double user = 0.0;
  double system = 0.0;
};

ProcessTimes process_times();

}  // namespace tesk
