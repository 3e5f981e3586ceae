// The decoder benchmarks' tone file and its encoding.
#include "bench_tone.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "testing/test_device.h"

std::vector<unsigned char> EncodeBenchTone(const std::string& name,
                                           const std::function<std::string(const std::string&, const std::string&)>& command) {
  static zb::testing::TestDevice* device = new zb::testing::TestDevice;
  const std::filesystem::path wav = device->Host("tone.wav"), encoded = device->Host(name);
  std::ofstream out(wav, std::ios::binary);
  const int rate = 44100, seconds = 60, frames = rate * seconds;
  auto le = [&](unsigned v, int n) {
    for (int i = 0; i < n; ++i) out.put(static_cast<char>(v >> (8 * i)));
  };
  out.write("RIFF", 4);
  le(36 + frames * 4, 4);
  out.write("WAVEfmt ", 8);
  le(16, 4), le(1, 2), le(2, 2), le(rate, 4), le(rate * 4, 4), le(4, 2), le(16, 2);
  out.write("data", 4);
  le(frames * 4, 4);
  for (int i = 0; i < frames; ++i) {
    le(static_cast<unsigned>(static_cast<int>(9000 * std::sin(i * 0.0627)) & 0xFFFF), 2);
    le(static_cast<unsigned>(static_cast<int>(7000 * std::sin(i * 0.0211 + std::sin(i * 1e-4))) & 0xFFFF), 2);
  }
  out.close();
  if (std::system(command(wav.string(), encoded.string()).c_str()) != 0) std::abort();
  std::ifstream in(encoded, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}
