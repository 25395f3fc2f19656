// Processor times from getrusage.
#include "core/process_times.hpp"

#include <sys/resource.h>

namespace tesk {

ProcessTimes process_times() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  auto secs = [](const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
  };
  return {secs(ru.ru_utime), secs(ru.ru_stime)};
}

}  // namespace tesk
