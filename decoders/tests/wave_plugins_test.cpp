// Codec plug-ins of the WAVE decoder: wav_test.dll in the program's folder offers a record of
// version 2 and one of version 1 for a private format (big-endian 16-bit PCM, tag 0x7A42). Only
// the version-1 record is taken, its converter plays the format, and every converter and list
// entry closes the record when it goes.
#include <gtest/gtest.h>

#include "decoder_test_support.h"
#include "file_source.h"
#include "mp3_test_support.h"
#include "wave_converter.h"
#include "wave_decoder.h"
#include "wave_plugin.h"
#include "wave_test_support.h"

namespace {

using namespace zbtest;

constexpr WORD kBigEndianPcm = 0x7A42, kOnlyInVersion2 = 0x7A43;

class WavePluginTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    device_.WriteProfile(std::string("[program]\nhost = ") + WAVE_PLUGIN_FOLDER + "\n");
    source_ = MakeFileSource();
    WaveDecoder.Init();
    library_ = LoadLibraryW(u"\\Program Files\\Zonbrel\\wav_test.dll");
    closes_ = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(GetProcAddressW(library_, u"WavTestCloses")));
  }
  void TearDown() override {
    WaveDecoder.Quit();
    if (library_) FreeLibrary(library_);
    DeviceTest::TearDown();
  }
  int Closes() { return closes_ ? closes_() : -1; }
  InputSource source_;
  HMODULE library_ = nullptr;
  int (*closes_)() = nullptr;
};

TEST_F(WavePluginTest, OnlyTheRecordOfVersionOneIsTaken) {
  ASSERT_NE(library_, nullptr);
  ASSERT_NE(closes_, nullptr);
  EXPECT_EQ(WavePluginCount(), 1);
  std::unique_ptr<CWaveConverter> ours(CreatePluginConverter(kBigEndianPcm));
  ASSERT_TRUE(ours);
  EXPECT_EQ(std::u16string(ours->GetName()), u"Big-endian PCM");
  WAVEFORMATEX offered{};
  EXPECT_EQ(std::u16string(ours->GetFormat(0, &offered)), u"Any big-endian PCM format");
  EXPECT_EQ(offered.wFormatTag, kBigEndianPcm);
  EXPECT_EQ(ours->GetFormat(1, &offered), nullptr);
  EXPECT_EQ(CreatePluginConverter(kOnlyInVersion2), nullptr) << "the version-2 record was let in";
  const int before = Closes();
  ours.reset();
  EXPECT_EQ(Closes(), before + 1) << "a converter closes its record when it goes";
  WaveDecoder.Quit();
  EXPECT_EQ(Closes(), before + 2) << "and so does the list entry";
  EXPECT_EQ(WavePluginCount(), 0);
}

// Played through the version-1 record the samples come back in order; through the version-2
// record they would be silence.
TEST_F(WavePluginTest, APrivateFormatPlaysThroughThePlugin) {
  const Bytes le = Samples16(22050, 2, 11);
  Bytes be(le.size());
  for (size_t i = 0; i < le.size(); i += 2) be[i] = le[i + 1], be[i + 1] = le[i];
  const Bytes file = RiffBuilder().Format(kBigEndianPcm, 2, 22050, 16).Data(be).Build();
  WriteHostFile(device_.Host("private.wav"), file);
  BoundDecoder bound(WaveDecoder, &source_);
  CaptureOutput out(&WaveDecoder.outModule);
  const int before = Closes();
  ASSERT_EQ(WaveDecoder.Play(u"\\private.wav"), 0);
  ASSERT_EQ(bound.WaitForEndOfStream(), 0);
  WaveDecoder.Stop();
  EXPECT_EQ((std::vector<int>{out->rate, out->channels, out->bits}), (std::vector<int>{22050, 2, 16}));
  EXPECT_TRUE(out->Written() == le) << out->Written().size() << " bytes";
  EXPECT_EQ(Closes(), before + 1) << "the play's converter went at the thread's end";
  const Bytes other = RiffBuilder().Format(kOnlyInVersion2, 2, 22050, 16).Data(be).Build();
  WriteHostFile(device_.Host("other.wav"), other);
  EXPECT_EQ(WaveDecoder.Play(u"\\other.wav"), -1) << "only the refused record knows this tag";
  EXPECT_EQ(out->opens, 1);
}

}  // namespace
