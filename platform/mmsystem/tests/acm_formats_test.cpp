// Format tags, the formats each driver lists and suggestions, as the WAVE decoder asks for them:
// a suggestion of PCM for any source it can decode, and nothing for formats no driver knows.
#include <string>

#include "acm_support.h"

namespace zb::acm::testing {
namespace {

TEST(AcmFormatsTest, TagDetailsByIndexByTagAndLargest) {
  ACMFORMATTAGDETAILS d{};
  d.cbStruct = sizeof(d);
  d.dwFormatTag = WAVE_FORMAT_MULAW;
  ASSERT_EQ(acmFormatTagDetails(nullptr, &d, ACM_FORMATTAGDETAILSF_FORMATTAG), MMSYSERR_NOERROR);
  EXPECT_EQ(d.dwFormatTagIndex, 2u);
  EXPECT_EQ(d.cbFormatSize, sizeof(WAVEFORMATEX));
  EXPECT_EQ(d.cStandardFormats, 8u);
  EXPECT_EQ(std::u16string(d.szFormatTag), u"CCITT u-Law");

  d.dwFormatTag = WAVE_FORMAT_PCM;
  ASSERT_EQ(acmFormatTagDetails(nullptr, &d, ACM_FORMATTAGDETAILSF_FORMATTAG), MMSYSERR_NOERROR);
  EXPECT_EQ(d.cbFormatSize, sizeof(PCMWAVEFORMAT));
  EXPECT_EQ(d.cStandardFormats, 16u) << "the converter's 4 rates x 2 sizes x 2 channel counts";
  EXPECT_EQ(d.fdwSupport, static_cast<DWORD>(ACMDRIVERDETAILS_SUPPORTF_CONVERTER));

  d.dwFormatTag = WAVE_FORMAT_UNKNOWN;
  ASSERT_EQ(acmFormatTagDetails(nullptr, &d, ACM_FORMATTAGDETAILSF_LARGESTSIZE), MMSYSERR_NOERROR);
  EXPECT_EQ(d.cbFormatSize, sizeof(WAVEFORMATEX));

  d.dwFormatTag = WAVE_FORMAT_GSM610;
  EXPECT_EQ(acmFormatTagDetails(nullptr, &d, ACM_FORMATTAGDETAILSF_FORMATTAG), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(acmFormatTagDetails(nullptr, &d, ACM_FORMATTAGDETAILSF_INDEX), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmFormatTagDetails(nullptr, &d, 7), MMSYSERR_INVALFLAG);
  d.cbStruct = 8;
  EXPECT_EQ(acmFormatTagDetails(nullptr, &d, ACM_FORMATTAGDETAILSF_FORMATTAG), MMSYSERR_INVALPARAM);
}

struct Listed {
  std::vector<WAVEFORMATEX> formats;
  std::vector<std::u16string> names;
  size_t stopAfter = 1000;
};

BOOL CALLBACK Gather(HACMDRIVERID, LPACMFORMATDETAILS d, DWORD_PTR instance, DWORD) {
  auto* l = reinterpret_cast<Listed*>(instance);
  l->formats.push_back(*d->pwfx);
  l->names.push_back(d->szFormat);
  return l->formats.size() < l->stopAfter;
}

MMRESULT List(DWORD flags, WAVEFORMATEX given, Listed* out) {
  struct {
    WAVEFORMATEX f;
    BYTE extra[32];
  } buffer{given, {}};
  ACMFORMATDETAILS d{};
  d.cbStruct = sizeof(d);
  d.pwfx = &buffer.f;
  d.cbwfx = sizeof(buffer);
  return acmFormatEnum(nullptr, &d, Gather, reinterpret_cast<DWORD_PTR>(out), flags);
}

TEST(AcmFormatsTest, EnumerationListsWhatEachDriverTakesAndMakes) {
  Listed alaw;
  ASSERT_EQ(List(ACM_FORMATENUMF_WFORMATTAG, Format(WAVE_FORMAT_ALAW, 0, 0, 0), &alaw), MMSYSERR_NOERROR);
  ASSERT_EQ(alaw.formats.size(), 8u);
  EXPECT_EQ(alaw.names[0], u"8.000 kHz, 8 Bit, Mono");
  EXPECT_EQ(alaw.names[7], u"44.100 kHz, 8 Bit, Stereo");
  for (const WAVEFORMATEX& f : alaw.formats) EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_ALAW);

  Listed outputs;  // what a converter's format list offers: PCM from both drivers
  ASSERT_EQ(List(ACM_FORMATENUMF_OUTPUT, Pcm(1, 8000, 16), &outputs), MMSYSERR_NOERROR);
  EXPECT_EQ(outputs.formats.size(), 16u + 8u);
  for (const WAVEFORMATEX& f : outputs.formats) EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);

  Listed targets;
  ASSERT_EQ(List(ACM_FORMATENUMF_CONVERT, Format(WAVE_FORMAT_MULAW, 2, 22050, 8), &targets), MMSYSERR_NOERROR);
  ASSERT_EQ(targets.formats.size(), 1u);
  WAVEFORMATEX expected = Pcm(2, 22050, 16);
  EXPECT_EQ(std::memcmp(&targets.formats[0], &expected, sizeof(expected)), 0);

  Listed mono16;
  ASSERT_EQ(List(ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_WBITSPERSAMPLE, Pcm(1, 0, 16),
                 &mono16),
            MMSYSERR_NOERROR);
  EXPECT_EQ(mono16.formats.size(), 4u + 4u);

