// Fuzz target: the audio decoder's block decoding on its own, under every set-up the format has.
// The first eight bytes choose version, rate, channels, byte rate, packet size and encode
// options; the rest are the stream's packets. Block headers, exponents, run-level codes, noise
// bands, the transform and the output must take any bits without a read or write outside.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "wma_audio.h"

namespace {

struct Packets {
  const uint8_t* data;
  size_t size, at, packet;
  static uint32_t Supply(void* context, const uint8_t** out) {
    auto* p = static_cast<Packets*>(context);
    if (p->at >= p->size) return 0;
    const size_t n = p->size - p->at < p->packet ? p->size - p->at : p->packet;
    *out = p->data + p->at;
    p->at += n;
    return static_cast<uint32_t>(n);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  WmaAudioConfig c{};
  c.version = static_cast<uint8_t>(1 + (data[0] & 1));
  c.rateIndex = static_cast<uint8_t>((data[0] >> 1) % 6);
  c.channels = static_cast<uint8_t>(1 + ((data[0] >> 4) & 1));
  c.avgBytesPerSecond = (data[1] | data[2] << 8) & 0x7FFF;
  c.blockAlign = 16 + (data[3] | (data[4] & 7) << 8);
  c.encodeOptions = data[5] | data[6] << 8;
  Packets packets{data + 8, size - 8, 0, c.blockAlign};
  c.supply = Packets::Supply;
  c.supplyContext = &packets;
  auto d = std::make_unique<WmaAudioDecoder>();
  if (WmaAudioInit(d.get(), &c) != WMA_AUDIO_OK) return 0;
  std::vector<int16_t> pcm(2 * 4096);
  for (int step = 0; step < 400 && !WmaAudioIsOutOfData(d.get()); ++step) {
    WmaAudioStartPacket(d.get());
    uint32_t samples = 0;
    int result;
    while ((result = WmaAudioDecode(d.get(), &samples)) == WMA_DECODED) {
      const bool split = data[7] & 1;
      while (WmaAudioGetPcm(d.get(), pcm.data(), split ? pcm.data() + 4096 : pcm.data() + 1, 1000) > 0) {
      }
    }
    if (result == WMA_MALFORMED) WmaAudioReset(d.get());
  }
  return 0;
}
