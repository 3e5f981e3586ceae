// The audio decoder of the WMA decoding library: Windows Media Audio versions 1 and 2 (format tags
// 0x160 and 0x161) from the stream's packets of block-align bytes to 16-bit PCM, in fixed point
// only (Q28, Q30 and Q31 values, 32 x 32 -> 64-bit products). The library's outer layer sets it
// up, supplies the packets and drives it one block at a time.
#pragma once
#include <cstdint>

// Hands out the stream's next packet (block-align bytes, fewer only at the end): its bytes stay
// valid until the next call. 0 bytes when the stream has no more.
typedef uint32_t (*WmaPacketSupply)(void* context, const uint8_t** data);

struct WmaAudioConfig {
  uint8_t version;    // 1 or 2
  uint8_t rateIndex;  // 0 = 44100, 1 = 32000, 2 = 22050, 3 = 16000, 4 = 11025, 5 = 8000 Hz
  uint8_t channels;
  uint8_t spare;
  uint32_t avgBytesPerSecond;
  uint32_t blockAlign;
  uint32_t samplesPerBlock;  // not used by this decoder
  uint32_t encodeOptions;    // low 16 bits of the stream's encode options
  WmaPacketSupply supply;
  void* supplyContext;
  uint32_t hostWord;  // kept, never read
};

// WmaAudioInit results.
enum WmaAudioSetupResult : int {
  WMA_AUDIO_OK = 0,
  WMA_AUDIO_BAD_RATE = 3,
  WMA_AUDIO_BAD_CHANNELS = 4,
  WMA_AUDIO_BAD_VERSION = 5,
  WMA_AUDIO_BAD_BIT_RATE = 8,
  WMA_AUDIO_NO_DECODER = 10,
  WMA_AUDIO_NO_DATA = 11,  // a packet start that found the data at its end
};

// WmaAudioDecode results.
enum WmaAudioDecodeResult : int {
  WMA_DECODED = 0,       // a block's samples are ready
  WMA_MALFORMED = 1,     // the block breaks the format's rules
  WMA_PACKET_DONE = 2,   // the packet is used up, or the data ran out
  WMA_PACKET_LOST = 9,   // a packet went missing inside the frame
};

enum WmaFrameState : uint8_t {
  WMA_FRAME_NEW_PACKET = 4,
  WMA_FRAME_NEW = 5,
  WMA_FRAME_INSIDE = 6,
  WMA_FRAME_PACKET_DONE = 7,
};

constexpr int kWmaMaxBlock = 2048;
constexpr int kWmaMaxBands = 25;
constexpr int kWmaLspCodes = 10;

// Bits read most significant first; the unread ones sit at the top of a 64-bit cache.
struct WmaBitReader {
  const uint8_t* next = nullptr;  // first byte of the packet not in the cache yet
  int32_t left = 0;               // bytes from `next` to the packet's end; -1 once the data ran out
  uint64_t cache = 0;
  int32_t bits = 0;               // unread bits in the cache
  uint32_t count = 0;             // bits read on the current byte grid (version 1 alignment)
};

struct WmaAudioDecoder;
// Reads one block's header, envelope and spectrum and makes its samples: 0, WMA_MALFORMED or
// WMA_PACKET_LOST. Set-up installs the format's own; the frame tests put in their own.
typedef int (*WmaBlockDecodeFn)(WmaAudioDecoder* d);

// Per channel: the exponents of the current envelope, one per band of the row they were read
// with (wider than a byte: a hostile stream may walk them anywhere), and the largest of them.
struct WmaChannelEnvelope {
  int16_t exponents[kWmaMaxBands];
  int16_t largest;
};

// Per channel, with line spectral pairs: the prediction polynomial of the last codes read (ten
// coefficients, Q25, as -2 times A's coefficients 1 to 10), the block bits they were read at and
// their envelope's largest value (mantissa 2^-30 2^-exponent), which later blocks stay relative to.
struct WmaChannelLsp {
  int32_t polynomial[kWmaLspCodes];
  uint8_t bits;
  uint8_t valid;  // the codes and their largest value are known, for blocks that reuse them
  uint8_t fresh;  // read in this block: its envelope sets the largest value
  int8_t maxExponent;
  uint32_t maxMantissa;
};

// Per channel: the noise-coded high bands of the current block.
struct WmaChannelNoise {
  uint8_t noiseBands;               // how many high bands are noise-coded
  uint8_t flags[kWmaMaxBands];      // by band index: 1 = noise-coded (from the first high band on)
  int16_t values[kWmaMaxBands];     // their gains, in the order of the noise-coded bands
  uint32_t codedCount;              // coefficients coded by run and level
};

struct WmaAudioDecoder {
  WmaBitReader reader;
  WmaPacketSupply supply = nullptr;
  void* supplyContext = nullptr;
  WmaBlockDecodeFn decodeBlock = nullptr;

