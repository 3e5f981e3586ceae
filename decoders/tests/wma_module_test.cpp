// The WMA decoder's record as the core binds it, over files made by ffmpeg's WMA encoders: its
// fixed slots, a file played to its end with every sample the library makes reaching the output
// (the last, short chunk too), seeks that land in order and drop what was gathered before them,
// and the files the library refuses going to the Windows Media module.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>

#include "decoder_test_support.h"
#include "file_source.h"
#include "mp3_test_support.h"
#include "wma_decoder.h"
#include "wma_lib.h"
#include "wma_memory_source.h"

namespace {

using namespace zbtest;

// An ffmpeg encode of the test tone; false when ffmpeg fails.
bool EncodeWma(const std::filesystem::path& wma, const std::string& codec, int rate, int channels, int kbps,
               int frames) {
  std::filesystem::path wav = wma;
  wav.replace_extension(".source.wav");
  WriteToneWav(wav, rate, channels, frames);
  const std::string command = "ffmpeg -hide_banner -loglevel error -y -i '" + wav.string() + "' -c:a " + codec +
                              " -b:a " + std::to_string(kbps) + "k '" + wma.string() + "'";
  return std::system(command.c_str()) == 0;
}

// What the library itself makes of the file from `ms` on: samples per channel.
uint64_t LibrarySamples(const std::filesystem::path& file, int ms = -1, uint32_t* reached = nullptr) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  WmaMemorySource memory{bytes.data(), bytes.size()};
  auto lib = std::make_unique<WmaLibState>();
  WmaReadFrom(lib.get(), &memory);
  if (WmaLibCreate(lib.get()) != WMA_LIB_OK || WmaLibParseHeader(lib.get()) != WMA_LIB_OK) return 0;
  std::vector<int16_t> pcm(2 * 4096);
  if (ms >= 0) {
    // As in play: the first block after set-up only primes the overlap, one after a seek counts.
    uint32_t status = 0;
    WmaLibDecode(lib.get(), &status);
    while (WmaLibGetPcm(lib.get(), pcm.data(), nullptr, 4096) > 0) {
    }
    const uint32_t at = WmaLibSeek(lib.get(), static_cast<uint32_t>(ms));
    if (reached) *reached = at;
  }
  uint64_t samples = 0;
  for (int guard = 0; guard < 100000; ++guard) {
    uint32_t status = 0;
    if (WmaLibDecode(lib.get(), &status) != WMA_LIB_OK) break;
    for (uint32_t n; (n = WmaLibGetPcm(lib.get(), pcm.data(), nullptr, 4096)) > 0;) samples += n;
  }
  return samples;
}

class WmaModuleTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    source_ = MakeFileSource();
    WmaDecoder.Init();
  }
  void TearDown() override {
    WmaDecoder.Quit();
    DeviceTest::TearDown();
  }
  std::u16string Make(const std::string& name, const std::string& codec, int rate, int channels, int kbps,
                      int frames) {
    const auto host = device_.Host(name);
    EXPECT_TRUE(EncodeWma(host, codec, rate, channels, kbps, frames)) << name;
    return DevicePath(name);
  }
  InputSource source_;
};

TEST_F(WmaModuleTest, TheRecordAnswersItsFixedSlots) {
  DecModule& m = WmaDecoder;
  EXPECT_EQ(m.version, 1);
  EXPECT_EQ(std::u16string(m.description), u"Kestrane WMA Decoder");
  const std::u16string filter(m.fileExtensions);
  EXPECT_EQ(filter, u"*.WMA");
  EXPECT_EQ(std::u16string(m.fileExtensions + filter.size() + 1), u"Windows Media Audio");
  EXPECT_EQ(m.SetEqualizer, nullptr);
  EXPECT_EQ(m.Command(1, nullptr, 0, nullptr, 0), -1);
  EXPECT_EQ(static_cast<DWORD>(m.ReadStreamInfo(nullptr, u"\\a.wma", nullptr)), 0x8C0F1002u);
  EXPECT_EQ(static_cast<DWORD>(m.Slot19()), 0x8C0F1002u);
}

TEST_F(WmaModuleTest, EverySampleTheLibraryMakesReachesTheOutput) {
  struct Case {
    const char* codec;
    int rate, channels, kbps;
  } cases[] = {{"wmav2", 44100, 2, 128}, {"wmav1", 22050, 1, 32}, {"wmav2", 8000, 1, 24}};
  for (const Case& c : cases) {
    const std::string name = std::string(c.codec) + "_" + std::to_string(c.rate) + ".wma";
    const std::u16string path = Make(name, c.codec, c.rate, c.channels, c.kbps, c.rate * 3 / 2);
    const uint64_t samples = LibrarySamples(device_.Host(name));
    ASSERT_GT(samples, static_cast<uint64_t>(c.rate));
    BoundDecoder bound(WmaDecoder, &source_);
    ASSERT_EQ(WmaDecoder.Play(path.c_str()), 0) << name;
    EXPECT_EQ(bound.WaitForEndOfStream(), 0) << name;
    WmaDecoder.Stop();
    const RecordedOutput& out = bound.output();
    EXPECT_EQ(out.rate, c.rate);
    EXPECT_EQ(out.channels, c.channels);
    EXPECT_EQ(out.bits, 16);
    EXPECT_EQ(out.written, static_cast<long long>(samples) * c.channels * 2) << name;
    EXPECT_NEAR(WmaDecoder.GetLength(), 1500, 200) << name;
    EXPECT_EQ(bound.host().statusKbps.front(), c.kbps) << name;
  }
}

