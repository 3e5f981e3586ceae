// Fuzz target: any bytes as a file for the WMA library: the ASF header walk, the format and the
// Content Description, the data packets' walk into the audio stream's packets, decoding, and a
// seek. Sizes and counts in the input must never lead a read outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "wma_lib.h"
#include "wma_memory_source.h"

namespace {

void Decode(WmaLibState* lib, int steps) {
  std::vector<int16_t> pcm(2 * 4096);
  for (int i = 0; i < steps; ++i) {
    uint32_t status = 0;
    if (WmaLibDecode(lib, &status) != WMA_LIB_OK) return;
    while (WmaLibGetPcm(lib, pcm.data(), nullptr, 1000) > 0) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WmaMemorySource in{data, size};
  auto lib = std::make_unique<WmaLibState>();
  WmaReadFrom(lib.get(), &in);
  if (WmaLibCreate(lib.get()) != WMA_LIB_OK) return 0;
  if (WmaLibParseHeader(lib.get()) != WMA_LIB_OK) return 0;
  WmaFormatInfo format{};
  WmaLibGetFormat(lib.get(), &format);
  char16_t texts[5][16];
  WmaContentDescription request{};
  for (int k = 0; k < 5; ++k) {
    request.lengths[k] = sizeof texts[k];
    request.buffers[k] = texts[k];
  }
  WmaLibGetContentDescription(lib.get(), &request);
  Decode(lib.get(), 200);
  WmaLibSeek(lib.get(), format.durationMs / 2);
  Decode(lib.get(), 50);
  return 0;
}