  // Packets: with the bit reservoir the header word of the packet fetched last (pending until the
  // packet start takes it), else a counter of packets fetched, modulo 1024.
  uint32_t headerWord = 0;
  bool headerPending = false;
  const uint8_t* payloadStart = nullptr;  // the packet fetched last
  uint32_t payloadBytes = 0;
  uint8_t bitReservoir = 0;
  uint8_t sequence = 255;    // sequence number of the packet fetched last; 255 = none
  int32_t lastSequence = -2;  // that of the packet the packet start took last
  uint32_t byteOffsetBits = 0;
  uint32_t bitsPerPacket = 0;
  uint8_t headerBits = 0;

  uint8_t frameState = WMA_FRAME_NEW_PACKET;
  uint8_t framesInPacket = 0;
  uint8_t framesLeft = 0;

  // Coding parameters from set-up.
  uint8_t version = 0;
  uint8_t channels = 0;
  uint8_t rateIndex = 0;
  uint32_t sampleRate = 0;
  uint8_t frameBits = 0;
  uint8_t blockSizeCount = 0;  // the largest block-size index
  uint8_t blockSizeIndexBits = 0;
  uint8_t expByHuffman = 0;    // 1: exponents by Huffman code, 0: by line spectral pairs
  uint8_t optionBit5 = 0;
  uint8_t tableSet = 0;        // coefficient code set 1, 2 or 3
  uint8_t noiseCoding = 0;
  // Q28, per channel, and 1.6 times that for stereo; 64-bit, since low rates at high byte rates
  // reach 32 bits a sample.
  uint64_t bitsPerSample = 0;
  uint64_t bitsPerSample1 = 0;
  uint32_t highFrequency = 0;  // Hz
  uint32_t noiseMultiplier = 0;  // Q12
  uint8_t firstHighBands[5] = {};  // by block-size index

  // The block being decoded.
  uint8_t prevBits = 0, curBits = 0, nextBits = 0;
  uint8_t blockNumber = 0;
  uint8_t framePosition = 0;  // in units of 32 samples
  uint8_t midSide = 0;
  uint8_t channelCoded = 0;   // bit 1: channel 0, bit 0: channel 1
  uint8_t discontinuity = 0;
  uint8_t resetBlockSizes = 0;
  uint8_t firstOutput = 3;    // 3 until the first block after set-up, then 1
  uint8_t exponentsPresent = 0;
  uint8_t exponentsRead = 0;  // some block since the reset carried exponents
  uint8_t coefficientBits = 0;
  uint32_t totalGain = 0;     // full width: a gain above 255 is not cut to a byte
  uint16_t blockLength = 0;
  uint16_t highBandStart = 0;
  uint16_t coefficientEnd = 0;  // first position past the coded spectrum
  uint8_t firstHighBand = 0;
  uint8_t bandRow = 0;        // of the current exponents
  uint8_t expBits = 0;        // block bits the current exponents were read at
  uint32_t outOfData = 0;

  WmaChannelEnvelope envelope[2];
  WmaChannelNoise noise[2];
  WmaChannelLsp lsp[2];
  uint32_t noiseState = 0;
  int32_t noisePrevious = 0;  // the generator's last draw, for the differenced noise

  // Samples of the block decoded last, interleaved, and how far they were handed out.
  int16_t pcm[2 * (kWmaMaxBlock + kWmaMaxBlock / 2)];
  uint32_t pcmCount = 0;     // samples per channel
  uint32_t pcmPosition = 0;
  uint8_t outputStage = 0;

  // The spectrum of each channel, then its time signal (PCM in Q12); the windowed falling half of
  // the last block toward this one, as long as the shorter of the two blocks.
  int32_t spectrum[2][kWmaMaxBlock];
  int32_t history[2][kWmaMaxBlock];
  uint16_t historyLength = 0;  // 0 after a clear: the next block overlaps with silence
  int32_t work[kWmaMaxBlock];  // the transform's complex values
};

int WmaAudioInit(WmaAudioDecoder* d, const WmaAudioConfig* config);
// Forgets the stream position (a seek, a decoding error); returns -2.
int WmaAudioReset(WmaAudioDecoder* d);
int WmaAudioStartPacket(WmaAudioDecoder* d);
int WmaAudioDecode(WmaAudioDecoder* d, uint32_t* samples);
// Samples of the last block: `left` gets channel 0, `right` channel 1, interleaved when right is
// left + 1; a mono stream writes through `right`. Returns samples per channel written.
uint32_t WmaAudioGetPcm(WmaAudioDecoder* d, int16_t* left, int16_t* right, uint32_t count);
uint32_t WmaAudioIsOutOfData(const WmaAudioDecoder* d);
void WmaAudioSetOutOfData(WmaAudioDecoder* d);
void WmaAudioSetDiscontinuity(WmaAudioDecoder* d);
uint32_t WmaAudioHeaderBits(const WmaAudioDecoder* d);

// The high band start for a block of 2^bits: 2 N high frequency / rate, rounded.
uint32_t WmaHighBandStart(const WmaAudioDecoder* d, int bits);
// The band table row for a block of 2^bits, or -1 when the format has none for it.
int WmaBandRowFor(const WmaAudioDecoder* d, int bits);
