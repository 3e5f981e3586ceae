#include "testing/test_device.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "device/device.h"
#include "device/profile.h"
#include "device/text.h"

namespace zb::testing {
namespace {

std::filesystem::path MakeTempFolder(const char* stem) {
  std::string pattern = (std::filesystem::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a test folder");
  return pattern;
}

bool HasCardSection(std::string_view text) {
  std::u16string wide = FromUtf8(text);
  std::u16string_view header = u"[storage cards]";
  for (size_t i = 0; i + header.size() <= wide.size(); ++i) {
    if (EqualNoCase(std::u16string_view(wide).substr(i, header.size()), header)) return true;
  }
  return false;
}

}  // namespace

TestDevice::TestDevice() {
  root_ = MakeTempFolder("zbdev");
  card_ = MakeTempFolder("zbcard");
  if (const char* env = std::getenv("ZONBREL_DEVICE")) {
    hadEnv_ = true;
    previousEnv_ = env;
  }
  setenv("ZONBREL_DEVICE", root_.c_str(), 1);
  device::UseRoot(root_);
  WriteProfile("");
}

TestDevice::~TestDevice() {
  if (hadEnv_) {
    setenv("ZONBREL_DEVICE", previousEnv_.c_str(), 1);
  } else {
    unsetenv("ZONBREL_DEVICE");
  }
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
  std::filesystem::remove_all(card_, ec);
}

void TestDevice::WriteProfile(std::string_view text) {
  {
    std::ofstream out(device::ProfilePath(), std::ios::binary | std::ios::trunc);
    out << text;
    if (!HasCardSection(text)) out << "\n[storage cards]\nStorage Card = " << card_.string() << "\n";
    if (!out) throw std::runtime_error("cannot write the test profile");
  }
  device::UseRoot(root_);  // a new generation: every cache reads the new profile
}

}  // namespace zb::testing
