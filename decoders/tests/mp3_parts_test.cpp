// The MP3 module's parts on their own: the 16-bit conversion with its carried remainder and held
// clips, the seek map over a table of contents, the Xing/LAME header with its version rules,
// and the equaliser's subband gains.
#include <mad.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "item_text.h"
#include "mp3_decoder.h"
#include "mp3_pcm_convert.h"
#include "mp3_play_state.h"
#include "mp3_seek_map.h"

namespace {

using namespace zbtest;

constexpr mad_fixed_t kOver = 0x10000000, kFull = 0x0FFFFFFF;

TEST(Mp3PcmConverter, CarriesTheCutPartAndHoldsClipsUntilTheWaveTurns) {
  const struct {
    const char* what;
    std::vector<mad_fixed_t> in;
    std::vector<int16_t> out;
  } kCases[] = {
      {"two halves of a step make one", {0x1000, 0x1000, 0x1000}, {0, 1, 0}},
      {"negative samples round down, their remainder is carried", {-1, 0, -0x2000}, {-1, 0, -1}},
      {"a clip lets go on the first sample back inside", {kOver, 0x100, -0x2000}, {32767, 0, -1}},
      {"a high clip holds through samples of the other sign", {kOver, -0x2000, -kOver - 5, 0x2000}, {32767, 32767, 32767, 1}},
      {"a low clip holds through positive samples", {-kOver - 1, 0x4000, kOver, -0x2000}, {-32768, -32768, -32768, -1}},
      {"full scale itself is no clip", {kFull, -kOver, 0}, {32767, -32768, 0}},
  };
  for (const auto& c : kCases) {
    Mp3PcmConverter convert;
    std::vector<int16_t> got(c.in.size() * 2, 0x5555);
    convert.Convert(0, c.in.data(), static_cast<unsigned>(c.in.size()), got.data(), 2);
    for (size_t i = 0; i < c.in.size(); ++i) {
      EXPECT_EQ(got[2 * i], c.out[i]) << c.what << ", sample " << i;
      EXPECT_EQ(got[2 * i + 1], 0x5555) << "the stride leaves the other channel alone";
    }
  }
}

TEST(Mp3PcmConverter, EachChannelKeepsItsOwnStateAcrossFrames) {
  Mp3PcmConverter convert;
  const mad_fixed_t left[] = {kOver}, right[] = {0x1000};
  int16_t out[2];
  convert.Convert(0, left, 1, out, 2);
  convert.Convert(1, right, 1, out + 1, 2);
  const mad_fixed_t nextLeft[] = {-0x2000}, nextRight[] = {0x1000};
  convert.Convert(0, nextLeft, 1, out, 2);
  convert.Convert(1, nextRight, 1, out + 1, 2);
  EXPECT_EQ(out[0], 32767);  // still held from the last frame
  EXPECT_EQ(out[1], 1);      // the remainder of the last frame came along
}

XingInfo LinearToc(DWORD frames) {
  XingInfo x{};
  x.isXing = 1;
  x.flags = XING_FRAMES | XING_TOC;
  x.frames = frames;
  for (int i = 0; i < 100; ++i) x.toc[i] = static_cast<BYTE>(i * 256 / 100);
  return x;
}

TEST(Mp3SeekMap, TimesAndBytesMapBothWays) {
  // 200 frames of 26 ms over 100000 bytes of audio behind a 400-byte Xing frame.
  const Mp3SeekMap map(LinearToc(200), 100400, 400, 5200, 26.0);
  EXPECT_DOUBLE_EQ(map.ByteOf(0), 400);
  EXPECT_DOUBLE_EQ(map.ByteOf(5200), 100400);
  EXPECT_DOUBLE_EQ(map.TimeOf(100400), 5200);
  EXPECT_DOUBLE_EQ(map.TimeOf(0), 0);
  double last = 0;
  for (int ms = 0; ms <= 5200; ms += 13) {
    const double byte = map.ByteOf(ms);
    EXPECT_GE(byte, last) << ms;
    EXPECT_NEAR(map.TimeOf(byte), ms, 0.001) << ms;
    last = byte;
  }
  // Entry i is where the frame after the one at i % begins: frame 101 for 50 %.
  EXPECT_NEAR(map.TimeOf(400 + (128 + 0.5) * 100000 / 256), 101 * 26.0, 0.001);
}

TEST(Mp3SeekMap, WithoutATableTheBytesRunStraight) {
  XingInfo none{};
  const Mp3SeekMap map(none, 10500, 500, 1000, 26.0);
  EXPECT_DOUBLE_EQ(map.ByteOf(500), 5500);
  EXPECT_DOUBLE_EQ(map.TimeOf(5500), 500);
  EXPECT_DOUBLE_EQ(map.ByteOf(-20), 500);
  EXPECT_DOUBLE_EQ(map.ByteOf(99999), 10500);
}

TEST(Mp3SeekMap, ADamagedTableStaysInsideTheAudio) {
  XingInfo x = LinearToc(0);  // no frame count either
  for (int i = 0; i < 100; ++i) x.toc[i] = static_cast<BYTE>(i % 7 == 0 ? 255 - i : i);
  const Mp3SeekMap map(x, 20000, 0, 3000, 26.0);
  for (int ms = -100; ms <= 3100; ms += 7) {
    const double byte = map.ByteOf(ms);
    EXPECT_TRUE(std::isfinite(byte));
    EXPECT_TRUE(std::isfinite(map.TimeOf(byte)));
  }
  const Mp3SeekMap empty(x, 0, 0, 0, 0);
  EXPECT_TRUE(std::isfinite(empty.ByteOf(100)));
  EXPECT_TRUE(std::isfinite(empty.TimeOf(100)));
}

// A Xing or Info header with every field and a LAME tag of the given version.
std::vector<unsigned char> XingBytes(const char* word, const char* version, uint32_t peak, uint16_t radio) {
  std::vector<unsigned char> b(word, word + 4);
  auto be32 = [&](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<unsigned char>(v >> s));
  };
  be32(0xF);
  be32(500);     // frames
  be32(200000);  // bytes
  for (int i = 0; i < 100; ++i) b.push_back(static_cast<unsigned char>(i * 2));
  be32(57);  // quality
  b.insert(b.end(), {'L', 'A', 'M', 'E'});
  b.insert(b.end(), version, version + 5);
  b.insert(b.end(), {0x24, 0x11});  // revision and method, lowpass
  be32(peak);
  b.push_back(static_cast<unsigned char>(radio >> 8));
  b.push_back(static_cast<unsigned char>(radio));
  b.insert(b.end(), {0, 0});  // no audiophile gain
  b.insert(b.end(), 20, 0);
  return b;
}

