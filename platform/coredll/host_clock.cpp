// The host's wall clock in FILETIME units.
#include "coredll/host_clock.h"

#include <ctime>

#include "coredll/file_time.h"

namespace zb {

uint64_t HostNowFileTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return files::FileTimeFromTimespec(now);
}

}  // namespace zb
