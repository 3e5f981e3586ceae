// zbwmainfo: what the WMA decoding library makes of a file: the format, the content description,
// the length, the data packets it walks and the decoder parameters its set-up derives, one
// "name value" line each.
//
//   zbwmainfo FILE
// Status 0 when the library takes the file, 1 when it refuses it (its result code is printed),
// 2 for a wrong command line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "device/text.h"
#include "wma_asf_packets.h"
#include "wma_lib.h"
#include "wma_memory_source.h"

namespace {

constexpr char kUsage[] = "usage: zbwmainfo FILE\n";

void PrintDescription(WmaLibState& lib) {
  static const char* const kNames[5] = {"title", "author", "copyright", "description", "rating"};
  std::vector<char16_t> texts[5];
  WmaContentDescription request{};
  for (int k = 0; k < 5; ++k) {
    texts[k].assign(32768, 0);
    request.lengths[k] = 65534;
    request.buffers[k] = texts[k].data();
  }
  const int result = WmaLibGetContentDescription(&lib, &request);
  for (int k = 0; k < 5; ++k)
    std::printf("description.%s %s\n", kNames[k], result == WMA_LIB_OK ? zb::ToUtf8(texts[k].data()).c_str() : "");
}

void PrintDecoder(const WmaAudioDecoder& a) {
  std::printf("decoder.frame_length_bits %d\n", a.frameBits);
  std::printf("decoder.bit_reservoir %d\n", a.bitReservoir);
  std::printf("decoder.exponent_coding %s\n", a.expByHuffman ? "huffman" : "lsp");
  std::printf("decoder.block_size_count %d\n", a.blockSizeCount);
  std::printf("decoder.block_size_index_bits %d\n", a.blockSizeIndexBits);
  std::printf("decoder.bits_per_sample_q28 %llu\n", static_cast<unsigned long long>(a.bitsPerSample));
  std::printf("decoder.bits_per_sample1_q28 %llu\n", static_cast<unsigned long long>(a.bitsPerSample1));
  std::printf("decoder.table_set %d\n", a.tableSet);
  std::printf("decoder.high_frequency_hz %u\n", a.highFrequency);
  std::printf("decoder.noise_coding %d\n", a.noiseCoding);
  std::printf("decoder.noise_multiplier_q12 %u\n", a.noiseMultiplier);
  for (int k = 0; k <= a.blockSizeCount; ++k) {
    const int bits = a.frameBits - k;
    std::printf("decoder.high_band_start.%d %u\n", 1 << bits, WmaHighBandStart(&a, bits));
    if (a.noiseCoding) std::printf("decoder.first_high_band.%d %d\n", 1 << bits, a.firstHighBands[k]);
  }
  std::printf("decoder.byte_offset_bits %u\n", a.byteOffsetBits);
  std::printf("decoder.header_bits %d\n", a.headerBits);
}

// Walks every packet the way decoding would, counting what it meets.
void PrintPackets(WmaLibState& lib) {
  const uint8_t* data = nullptr;
  uint64_t bytes = 0;
  for (uint32_t got; (got = WmaLibSupplyPacket(&lib, &data)) > 0;) bytes += got;
  const WmaPacketWalk& w = lib.walk;
  std::printf("packets.read %u\n", w.packetsRead);
  std::printf("packets.audio_payloads %u\n", w.audioPayloads);
  std::printf("packets.audio_bytes %u\n", w.audioBytes);
  std::printf("packets.stream_packets %u\n", w.unitsOut);
  std::printf("packets.stream_bytes %llu\n", static_cast<unsigned long long>(bytes));
  std::printf("packets.dropped %u\n", w.unitsDropped);
  std::printf("packets.end %d\n", w.lastError);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::vector<uint8_t> bytes;
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "zbwmainfo: cannot read %s\n", argv[1]);
    return 1;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  WmaMemorySource file{bytes.data(), bytes.size()};
  auto lib = std::make_unique<WmaLibState>();
  WmaReadFrom(lib.get(), &file);
  const int created = WmaLibCreate(lib.get());
  std::printf("create %d\n", created);
  const tWMAFileHdrStateInternal& h = lib->header;
  if (created == WMA_LIB_OK || created == WMA_LIB_FORMAT_130) {
    std::printf("header.codec_version %u\n", h.codecVersion);
    std::printf("header.sample_rate %u\n", h.sampleRate);
    std::printf("header.channels %u\n", h.channels);
    std::printf("header.avg_bytes_per_second %u\n", h.avgBytesPerSecond);
    std::printf("header.block_align %u\n", h.blockAlign);
    std::printf("header.samples_per_block %u\n", h.samplesPerBlock);
    std::printf("header.encode_options %u\n", h.encodeOptions);
    std::printf("header.audio_stream %u\n", h.audioStream);
    std::printf("header.packet_size %u\n", h.packetSize);
    std::printf("header.packet_count %u\n", h.packetCount);
    std::printf("header.preroll_ms %u\n", h.prerollMs);
    std::printf("header.header_size %u\n", h.headerSize);
    std::printf("header.data_start %u\n", h.dataStart);
    std::printf("header.span_bytes %u\n", h.spanBytes);
    std::printf("header.extra_data_length %u\n", h.extraDataLength);
  }
  const int parsed = created == WMA_LIB_OK ? WmaLibParseHeader(lib.get()) : created;
  std::printf("parse %d\n", parsed);
  if (parsed != WMA_LIB_OK) return 1;
  WmaFormatInfo format{};
  WmaLibGetFormat(lib.get(), &format);
  std::printf("format.codec_version %u\n", format.codecVersion);
  std::printf("format.rate_index %u\n", format.rateIndex);
  std::printf("format.sample_rate %u\n", kWmaRates[format.rateIndex]);
  std::printf("format.channels %u\n", format.channels);
  std::printf("format.packet_size %u\n", format.packetSize);
  std::printf("format.avg_bytes_per_second %u\n", format.avgBytesPerSecond);
  std::printf("format.block_align %u\n", format.blockAlign);
  std::printf("format.extra_data_length %u\n", format.extraDataLength);
  std::printf("format.bit_rate %u\n", format.bitRate);
  std::printf("length_ms %u\n", format.durationMs);
  PrintDescription(*lib);
  PrintDecoder(lib->audio);
  PrintPackets(*lib);
  return 0;
}