XingInfo Parse(const std::vector<unsigned char>& bytes, unsigned bits, BOOL* ok = nullptr) {
  mad_bitptr ptr;
  mad_bit_init(&ptr, bytes.data());
  XingInfo x;
  const BOOL result = ParseXingHeader(&x, ptr, bits);
  if (ok) *ok = result;
  return x;
}

TEST(XingHeader, TheLameVersionDecidesTheReferenceAndThePeakForm) {
  const struct {
    const char* version;
    float reference;
    bool peakIsFloat;
  } kCases[] = {{"3.95.", 6.0f, true}, {"3.95b", 0.0f, true},  {"3.96r", 6.0f, true}, {"3.94b", 0.0f, true},
                {"3.94a", 0.0f, false}, {"3.93 ", 0.0f, false}, {"4.00 ", 6.0f, true}};
  for (const auto& c : kCases) {
    const std::vector<unsigned char> bytes = XingBytes("Xing", c.version, 0x00400000, 0x2E1B);
    const XingInfo x = Parse(bytes, static_cast<unsigned>(bytes.size() * 8));
    EXPECT_EQ(x.isXing, 1u);
    EXPECT_EQ(x.flags, 0xFu);
    EXPECT_EQ(x.frames, 500u);
    EXPECT_EQ(x.bytes, 200000u);
    EXPECT_EQ(x.toc[99], 198);
    EXPECT_EQ(x.quality, 57u);
    EXPECT_EQ(x.replayGainPresent, 1u) << c.version;
    EXPECT_EQ(x.referenceOffset, c.reference) << c.version;
    float peak;
    std::memcpy(&peak, x.replayGain, 4);
    if (c.peakIsFloat) {
      EXPECT_EQ(peak, 0.5f) << c.version;
    } else {
      EXPECT_EQ(std::vector<BYTE>(x.replayGain, x.replayGain + 4), (std::vector<BYTE>{0, 0x40, 0, 0})) << c.version;
    }
  }
}

