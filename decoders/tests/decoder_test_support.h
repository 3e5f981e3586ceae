// Shared by the decoder tests: a fresh device with fresh settings, and files written on it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "testing/test_device.h"

namespace zbtest {

// Seeded bytes, the same for the same seed.
std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed);
void WriteHostFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadHostFile(const std::filesystem::path& path);
// The device path of a name in the device's root ("\name").
std::u16string DevicePath(const std::string& name);
std::string Narrow(const std::u16string& text);

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  CSettings& Settings() { return *GetSettings(); }
  zb::testing::TestDevice device_;
};

}  // namespace zbtest
