// The WAVE decoder's converters on their own: PCM sample sizes, channels and rates (with the
// rate's phase carried from block to block), the G.711 expansions, which converter a pair of
// formats gets, and what each refuses.
#include <gtest/gtest.h>

#include <memory>

#include "wave_converter.h"
#include "wave_decoder.h"
#include "wave_test_support.h"

namespace {

using namespace zbtest;

WAVEFORMATEX Format(WORD tag, WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = tag;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) { return Format(WAVE_FORMAT_PCM, channels, rate, bits); }

// Converts `input` in pieces of `piece` bytes (whole source frames) through one converter.
Bytes ConvertInPieces(CWaveConverter* c, const Bytes& input, size_t piece) {
  Bytes out;
  for (size_t at = 0; at < input.size(); at += piece) {
    const size_t n = std::min(piece, input.size() - at);
    DWORD room = 0;
    EXPECT_EQ(c->GetOutputSize(static_cast<DWORD>(n), &room), 0u);
    Bytes source(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(at + n));
    Bytes destination(room + 64, 0xEE);
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = source.data();
    h.cbSrcLength = static_cast<DWORD>(n);
    h.pbDst = destination.data();
    h.cbDstLength = room;
    EXPECT_EQ(c->Convert(&h), 0u);
    EXPECT_EQ(h.cbSrcLengthUsed, n);
    EXPECT_LE(h.cbDstLengthUsed, room);
    out.insert(out.end(), destination.begin(), destination.begin() + h.cbDstLengthUsed);
  }
  return out;
}

std::unique_ptr<CWaveConverter> Opened(CWaveConverter* c, WAVEFORMATEX source, WAVEFORMATEX destination) {
  EXPECT_EQ(c->Open(&source, &destination), 0u);
  return std::unique_ptr<CWaveConverter>(c);
}

int16_t At(const Bytes& pcm, size_t sample) { return static_cast<int16_t>(pcm[2 * sample] | pcm[2 * sample + 1] << 8); }

TEST(WavePcmConverter, HalvingTheRateTakesEverySecondFrame) {
  auto c = Opened(NewPcmConverter(), Pcm(2, 44100, 16), Pcm(2, 22050, 16));
  const Bytes input = Samples16(1000, 2, 7);
  const Bytes out = ConvertInPieces(c.get(), input, input.size());
  ASSERT_EQ(out.size(), 500u * 4);
  for (size_t i = 0; i < 500; ++i) {
    EXPECT_EQ(At(out, 2 * i), At(input, 4 * i)) << i;
    EXPECT_EQ(At(out, 2 * i + 1), At(input, 4 * i + 1)) << i;
  }
}

TEST(WavePcmConverter, SampleSizesBecomeSixteenBits) {
  {  // 8 bits: (b - 128) x 255, mono to stereo on both channels
    auto c = Opened(NewPcmConverter(), Pcm(1, 8000, 8), Pcm(2, 8000, 16));
    const Bytes out = ConvertInPieces(c.get(), {0, 128, 255}, 3);
    const std::vector<int16_t> want = {-32640, -32640, 0, 0, 32385, 32385};
    ASSERT_EQ(out.size(), want.size() * 2);
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(At(out, i), want[i]) << i;
  }
  {  // 24 bits: the upper two bytes
    auto c = Opened(NewPcmConverter(), Pcm(2, 8000, 24), Pcm(2, 8000, 16));
    const Bytes out = ConvertInPieces(c.get(), {0x11, 0x22, 0x33, 0xFF, 0x00, 0x80}, 6);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(At(out, 0), 0x3322);
    EXPECT_EQ(At(out, 1), static_cast<int16_t>(0x8000));
  }
}

// 48 kHz to 44.1 kHz cut into blocks of odd sizes gives exactly the frames of the whole: output
// frame k is source frame floor(k x 48000 / 44100) of the stream, whatever the block it is in.
TEST(WavePcmConverter, TheRateKeepsItsPhaseFromBlockToBlock) {
  const Bytes input = Samples16(48000, 2, 3);
  for (size_t piece : {size_t{4} * 1001, size_t{4} * 4410, size_t{4} * 12345}) {
    auto c = Opened(NewPcmConverter(), Pcm(2, 48000, 16), Pcm(2, 44100, 16));
    const Bytes out = ConvertInPieces(c.get(), input, piece);
    ASSERT_EQ(out.size(), 44100u * 4) << piece;
    for (size_t k = 0; k < 44100; ++k) {
      const size_t j = k * 48000 / 44100;
      ASSERT_EQ(At(out, 2 * k), At(input, 2 * j)) << "frame " << k << " in pieces of " << piece;
      ASSERT_EQ(At(out, 2 * k + 1), At(input, 2 * j + 1)) << "frame " << k;
    }
  }
}

TEST(WavePcmConverter, RaisingALowRateRepeatsFramesInStep) {
  const Bytes input = Samples16(6000, 1, 9);
  auto c = Opened(NewPcmConverter(), Pcm(1, 6000, 16), Pcm(1, 8000, 16));
  const Bytes out = ConvertInPieces(c.get(), input, 2 * 777);
  ASSERT_EQ(out.size(), 8000u * 2);
  for (size_t k = 0; k < 8000; ++k) ASSERT_EQ(At(out, k), At(input, k * 6000 / 8000)) << k;
}

TEST(WavePcmConverter, EightBitsToEightBitsIsCopiedWhenNothingElseChanges) {
  auto c = Opened(NewPcmConverter(), Pcm(1, 22050, 8), Pcm(1, 22050, 8));
  const Bytes input = {1, 2, 3, 250, 128};
  EXPECT_EQ(ConvertInPieces(c.get(), input, input.size()), input);
  auto rated = Opened(NewPcmConverter(), Pcm(1, 22050, 8), Pcm(1, 11025, 8));
  EXPECT_TRUE(ConvertInPieces(rated.get(), input, input.size()).empty()) << "8-bit output is never resampled";
}

TEST(WavePcmConverter, RefusesWhatItCannotMake) {
  const struct {
    WAVEFORMATEX source, destination;
  } kRefused[] = {
      {Pcm(2, 44100, 16), Pcm(1, 44100, 16)},  // stereo to mono
      {Pcm(2, 44100, 32), Pcm(2, 44100, 16)},  // 32-bit source
      {Pcm(2, 44100, 16), Pcm(2, 44100, 24)},  // more than 16 bits out
      {Pcm(3, 44100, 16), Pcm(3, 44100, 16)},  // three channels
      {Pcm(2, 0, 16), Pcm(2, 44100, 16)},      // no byte rate
      {Pcm(0, 44100, 16), Pcm(2, 44100, 16)},
  };
  for (const auto& c : kRefused) {
    std::unique_ptr<CWaveConverter> converter(NewPcmConverter());
    EXPECT_EQ(converter->Open(&c.source, &c.destination), static_cast<MMRESULT>(MMSYSERR_INVALPARAM))
        << c.source.nChannels << "x" << c.source.wBitsPerSample << " -> " << c.destination.nChannels << "x"
        << c.destination.wBitsPerSample;
  }
}

TEST(WaveG711Converter, ExpandsEveryCodeAsG711Says) {
  const struct {
    WORD tag;
    BYTE code;
    int16_t linear;
  } kCodes[] = {
      {WAVE_FORMAT_MULAW, 0x00, -32124}, {WAVE_FORMAT_MULAW, 0x80, 32124}, {WAVE_FORMAT_MULAW, 0xFF, 0},
      {WAVE_FORMAT_MULAW, 0x7F, 0},      {WAVE_FORMAT_MULAW, 0x70, -120},  {WAVE_FORMAT_ALAW, 0x55, -8},
      {WAVE_FORMAT_ALAW, 0xD5, 8},       {WAVE_FORMAT_ALAW, 0x2A, -32256}, {WAVE_FORMAT_ALAW, 0xAA, 32256},
      {WAVE_FORMAT_ALAW, 0x45, -264},
  };
  for (const auto& k : kCodes) {
    std::unique_ptr<CWaveConverter> c(CreateG711Converter(k.tag));
    ASSERT_TRUE(c);
    const WAVEFORMATEX source = Format(k.tag, 1, 8000, 8);
    ASSERT_EQ(c->Setup(&source), 0u);
    const WAVEFORMATEX destination = Pcm(1, 8000, 16);
    ASSERT_EQ(c->Open(&source, &destination), 0u);
    const Bytes out = ConvertInPieces(c.get(), {k.code}, 1);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(At(out, 0), k.linear) << "tag " << k.tag << " code " << int{k.code};
  }
}

TEST(WaveG711Converter, NamesItsTagAndRefusesOthers) {
  EXPECT_EQ(CreateG711Converter(WAVE_FORMAT_PCM), nullptr);
  EXPECT_EQ(CreateG711Converter(WAVE_FORMAT_GSM610), nullptr);
  std::unique_ptr<CWaveConverter> c(CreateG711Converter(WAVE_FORMAT_MULAW));
  const WAVEFORMATEX destination = Pcm(1, 8000, 16);
  WAVEFORMATEX source = Format(WAVE_FORMAT_MULAW, 1, 8000, 8);
  EXPECT_EQ(c->Open(&source, &destination), static_cast<MMRESULT>(MMSYSERR_INVALPARAM)) << "before Setup";
  ASSERT_EQ(c->Setup(&source), 0u);
  EXPECT_EQ(std::u16string(c->GetName()), u"u-law");
  WAVEFORMATEX offered{};
  EXPECT_EQ(std::u16string(c->GetFormat(0, &offered)), u"Any u-law format");
  EXPECT_EQ(offered.wFormatTag, WAVE_FORMAT_MULAW);
  EXPECT_EQ(c->GetFormat(1, &offered), nullptr);
  source.nSamplesPerSec = 48000;
  EXPECT_EQ(c->Open(&source, &destination), static_cast<MMRESULT>(MMSYSERR_INVALPARAM)) << "above 44100 Hz";
}

class WaveConverterChoice : public ::testing::Test {
 protected:
  void SetUp() override { WaveDecoder.Init(); }  // registers the factories
  void TearDown() override { WaveDecoder.Quit(); }
};

// Compressed sources go to ACM first; what it refuses, to the factories; PCM pairs to our own.
TEST_F(WaveConverterChoice, EachPairGetsItsConverter) {
  const struct {
    WAVEFORMATEX source, destination;
    MMRESULT result;
    const char16_t* name;
  } kPairs[] = {
      {Pcm(2, 48000, 16), Pcm(2, 44100, 16), 0, u"PCM"},
      {Pcm(1, 22050, 8), Pcm(1, 22050, 8), 0, u"PCM"},
      {Format(WAVE_FORMAT_ALAW, 1, 8000, 8), Pcm(1, 8000, 16), 0, u"Audio Compression Manager Formats"},
      {Format(WAVE_FORMAT_MULAW, 2, 22050, 8), Pcm(2, 22050, 16), 0, u"Audio Compression Manager Formats"},
      // ACM keeps A-law at its own rate; the table expansion does not resample either, but opens.
      {Format(WAVE_FORMAT_ALAW, 1, 8000, 8), Pcm(1, 11025, 16), 0, u"A-law"},
      {Format(WAVE_FORMAT_GSM610, 1, 8000, 0), Pcm(1, 8000, 16), MMSYSERR_NODRIVER, nullptr},
      {Pcm(2, 44100, 16), Format(WAVE_FORMAT_ALAW, 2, 44100, 8), MMSYSERR_NODRIVER, nullptr},
      {Pcm(2, 44100, 32), Pcm(2, 44100, 16), MMSYSERR_NODRIVER, nullptr},
  };
  for (const auto& p : kPairs) {
    CWaveConverter* converter = reinterpret_cast<CWaveConverter*>(1);
    EXPECT_EQ(CreateWaveConverter(&converter, &p.source, &p.destination), p.result) << p.source.wFormatTag;
    if (p.name) {
      ASSERT_NE(converter, nullptr);
      EXPECT_EQ(std::u16string(converter->GetName()), p.name) << p.source.wFormatTag;
    } else {
      EXPECT_EQ(converter, nullptr);
    }
    delete converter;
  }
}

TEST_F(WaveConverterChoice, PcmWithExtraBytesIsConvertedWithoutThem) {
  Bytes source = FormatBody(WAVE_FORMAT_PCM, 1, 44100, 16);
  PutLe(&source, 2, 2);  // extra size
  PutLe(&source, 0xBEEF, 2);
  const WAVEFORMATEX destination = Pcm(1, 44100, 16);
  CWaveConverter* converter = nullptr;
  ASSERT_EQ(CreateWaveConverter(&converter, reinterpret_cast<const WAVEFORMATEX*>(source.data()), &destination), 0u);
  EXPECT_EQ(std::u16string(converter->GetName()), u"PCM");
  delete converter;
}

TEST_F(WaveConverterChoice, AcmConverterOffersTheManagersOutputFormats) {
  const WAVEFORMATEX source = Format(WAVE_FORMAT_MULAW, 1, 8000, 8), destination = Pcm(1, 8000, 16);
  CWaveConverter* converter = nullptr;
  ASSERT_EQ(CreateWaveConverter(&converter, &source, &destination), 0u);
  WAVEFORMATEX offered{};
  ASSERT_NE(converter->GetFormat(0, &offered), nullptr);
  EXPECT_EQ(offered.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(converter->GetFormat(100000, &offered), nullptr);
  DWORD out = 0;
  EXPECT_EQ(converter->GetOutputSize(1000, &out), 0u);
  EXPECT_EQ(out, 2000u);
  delete converter;
}

}  // namespace
