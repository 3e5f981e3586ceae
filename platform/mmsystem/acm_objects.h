// The ACM's open objects behind HACMDRIVER and HACMSTREAM handles.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <msacm.h>

#include "mmsystem/acm_drivers.h"
#include "mmsystem/acm_frames.h"

namespace zb::acm {

struct OpenDriver {
  const Driver* driver;
  std::atomic<int> streams{0};  // a driver with open streams cannot be closed
};

struct Stream {
  Stream(const Driver* d, std::shared_ptr<OpenDriver> o, const WAVEFORMATEX& s, const WAVEFORMATEX& t)
      : driver(d), owner(std::move(o)), source(s), destination(t), frames(s, t) {}
  const Driver* driver;
  std::shared_ptr<OpenDriver> owner;  // when opened on a driver handle
  WAVEFORMATEX source;
  WAVEFORMATEX destination;
  std::mutex lock;  // one conversion at a time
  FrameConverter frames;
};

HACMDRIVER AddDriver(std::shared_ptr<OpenDriver> driver);
std::shared_ptr<OpenDriver> FindDriver(HACMDRIVER handle);
std::shared_ptr<OpenDriver> RemoveDriver(HACMDRIVER handle);

HACMSTREAM AddStream(std::shared_ptr<Stream> stream);
std::shared_ptr<Stream> FindStream(HACMSTREAM handle);
std::shared_ptr<Stream> RemoveStream(HACMSTREAM handle);

// The driver a call names: an open driver handle, or none for "any driver" when allowed.
// Sets *error to MMSYSERR_INVALHANDLE for a handle that is not an open driver.
const Driver* DriverOfHandle(HACMDRIVER handle, MMRESULT* error);

}  // namespace zb::acm
