// A fresh, empty device folder for one test: made in the host's temp folder, made current for
// this process (and for children, through ZONBREL_DEVICE), and removed again afterwards. Its
// profile mounts "Storage Card" from a temp folder of its own, so no test touches the user's music.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

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
  // The host folder of the test's "Storage Card".
  const std::filesystem::path& card() const { return card_; }

  // Replaces the device profile with `text` (profile.ini lines) and makes the layer read it
  // again. Unless the text has a [storage cards] section of its own, card() stays mounted as
  // "Storage Card".
  void WriteProfile(std::string_view text);

 private:
  std::filesystem::path root_;
  std::filesystem::path card_;
  std::string previousEnv_;
  bool hadEnv_ = false;
};

}  // namespace zb::testing
