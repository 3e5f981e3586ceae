// Helpers of the decoder tests.
#include "decoder_test_support.h"

#include <fstream>
#include <random>

#include "device/text.h"
#include "file_source_io.h"

namespace zbtest {

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

void WriteHostFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::u16string DevicePath(const std::string& name) { return u"\\" + zb::FromUtf8(name); }
std::string Narrow(const std::u16string& text) { return zb::ToUtf8(text); }

void DeviceTest::SetUp() { DestroySettings(); }

void DeviceTest::TearDown() {
  SetFileSourceIo(nullptr);
  DestroySettings();
}

}  // namespace zbtest