  Listed firstOnly;
  firstOnly.stopAfter = 1;
  EXPECT_EQ(List(0, Pcm(1, 8000, 16), &firstOnly), MMSYSERR_NOERROR);
  EXPECT_EQ(firstOnly.formats.size(), 1u);

  Listed none;
  EXPECT_EQ(List(ACM_FORMATENUMF_WFORMATTAG, Format(WAVE_FORMAT_GSM610, 1, 8000, 0), &none), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(List(ACM_FORMATENUMF_HARDWARE, Pcm(1, 8000, 16), &none), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(List(0x4, Pcm(1, 8000, 16), &none), MMSYSERR_INVALFLAG);
  EXPECT_TRUE(none.formats.empty());
}

struct SuggestCase {
  WAVEFORMATEX source;
  WAVEFORMATEX asked;
  DWORD flags;
  MMRESULT result;
  WAVEFORMATEX suggested;
};

const SuggestCase kSuggestions[] = {
    {Format(WAVE_FORMAT_ALAW, 1, 8000, 8), Format(WAVE_FORMAT_PCM, 0, 0, 0), ACM_FORMATSUGGESTF_WFORMATTAG, 0, Pcm(1, 8000, 16)},
    {Format(WAVE_FORMAT_MULAW, 2, 11025, 8), Format(0, 0, 0, 0), 0, 0, Pcm(2, 11025, 16)},
    {Pcm(2, 44100, 16), Format(WAVE_FORMAT_PCM, 0, 0, 0), ACM_FORMATSUGGESTF_WFORMATTAG, 0, Pcm(2, 44100, 16)},
    {Pcm(2, 48000, 16), Pcm(0, 44100, 0), ACM_FORMATSUGGESTF_NSAMPLESPERSEC, 0, Pcm(2, 44100, 16)},
    {Pcm(2, 22050, 8), Pcm(1, 0, 16), ACM_FORMATSUGGESTF_NCHANNELS | ACM_FORMATSUGGESTF_WBITSPERSAMPLE, 0, Pcm(1, 22050, 16)},
    {Format(WAVE_FORMAT_ALAW, 1, 8000, 8), Pcm(0, 0, 8), ACM_FORMATSUGGESTF_WBITSPERSAMPLE, ACMERR_NOTPOSSIBLE, {}},
    {Format(WAVE_FORMAT_ALAW, 1, 8000, 8), Pcm(0, 16000, 0), ACM_FORMATSUGGESTF_NSAMPLESPERSEC, ACMERR_NOTPOSSIBLE, {}},
    {Pcm(1, 8000, 16), Format(WAVE_FORMAT_MULAW, 0, 0, 0), ACM_FORMATSUGGESTF_WFORMATTAG, ACMERR_NOTPOSSIBLE, {}},
    {Format(WAVE_FORMAT_GSM610, 1, 8000, 0), Format(WAVE_FORMAT_PCM, 0, 0, 0), ACM_FORMATSUGGESTF_WFORMATTAG, ACMERR_NOTPOSSIBLE, {}},
    {Format(WAVE_FORMAT_MPEGLAYER3, 2, 44100, 0), Format(WAVE_FORMAT_PCM, 0, 0, 0), ACM_FORMATSUGGESTF_WFORMATTAG, ACMERR_NOTPOSSIBLE, {}},
    {Pcm(2, 44100, 24), Format(WAVE_FORMAT_PCM, 0, 0, 0), ACM_FORMATSUGGESTF_WFORMATTAG, ACMERR_NOTPOSSIBLE, {}},
    {Pcm(2, 44100, 16), Pcm(0, 0, 0), 0x1, MMSYSERR_INVALFLAG, {}},
};

TEST(AcmFormatsTest, SuggestionsForTheDecodersSources) {
  for (size_t i = 0; i < std::size(kSuggestions); ++i) {
    const SuggestCase& c = kSuggestions[i];
    WAVEFORMATEX source = c.source, destination = c.asked;
    ASSERT_EQ(acmFormatSuggest(nullptr, &source, &destination, sizeof(destination), c.flags), c.result) << "case " << i;
    if (c.result == 0) {
      EXPECT_EQ(std::memcmp(&destination, &c.suggested, sizeof(destination)), 0) << "case " << i;
    } else {
      EXPECT_EQ(std::memcmp(&destination, &c.asked, sizeof(destination)), 0) << "case " << i << " left as it was";
    }
  }
  WAVEFORMATEX source = Pcm(1, 8000, 16), destination{};
  EXPECT_EQ(acmFormatSuggest(nullptr, &source, &destination, 8, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmFormatSuggest(nullptr, nullptr, &destination, sizeof(destination), 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmFormatSuggest(reinterpret_cast<HACMDRIVER>(0x1234), &source, &destination, sizeof(destination), 0),
            MMSYSERR_INVALHANDLE);
}

// Channel and bit counts from a hostile file header reach the drivers as they stand.
TEST(AcmFormatsTest, AHostileHeaderIsRefusedWithoutOverflow) {
  WAVEFORMATEX source = Format(WAVE_FORMAT_PCM, 65282, 0x4d000000, 40603);
  source.nBlockAlign = 0xa9ce;
  WAVEFORMATEX destination = Format(WAVE_FORMAT_PCM, 0, 0, 0);
  EXPECT_NE(acmFormatSuggest(nullptr, &source, &destination, sizeof(destination), ACM_FORMATSUGGESTF_WFORMATTAG),
            MMSYSERR_NOERROR);
  EXPECT_EQ(destination.nChannels, 0);
}

}  // namespace
}  // namespace zb::acm::testing
