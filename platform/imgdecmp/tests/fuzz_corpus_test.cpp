// Runs the fuzz target over a small corpus made here: valid PNG, JPEG, GIF and BMP files and
// deterministic mutations of them (flipped bits, overwritten bytes, cuts, repeated stretches),
// so every build exercises the decoders' handling of damaged input.
#include <gtest/gtest.h>

#include <random>

#include "image_files.h"
#include "imgdecmp/image_decoder.h"
#include "testing/test_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace zb::testing {
namespace {

std::vector<std::vector<uint8_t>> Seeds() {
  const std::vector<GifColorType> colours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  std::vector<uint8_t> indices(12 * 9);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i % 4);
  return {EncodePng(Quarters(12, 9, true), true), EncodePng(Quarters(7, 5, false), false),
          EncodeJpeg(Quarters(24, 16, false), 70), EncodeGif(12, 9, indices, colours, 2, true),
          EncodeBmp(Quarters(9, 7, false), 24, false), EncodeBmp(Quarters(9, 7, false), 8, true)};
}

std::vector<uint8_t> Mutate(std::vector<uint8_t> v, std::mt19937& random) {
  if (v.empty()) return v;
  switch (random() % 4) {
    case 0:
      for (int i = 0, n = 1 + random() % 8; i < n; ++i) v[random() % v.size()] ^= static_cast<uint8_t>(1 << (random() % 8));
      break;
    case 1:
      for (int i = 0, n = 1 + random() % 4; i < n; ++i) v[random() % v.size()] = static_cast<uint8_t>(random());
      break;
    case 2:
      v.resize(random() % v.size());
      break;
    default: {
      const size_t at = random() % v.size(), n = std::min<size_t>(1 + random() % 64, v.size() - at);
      std::vector<uint8_t> stretch(v.begin() + at, v.begin() + at + n);
      v.insert(v.begin() + at, stretch.begin(), stretch.end());
      break;
    }
  }
  return v;
}

TEST(FuzzCorpus, DecodersSurviveMutatedImages) {
  TestDevice device;
  std::mt19937 random(20261210);
  int decoded = 0, refused = 0;
  for (const auto& seed : Seeds()) {
    zb::imgdecmp::RgbaImage image;
    ASSERT_TRUE(zb::imgdecmp::DecodeImage(seed, image));  // the seeds themselves are sound
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    for (int i = 0; i < 60; ++i) {
      auto mutated = Mutate(seed, random);
      if (i % 3 == 0) mutated = Mutate(mutated, random);
      LLVMFuzzerTestOneInput(mutated.data(), mutated.size());
      (zb::imgdecmp::DecodeImage(mutated, image) ? decoded : refused)++;
    }
  }
  // The corpus reaches both the paths that cope with damage and those that refuse it.
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace zb::testing