TEST(XingHeader, InfoHeadersAndFieldsThatDoNotFit) {
  const std::vector<unsigned char> bytes = XingBytes("Info", "3.100", 0, 0);
  EXPECT_EQ(Parse(bytes, static_cast<unsigned>(bytes.size() * 8)).isXing, 0u);
  BOOL ok = TRUE;
  const XingInfo cut = Parse(bytes, 8 * (8 + 4 + 4 + 50), &ok);  // the table does not fit
  EXPECT_FALSE(ok);
  EXPECT_EQ(cut.flags, 0u);
  EXPECT_EQ(Parse(bytes, 8 * 8 + 4, &ok).flags, 0u);  // a frame count cut short
  EXPECT_FALSE(ok);
  const std::vector<unsigned char> other = {'L', 'A', 'M', 'E', 0, 0, 0, 15};
  Parse(other, 64, &ok);
  EXPECT_FALSE(ok);
  Parse(bytes, 31, &ok);
  EXPECT_FALSE(ok);
}

TEST(XingHeader, StreamInformationCarriesTheLameReplayGain) {
  const std::vector<unsigned char> bytes = XingBytes("Xing", "3.95.", 0x00800000, 0x2E1B);
  const XingInfo x = Parse(bytes, static_cast<unsigned>(bytes.size() * 8));
  mad_header header;
  mad_header_init(&header);
  header.samplerate = 44100;
  header.bitrate = 128000;
  header.mode = MAD_MODE_JOINT_STEREO;
  mad_timer_set(&header.duration, 0, 1152, 44100);
  ItemHolder item;
  FillMp3StreamInfo(header, x, item, 12345);
  float value = 0;
  ASSERT_EQ(item->GetFloat(0x00032712, &value), S_OK);
  EXPECT_NEAR(value, -2.7f, 1e-5);
  ASSERT_EQ(item->GetFloat(0x00032714, &value), S_OK);
  EXPECT_EQ(value, 1.0f);
  ASSERT_EQ(item->GetFloat(0x00032716, &value), S_OK);
  EXPECT_EQ(value, 89.0f);  // 83 dB, and 6 more from LAME 3.95 on
  EXPECT_EQ(IntTag(item, TAG_ID(1004, TAG_TYPE_INT)), 500 * 1152 * 1000 / 44100);
  EXPECT_EQ(IntTag(item, TAG_ID(1011, TAG_TYPE_INT)), 1);  // Is VBR
  EXPECT_EQ(IntTag(item, TAG_ID(1005, TAG_TYPE_INT)), 128000);
  EXPECT_EQ(IntTag(item, TAG_ID(1009, TAG_TYPE_INT)), 2);
}

TEST(Mp3Equalizer, BandsMakeSubbandGains) {
  constexpr LONG kUnity = 1 << 28;
  signed char bands[10];
  std::memset(bands, 31, sizeof bands);
  ComputeEqGains(true, bands, 31);
  EXPECT_TRUE(EqualizerOn());
  for (int j = 0; j < 32; ++j) EXPECT_EQ(EqualizerGains()[j], kUnity) << j;

  // The top band sits at 16 kHz and 22.05 kHz: subbands below 14 kHz keep unity, the top one
  // gets the whole boost, and the ones between rise towards it.
  bands[9] = 0;
  ComputeEqGains(false, bands, 31);
  EXPECT_FALSE(EqualizerOn());
  for (int j = 0; j < 20; ++j) EXPECT_EQ(EqualizerGains()[j], kUnity) << j;
  EXPECT_EQ(EqualizerGains()[31], static_cast<LONG>(std::pow(10.0, 0.5) * kUnity + 0.5));
  for (int j = 21; j < 32; ++j) EXPECT_GE(EqualizerGains()[j], EqualizerGains()[j - 1]) << j;

  std::memset(bands, 63, sizeof bands);
  ComputeEqGains(true, bands, 63);  // every point at its floor
  for (int j = 0; j < 32; ++j) EXPECT_EQ(EqualizerGains()[j], static_cast<LONG>(std::pow(10.0, -0.5) * kUnity + 0.5));
  std::memset(bands, 31, sizeof bands);
  ComputeEqGains(false, bands, 31);
}

}  // namespace
