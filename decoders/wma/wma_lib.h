// The WMA decoding library: an ASF file with one Windows Media Audio stream (format tags 0x160
// and 0x161) turned into 16-bit PCM. It reaches the file only through its host's read callback,
// parses the ASF header, walks the data packets and their payloads, and feeds the stream's packets
// to the audio decoder. Every call answers a library result code.
#pragma once
#include <cstdint>
#include <vector>

#include "wma_audio.h"

enum WmaLibResult : int {
  WMA_LIB_OK = 0,
  WMA_LIB_UNSUPPORTED = 1,  // an unsupported codec, bad packet flags, the end of the payload bytes
  WMA_LIB_NULL = 2,
  WMA_LIB_SHORT_READ = 3,
  WMA_LIB_NOT_ASF = 4,      // no ASF header at the start, or a data packet header that cannot be parsed
  WMA_LIB_END = 6,          // the end of the data packets, or a payload that overruns its packet
  WMA_LIB_BAD_RATE = 7,     // a rate outside the table, or an object whose inner length overruns it
  WMA_LIB_INTERNAL = 18,
  WMA_LIB_FORMAT_130 = 19,  // WmaLibCreate found a stream of format tag 0x130: success for the caller
  WMA_LIB_NO_DECODER = 20,  // a stream of format tag 0x130, which this library does not decode
};

// `bytes` bytes of the file at `offset`: points `data` at them and answers how many there are
// (fewer at the end of the file, 0 when none can be read).
typedef uint32_t (*WmaReadCallback)(void* host, uint32_t offset, uint32_t bytes, const uint8_t** data);
typedef void (*WmaDebugHook)(const char* format, ...);

constexpr uint16_t kWmaCodecV1 = 1;
constexpr uint16_t kWmaCodecV2 = 2;
constexpr uint16_t kWmaCodec130 = 0x101;
constexpr uint32_t kWmaExtraDataSlot = 268;
constexpr uint32_t kWmaMaxPacketSize = 1u << 20;
constexpr int kWmaRateCount = 6;
extern const uint32_t kWmaRates[kWmaRateCount];  // by rate index: 44100 ... 8000 Hz

// The header state: what the ASF header says of the file and its audio stream.
struct tWMAFileHdrStateInternal {
  uint32_t currentOffset;
  uint32_t nextPacketOffset;
  uint32_t headerSize;
  uint32_t packetSize;
  uint32_t spanBytes;   // output bytes per descrambling span
  uint32_t packetCount;
  uint32_t durationMs;  // Send Duration
  uint32_t prerollMs;
  uint32_t dataStart;   // the first data packet
  uint32_t lastPacketOffset;
  uint16_t codecVersion;  // 1 for 0x160, 2 for 0x161, 0x101 for 0x130, 0 without an audio stream
  uint32_t sampleRate;
  uint32_t avgBytesPerSecond;
  uint32_t blockAlign;
  uint16_t channels;
  uint32_t samplesPerBlock;
  uint16_t encodeOptions;
  uint32_t descriptionOffset;  // the Content Description strings, 0 when the file has none
  uint16_t descriptionLengths[5];
  uint32_t extraDataLength;    // bytes kept, at most the slot
  uint8_t extraData[kWmaExtraDataSlot];
  uint8_t audioStream;
  uint8_t keptStream;          // number of the stream of the kept type
  uint8_t parseState;
};

// One parsed data packet: where its payloads lie in the packet's bytes.
struct WmaPacketInfo {
  bool skip;           // opaque error-correction data: not ours to read
  bool multiple;
  uint8_t propertyFlags;
  uint8_t payloadLengthType;
  uint32_t payloadCount;
  uint32_t firstPayload;  // offset of the first payload header
  uint32_t end;           // end of the payload bytes (before the padding)
  uint32_t sendTime;
  uint16_t duration;
};

// One payload of a packet.
struct WmaPayload {
  uint8_t stream;
  uint32_t mediaObject;
  uint32_t objectOffset;      // into the media object; the presentation time when compressed
  uint32_t presentationTime;  // ms, from the replicated data (or the offset when compressed)
  bool timed;
  bool compressed;            // sub-payloads, each behind a length byte
  uint32_t data;              // offset of its bytes in the packet
  uint32_t length;
};

// The walk over the data packets, and the stream packet being put together from payload bytes.
struct WmaPacketWalk {
  std::vector<uint8_t> packet;  // the data packet read last
  WmaPacketInfo info{};
  uint32_t payloadIndex = 0;
  uint32_t cursor = 0;          // next payload header in the packet
  WmaPayload payload{};         // the audio payload being fed
  uint32_t fed = 0;             // its bytes handed on so far
  uint32_t subStart = 0, subEnd = 0;  // the sub-payload being fed, in a compressed payload
  std::vector<uint8_t> unit;    // the stream packet being filled
  uint32_t unitFill = 0;
  int lastError = 0;            // why the walk stopped
  // What the walk has seen, for the statistics.
  uint32_t packetsRead = 0, audioPayloads = 0, audioBytes = 0, unitsOut = 0, unitsDropped = 0;
};

// The library's whole state: one block the host allocates and keeps for a file's life.
struct WmaLibState {
  WmaReadCallback read = nullptr;
  void* host = nullptr;
  WmaDebugHook debug = nullptr;
  tWMAFileHdrStateInternal header{};
  WmaPacketWalk walk;
  WmaAudioDecoder audio;
  uint64_t samplesOut = 0;
  bool startPending = false;  // the next decode begins with a packet start
  bool ready = false;         // the header parsed and the audio decoder set up
};

struct WmaFormatInfo {
  uint8_t codecVersion;
  uint8_t rateIndex;
  uint8_t channels;
  uint8_t spare;
  uint32_t durationMs;
  uint32_t packetSize;
  uint32_t avgBytesPerSecond;
  uint32_t blockAlign;
  uint32_t zero;
  uint32_t extraDataLength;
  uint32_t bitRate;
};

// Requests for the five Content Description strings (title, author, copyright, description,
// rating): byte counts and buffers; each count comes back as the file's full length.
struct WmaContentDescription {
  uint16_t lengths[5];
  uint16_t spare;
  char16_t* buffers[5];
};

int WmaLibCreate(WmaLibState* state);
int WmaLibParseHeader(WmaLibState* state);
int WmaLibGetFormat(WmaLibState* state, WmaFormatInfo* info);
int WmaLibGetContentDescription(WmaLibState* state, WmaContentDescription* request);
int WmaLibDecode(WmaLibState* state, uint32_t* status);
// Samples per channel written; interleaved when `right` is `left` + 1 or null.
uint32_t WmaLibGetPcm(WmaLibState* state, int16_t* left, int16_t* right, uint32_t maxSamples);
// Milliseconds reached.
uint32_t WmaLibSeek(WmaLibState* state, uint32_t ms);
int WmaLibReadBytes(WmaLibState* state, uint32_t offset, uint32_t count, uint8_t* destination);

// The header objects; 0 or a library code.
int AsfParseHeader(WmaLibState* state);
// The rate index of a sample rate, -1 when the table lacks it.
int WmaRateIndex(uint32_t sampleRate);
// 100-ns units to milliseconds, capped to 32 bits.
uint32_t WmaHundredNsToMs(uint64_t units);
