// A fresh, empty device folder for one test: made in the host's temp folder, made current for
// this process (and for children, through ZONBREL_DEVICE), and removed again afterwards.
#pragma once
#include <filesystem>

namespace zb::testing {

class TestDevice {
 public:
  TestDevice();
  ~TestDevice();
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  const std::filesystem::path& root() const { return root_; }
  // Host path of a device path given with "/" separators relative to the root.
  std::filesystem::path Host(const std::filesystem::path& relative) const { return root_ / relative; }

 private:
  std::filesystem::path root_;
  std::string previousEnv_;
  bool hadEnv_ = false;
};

}  // namespace zb::testing
