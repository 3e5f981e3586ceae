#include "testing/test_device.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "device/device.h"

namespace zb::testing {

TestDevice::TestDevice() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zbdev-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a test device folder");
  root_ = pattern;
  if (const char* env = std::getenv("ZONBREL_DEVICE")) {
    hadEnv_ = true;
    previousEnv_ = env;
  }
  setenv("ZONBREL_DEVICE", root_.c_str(), 1);
  device::UseRoot(root_);
}

TestDevice::~TestDevice() {
  if (hadEnv_) {
    setenv("ZONBREL_DEVICE", previousEnv_.c_str(), 1);
  } else {
    unsetenv("ZONBREL_DEVICE");
  }
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

}  // namespace zb::testing
