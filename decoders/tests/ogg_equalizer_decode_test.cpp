// The equaliser inside the Ogg decoding, measured in the PCM the module hands the output: flat
// settings move the level by their decibels, a cut band takes its tone down and leaves one far
// from it, off is Tremor's PCM bit for bit, and a change while a file plays acts at once. The
// interposition on Tremor's transform is seen directly too: it acts inside a decode scope only.
#include "decoder_test_support.h"
#include "file_source.h"
#include "mp3_test_support.h"
#include "ogg_decoder.h"
#include "ogg_test_support.h"
#include "ogg_vorbis_file.h"

namespace {

using namespace zbtest;

constexpr int kRate = 44100;
// The middle two seconds of the three-second "sines" fixture: 300 Hz and 3 kHz, steady.
constexpr size_t kFrom = kRate / 2, kCount = 2 * kRate;

struct Setting {
  signed char bands[10];
  signed char preamp;
};

Setting Flat(signed char band, signed char preamp) {
  Setting s{};
  for (signed char& b : s.bands) b = band;
  s.preamp = preamp;
  return s;
}

// A band value and preamp of v and p give 40 - (v + p) × 40 / 63 dB.
double FlatDb(int band, int preamp) { return 40 - (band + preamp) * 40 / 63.0; }

class OggEqualizerDecodeTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
    OggDecoder.Init();
    path_ = PutOggFixture(device_, "sines");
    plain_ = PlainDecode(OggFixturePath("sines"));
    ASSERT_GE(plain_.size(), 2 * (kFrom + kCount));
  }
  // The module's PCM of the fixture with the equaliser set as the core sets it before Play.
  Pcm Decode(int mode, const Setting& setting) {
    BoundDecoder bound(OggDecoder, &source_);
    bound.output().keep = true;
    signed char values[11];
    std::copy(setting.bands, setting.bands + 10, values);
    values[10] = setting.preamp;
    EXPECT_EQ(OggDecoder.SetEqualizer(mode, 11, values, 0, 0), 1);
    EXPECT_EQ(OggDecoder.Play(path_.c_str()), 0);
    EXPECT_EQ(bound.WaitForEndOfStream(), 0);
    OggDecoder.Stop();
    return bound.output().pcm;
  }
  InputSource source_;
  std::u16string path_;
  Pcm plain_;
};

TEST_F(OggEqualizerDecodeTest, FlatSettingsMoveTheLevelByTheirDecibels) {
  const struct {
    int band, preamp;
  } kCases[] = {{26, 27}, {37, 36}, {31, 32}, {20, 20}};  // +6.35, -6.35, 0 and +14.6 dB
  const double before = LevelDb(plain_, 1, 0, kFrom, kCount);
  for (const auto& c : kCases) {
    const Pcm pcm = Decode(1, Flat(static_cast<signed char>(c.band), static_cast<signed char>(c.preamp)));
    ASSERT_EQ(pcm.size(), plain_.size());
    EXPECT_NEAR(LevelDb(pcm, 1, 0, kFrom, kCount) - before, FlatDb(c.band, c.preamp), 0.05)
        << "bands " << c.band << ", preamp " << c.preamp;
  }
}

TEST_F(OggEqualizerDecodeTest, ACutBandTakesItsToneDownAndLeavesOneFarFromIt) {
  Setting cut = Flat(31, 32);  // 0 dB everywhere ...
  cut.bands[5] = 63;           // ... but the 3 kHz band at -20 dB
  const Pcm pcm = Decode(1, cut);
  const double low = ToneDb(pcm, kRate, 300, kFrom, kCount) - ToneDb(plain_, kRate, 300, kFrom, kCount);
  const double cutTone = ToneDb(pcm, kRate, 3000, kFrom, kCount) - ToneDb(plain_, kRate, 3000, kFrom, kCount);
  EXPECT_NEAR(low, 0.0, 0.2) << "300 Hz lies far below the cut";
  EXPECT_LT(cutTone, -15.0);
  EXPECT_GT(cutTone, -21.0);
}

TEST_F(OggEqualizerDecodeTest, OffTheModuleHandsOutTremorsPcmBitForBit) {
  EXPECT_TRUE(Decode(2, Flat(0, 0)) == plain_) << "off, with +40 dB stored";
  EXPECT_FALSE(Decode(1, Flat(31, 31)) == plain_) << "on, at +0.6 dB";
  EXPECT_TRUE(Decode(2, Flat(0, 0)) == plain_) << "off again after being on";
}

TEST_F(OggEqualizerDecodeTest, AChangeWhileTheFilePlaysGoesStraightIntoTheDecoding) {
  BoundDecoder bound(OggDecoder, &source_);
  bound.output().keep = true;
  bound.output().room = 0;
  signed char values[11] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 32};
  EXPECT_EQ(OggDecoder.SetEqualizer(2, 11, values, 0, 0), 1);
  ASSERT_EQ(OggDecoder.Play(path_.c_str()), 0);
  std::fill(values, values + 11, 63);
  EXPECT_EQ(OggDecoder.SetEqualizer(1, 11, values, 0, 0), 1);  // -40 dB, before the first block
  bound.output().room = 1 << 20;
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  OggDecoder.Stop();
  EXPECT_NEAR(LevelDb(bound.output().pcm, 1, 0, kFrom, kCount) - LevelDb(plain_, 1, 0, kFrom, kCount), -40.0, 0.5);
}

// Tremor's own calls, with the equaliser's tables at -40 dB: only a decode scope lets them act.
TEST_F(OggEqualizerDecodeTest, TheInterposedTransformEqualisesInsideADecodeScopeOnly) {
  auto decode = [&](bool scoped) {
    InputSource source = MakeFileSource();
    EXPECT_EQ(source.Open(&source, path_.c_str()), 0);
    OggVorbisFile file;
    EXPECT_EQ(OpenVorbisFile(&file, &source), 0);
    const Setting quiet = Flat(63, 63);
    VorbisEqSet(&file.eq, 1, 10, quiet.bands, quiet.preamp);
    Pcm pcm(1 << 16);
    Pcm all;
    int section = 0;
    for (long got = 1; got > 0;) {
      if (scoped) {
        EqualizedDecode equalized(&file);
        got = ov_read(&file.vf, reinterpret_cast<char*>(pcm.data()), 4096, &section);
      } else {
        got = ov_read(&file.vf, reinterpret_cast<char*>(pcm.data()), 4096, &section);
      }
      if (got > 0) all.insert(all.end(), pcm.begin(), pcm.begin() + got);
    }
    ClearVorbisFile(&file);
    source.Close(&source);
    source.Release(&source);
    return all;
  };
  EXPECT_TRUE(decode(false) == plain_) << "outside a scope Tremor runs as it is";
  const Pcm scoped = decode(true);
  ASSERT_EQ(scoped.size(), plain_.size());
  EXPECT_NEAR(LevelDb(scoped, 1, 0, kFrom, kCount) - LevelDb(plain_, 1, 0, kFrom, kCount), -40.0, 0.5)
      << "the transform was not interposed, or not for this thread's file";
}

}  // namespace