TEST_F(WmaModuleTest, SeeksLandInOrderAndDropWhatWasGatheredBefore) {
  const std::u16string path = Make("seek.wma", "wmav2", 44100, 2, 128, 44100 * 4);
  BoundDecoder bound(WmaDecoder, &source_);
  RecordedOutput& out = bound.output();
  out.room = 0;  // nothing is taken until the seeks are asked for
  ASSERT_EQ(WmaDecoder.Play(path.c_str()), 0);
  for (int i = 0; i < 3000 && out.canWriteCalls == 0; ++i) Sleep(5);
  ASSERT_GT(out.canWriteCalls, 0);
  std::vector<int> reached;
  for (int target : {500, 1500, 2500}) {
    const size_t flushes = out.flushedAt.size();
    WmaDecoder.SetOutputTime(target);
    EXPECT_EQ(WmaDecoder.GetOutputTime(), target);
    for (int i = 0; i < 3000 && out.flushedAt.size() == flushes; ++i) Sleep(5);
    ASSERT_GT(out.flushedAt.size(), flushes);
    reached.push_back(out.flushedAt.back());
  }
  EXPECT_LT(reached[0], reached[1]);
  EXPECT_LT(reached[1], reached[2]);
  for (int i = 0; i < 3; ++i) EXPECT_LE(std::abs(reached[i] - (500 + 1000 * i)), 300) << i;
  const long long before = out.written;
  out.room = 1 << 20;
  EXPECT_EQ(bound.WaitForEndOfStream(), 0);
  WmaDecoder.Stop();
  // Only the samples from the last seek on were written: nothing gathered before it.
  uint32_t at = 0;
  const uint64_t rest = LibrarySamples(device_.Host("seek.wma"), 2500, &at);
  EXPECT_EQ(static_cast<int>(at), reached[2]);
  EXPECT_EQ(out.written - before, static_cast<long long>(rest) * 4);
}

TEST_F(WmaModuleTest, FileInfoOfAFileWithoutTitlesIsItsNameAndLength) {
  const std::u16string path = Make("Untitled Song.wma", "wmav2", 22050, 1, 32, 22050 * 2);
  WCHAR title[MAX_PATH] = {};
  int length = -1;
  WmaDecoder.GetFileInfo(&source_, path.c_str(), title, &length);
  EXPECT_EQ(std::u16string(title), u"Untitled Song");
  EXPECT_GE(length, 2000);  // the header's play duration, which the scan rounds up by up to a second
  EXPECT_LE(length, 3100);
}

TEST_F(WmaModuleTest, FilesTheLibraryRefusesGoToTheWindowsMediaModule) {
  const std::u16string path = Make("high.wma", "wmav2", 48000, 2, 128, 48000);
  BoundDecoder bound(WmaDecoder, &source_);
  // The Windows Media module is not built yet: its stand-in refuses the file as well.
  EXPECT_EQ(WmaDecoder.Play(path.c_str()), -1);
  EXPECT_EQ(bound.output().opens, 0);
  EXPECT_EQ(WmaDecoder.GetLength(), 0);
  EXPECT_EQ(WmaDecoder.IsPaused(), 0);
  WmaDecoder.Stop();
  // The next file tries the library first again.
  const std::u16string good = Make("good.wma", "wmav2", 44100, 2, 128, 44100);
  ASSERT_EQ(WmaDecoder.Play(good.c_str()), 0);
  EXPECT_EQ(bound.WaitForEndOfStream(), 0);
  EXPECT_GT(WmaDecoder.GetLength(), 900);
  WmaDecoder.Stop();
}

// Coefficient data gone bad in the second half of a real file: the blocks it breaks are dropped
// (the library resets and goes on with the next packet), the first half plays in full and the
// file never gives more than it holds.
TEST_F(WmaModuleTest, CorruptBlocksAreDroppedAndTheRestPlays) {
  const struct {
    const char* codec;
    int rate, channels, kbps;
  } cases[] = {{"wmav2", 44100, 2, 128}, {"wmav1", 22050, 1, 32}, {"wmav2", 16000, 1, 24}};
  for (const auto& c : cases) {
    const std::string name = std::string("bad_") + c.codec + "_" + std::to_string(c.rate) + ".wma";
    Make(name, c.codec, c.rate, c.channels, c.kbps, c.rate * 4);
    const auto host = device_.Host(name);
    const uint64_t whole = LibrarySamples(host);
    ASSERT_GT(whole, static_cast<uint64_t>(c.rate) * 3) << name;
    std::fstream file(host, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    for (size_t at = bytes.size() / 2; at < bytes.size(); at += 37) bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    file.seekp(0);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    const uint64_t corrupt = LibrarySamples(host);
    EXPECT_GE(corrupt, whole * 2 / 5) << name;
    EXPECT_LE(corrupt, whole) << name;
  }
}

}  // namespace
