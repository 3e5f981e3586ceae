// Conversion streams: which pairs open, the sizes they report, the header rules (prepared
// buffers come back as they were, nothing beyond them is touched), and a destination too small
// for the source, which converts in turns without losing a frame.
#include "acm_support.h"

namespace zb::acm::testing {
namespace {

struct OpenCase {
  WAVEFORMATEX source;
  WAVEFORMATEX destination;
  MMRESULT result;
};

const OpenCase kOpens[] = {
    {Pcm(2, 44100, 16), Pcm(1, 22050, 8), MMSYSERR_NOERROR},
    {Format(WAVE_FORMAT_ALAW, 2, 8000, 8), Pcm(2, 8000, 16), MMSYSERR_NOERROR},
    {Format(WAVE_FORMAT_ALAW, 2, 8000, 8), Pcm(1, 8000, 16), ACMERR_NOTPOSSIBLE},
    {Format(WAVE_FORMAT_MULAW, 1, 8000, 8), Pcm(1, 16000, 16), ACMERR_NOTPOSSIBLE},
    {Pcm(1, 8000, 16), Format(WAVE_FORMAT_MULAW, 1, 8000, 8), ACMERR_NOTPOSSIBLE},
    {Pcm(2, 44100, 32), Pcm(2, 44100, 16), ACMERR_NOTPOSSIBLE},
    {Pcm(3, 44100, 16), Pcm(2, 44100, 16), ACMERR_NOTPOSSIBLE},
    {Format(WAVE_FORMAT_GSM610, 1, 8000, 0), Pcm(1, 8000, 16), ACMERR_NOTPOSSIBLE},
    {Pcm(2, 0, 16), Pcm(2, 44100, 16), ACMERR_NOTPOSSIBLE},
};

TEST(AcmStreamTest, PairsThatOpenAndPairsThatDoNot) {
  for (size_t i = 0; i < std::size(kOpens); ++i) {
    WAVEFORMATEX s = kOpens[i].source, d = kOpens[i].destination;
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &s, &d, nullptr, 0, 0, ACM_STREAMOPENF_QUERY), kOpens[i].result) << i;
    HACMSTREAM stream = reinterpret_cast<HACMSTREAM>(1);
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, &s, &d, nullptr, 0, 0, 0), kOpens[i].result) << i;
    EXPECT_EQ(stream != nullptr, kOpens[i].result == MMSYSERR_NOERROR) << i;
    if (stream) {
      EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_NOERROR);
    }
  }
  WAVEFORMATEX s = Pcm(1, 8000, 16), d = Pcm(1, 8000, 8);
  HACMSTREAM stream = nullptr;
  EXPECT_EQ(acmStreamOpen(&stream, nullptr, &s, &d, nullptr, 0, 0, ACM_STREAMOPENF_ASYNC), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(acmStreamOpen(&stream, nullptr, &s, &d, reinterpret_cast<LPWAVEFILTER>(&s), 0, 0, 0), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(acmStreamOpen(&stream, nullptr, &s, &d, nullptr, 0, 0, 0x100), MMSYSERR_INVALFLAG);
  EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &s, &d, nullptr, 0, 0, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmStreamOpen(&stream, nullptr, nullptr, &d, nullptr, 0, 0, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_INVALHANDLE);
}

struct SizeCase {
  WAVEFORMATEX source;
  WAVEFORMATEX destination;
  DWORD flags;
  DWORD input;
  MMRESULT result;
  DWORD output;
};

const SizeCase kSizes[] = {
    {Pcm(2, 44100, 16), Pcm(2, 22050, 16), ACM_STREAMSIZEF_SOURCE, 4096, 0, 2048},
    {Pcm(2, 44100, 16), Pcm(2, 22050, 16), ACM_STREAMSIZEF_SOURCE, 4100, 0, 2052},  // 1025 frames -> 513
    {Pcm(2, 44100, 16), Pcm(2, 22050, 16), ACM_STREAMSIZEF_DESTINATION, 2048, 0, 4096},
    {Pcm(1, 8000, 8), Pcm(2, 44100, 16), ACM_STREAMSIZEF_SOURCE, 8000, 0, 44100 * 4},
    {Format(WAVE_FORMAT_ALAW, 1, 8000, 8), Pcm(1, 8000, 16), ACM_STREAMSIZEF_SOURCE, 16384, 0, 32768},
    {Pcm(2, 44100, 16), Pcm(2, 22050, 16), ACM_STREAMSIZEF_SOURCE, 3, ACMERR_NOTPOSSIBLE, 0},
    {Pcm(2, 44100, 16), Pcm(2, 22050, 16), ACM_STREAMSIZEF_DESTINATION, 2, ACMERR_NOTPOSSIBLE, 0},
    {Pcm(2, 44100, 16), Pcm(2, 22050, 16), 0x8, 4096, MMSYSERR_INVALFLAG, 0},
};

TEST(AcmStreamTest, SizesInWholeFrames) {
  for (size_t i = 0; i < std::size(kSizes); ++i) {
    const SizeCase& c = kSizes[i];
    WAVEFORMATEX s = c.source, d = c.destination;
    HACMSTREAM stream = nullptr;
    ASSERT_EQ(acmStreamOpen(&stream, nullptr, &s, &d, nullptr, 0, 0, 0), MMSYSERR_NOERROR) << i;
    DWORD out = 12345;
    EXPECT_EQ(acmStreamSize(stream, c.input, &out, c.flags), c.result) << i;
    if (c.result == 0) {
      EXPECT_EQ(out, c.output) << i;
    }
    EXPECT_EQ(acmStreamSize(stream, c.input, nullptr, c.flags), MMSYSERR_INVALPARAM);
    acmStreamClose(stream, 0);
  }
}

class HeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WAVEFORMATEX s = Pcm(1, 8000, 16), d = Pcm(1, 8000, 16);
    ASSERT_EQ(acmStreamOpen(&stream_, nullptr, &s, &d, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    for (size_t i = 0; i < 200; ++i) PutSample16(in_, i, static_cast<int16_t>(i * 100 - 9000));
    h_.cbStruct = sizeof(h_);
    h_.pbSrc = in_.data();
    h_.cbSrcLength = 400;
    h_.pbDst = out_.data();
    h_.cbDstLength = 100;  // a quarter of what the source needs
  }
  void TearDown() override { acmStreamClose(stream_, 0); }

  HACMSTREAM stream_ = nullptr;
  std::vector<uint8_t> in_ = std::vector<uint8_t>(400);
  std::vector<uint8_t> out_ = std::vector<uint8_t>(104, 0xEE);
  ACMSTREAMHEADER h_{};
};

TEST_F(HeaderTest, UnpreparedHeadersAreRefused) {
  EXPECT_EQ(acmStreamConvert(stream_, &h_, 0), ACMERR_UNPREPARED);
  EXPECT_EQ(acmStreamUnprepareHeader(stream_, &h_, 0), ACMERR_UNPREPARED);
  ACMSTREAMHEADER small = h_;
  small.cbStruct = 40;
  EXPECT_EQ(acmStreamPrepareHeader(stream_, &small, 0), MMSYSERR_INVALPARAM);
  ACMSTREAMHEADER empty = h_;
  empty.pbDst = nullptr;
  EXPECT_EQ(acmStreamPrepareHeader(stream_, &empty, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmStreamPrepareHeader(stream_, &h_, 1), MMSYSERR_INVALFLAG);
  EXPECT_EQ(acmStreamPrepareHeader(nullptr, &h_, 0), MMSYSERR_INVALHANDLE);
}

TEST_F(HeaderTest, SmallDestinationConvertsInTurnsWithoutLosingFrames) {
  ASSERT_EQ(acmStreamPrepareHeader(stream_, &h_, 0), MMSYSERR_NOERROR);
  EXPECT_TRUE(h_.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED);
  const std::vector<uint8_t> source = in_;
  std::vector<uint8_t> all;
  size_t at = 0;
  for (int turn = 0; turn < 10 && at < in_.size(); ++turn) {
    // What is left moves to the start of the prepared buffer, as a decoder loop does it.
    std::copy(source.begin() + at, source.end(), in_.begin());
    h_.cbSrcLength = static_cast<DWORD>(in_.size() - at);
    ASSERT_EQ(acmStreamConvert(stream_, &h_, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_NOERROR);
    EXPECT_EQ(h_.cbDstLengthUsed, std::min<DWORD>(100, h_.cbSrcLength));
    EXPECT_EQ(out_[100], 0xEE) << "nothing past the destination's length";
    all.insert(all.end(), out_.begin(), out_.begin() + h_.cbDstLengthUsed);
    at += h_.cbSrcLengthUsed;
  }
  h_.cbSrcLength = 400;
  EXPECT_EQ(acmStreamUnprepareHeader(stream_, &h_, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(at, 400u);
  ASSERT_EQ(all.size(), 400u);
  for (size_t i = 0; i < 200; ++i) EXPECT_EQ(Sample16(all, i), static_cast<int16_t>(i * 100 - 9000)) << i;
}

TEST_F(HeaderTest, PreparedBuffersMustComeBackAsTheyWere) {
  ASSERT_EQ(acmStreamPrepareHeader(stream_, &h_, 0), MMSYSERR_NOERROR);
  h_.cbSrcLength = 800;
  EXPECT_EQ(acmStreamConvert(stream_, &h_, 0), MMSYSERR_INVALPARAM) << "longer than what was prepared";
  h_.cbSrcLength = 200;
  EXPECT_EQ(acmStreamConvert(stream_, &h_, 0), MMSYSERR_NOERROR) << "shorter is fine";
  EXPECT_EQ(acmStreamUnprepareHeader(stream_, &h_, 0), MMSYSERR_INVALPARAM) << "length not restored";
  h_.cbSrcLength = 400;
  uint8_t other[8];
  h_.pbDst = other;
  EXPECT_EQ(acmStreamConvert(stream_, &h_, 0), MMSYSERR_INVALPARAM) << "another buffer than the prepared one";
  EXPECT_EQ(acmStreamUnprepareHeader(stream_, &h_, 0), MMSYSERR_INVALPARAM);
  h_.pbDst = out_.data();
  EXPECT_EQ(acmStreamConvert(stream_, &h_, 0x40), MMSYSERR_INVALFLAG);
  EXPECT_EQ(acmStreamUnprepareHeader(stream_, &h_, 0), MMSYSERR_NOERROR);
  EXPECT_FALSE(h_.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED);
}

}  // namespace
}  // namespace zb::acm::testing
