// The WAVE-file device (ZONBREL_AUDIO=wav:FILE): a tone written through waveOut comes back from
// the file sample for sample; the file is made at the first audio, not at the open; a later open
// with the same format goes on in the same file, and one that cannot share it writes the next
// numbered file instead of overwriting.
#include <fstream>

#include "testing/test_device.h"
#include "wave_support.h"

namespace zb::mm::testing {
namespace {

struct WaveFile {
  uint32_t riffSize = 0;
  WAVEFORMATEX format{};
  std::vector<uint8_t> data;
  bool ok = false;
};

uint32_t U32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 | static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}
uint16_t U16(const std::string& s, size_t at) { return static_cast<uint16_t>(U32(s + "\0\0", at) & 0xFFFF); }

WaveFile ReadWave(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WaveFile w;
  if (s.size() < 44 || s.compare(0, 4, "RIFF") || s.compare(8, 8, "WAVEfmt ") || U32(s, 16) != 16 || s.compare(36, 4, "data"))
    return w;
  w.riffSize = U32(s, 4);
  w.format.wFormatTag = U16(s, 20);
  w.format.nChannels = U16(s, 22);
  w.format.nSamplesPerSec = U32(s, 24);
  w.format.nAvgBytesPerSec = U32(s, 28);
  w.format.nBlockAlign = U16(s, 32);
  w.format.wBitsPerSample = U16(s, 34);
  uint32_t size = U32(s, 40);
  if (s.size() != 44u + size) return w;
  w.data.assign(s.begin() + 44, s.end());
  w.ok = true;
  return w;
}

class WaveFileTest : public ::testing::Test {
 protected:
  // Plays `frames` of tone from `first` on, in buffers of a quarter second, and closes.
  void Play(const WAVEFORMATEX& f, size_t frames, size_t first = 0) {
    HWAVEOUT wave = nullptr;
    ASSERT_EQ(waveOutOpen(&wave, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<std::unique_ptr<Buffer>> buffers;
    for (size_t at = 0; at < frames; at += f.nSamplesPerSec / 4) {
      buffers.push_back(std::make_unique<Buffer>(Tone(f, std::min<size_t>(f.nSamplesPerSec / 4, frames - at), first + at)));
      ASSERT_EQ(Prepare(wave, *buffers.back()), MMSYSERR_NOERROR);
      ASSERT_EQ(Write(wave, *buffers.back()), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(PositionIn(wave, TIME_SAMPLES), frames) << "consumed as fast as written";
    for (auto& b : buffers) EXPECT_TRUE(b->flags() & WHDR_DONE);
    ASSERT_EQ(waveOutClose(wave), MMSYSERR_NOERROR);
  }

  zb::testing::TestDevice device_;
  std::filesystem::path file_ = device_.root().parent_path() / (device_.root().filename().string() + "-tone.wav");
  EnvScope audio_{"ZONBREL_AUDIO", ("wav:" + file_.string()).c_str()};

 public:
  ~WaveFileTest() override {
    for (const char* suffix : {"-tone.wav", "-tone-2.wav", "-tone-3.wav"})
      std::filesystem::remove(device_.root().parent_path() / (device_.root().filename().string() + suffix));
  }
};

TEST_F(WaveFileTest, ToneComesBackSampleExact) {
  const WAVEFORMATEX f = Pcm(2, 44100, 16);
  Play(f, 44100);
  WaveFile w = ReadWave(file_);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.riffSize, 36u + 44100 * 4);
  EXPECT_EQ(w.format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(w.format.nChannels, 2);
  EXPECT_EQ(w.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(w.format.nAvgBytesPerSec, 176400u);
  EXPECT_EQ(w.format.nBlockAlign, 4);
  EXPECT_EQ(w.format.wBitsPerSample, 16);
  EXPECT_EQ(w.data, Tone(f, 44100));
}

TEST_F(WaveFileTest, LaterOpensContinueOrTakeTheNextFile) {
  const WAVEFORMATEX stereo = Pcm(2, 22050, 16), mono = Pcm(1, 8000, 8);
  Play(stereo, 11025);
  Play(stereo, 11025, 11025);  // the next track, same format: the same file goes on
  WaveFile w = ReadWave(file_);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.data, Tone(stereo, 22050));

  HWAVEOUT first = nullptr, second = nullptr;
  ASSERT_EQ(waveOutOpen(&first, 0, &stereo, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutOpen(&second, 0, &stereo, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);  // both at once
  Buffer a(Tone(stereo, 100, 22050)), b(Tone(stereo, 50));
  ASSERT_EQ(Prepare(first, a), MMSYSERR_NOERROR);
  ASSERT_EQ(Write(first, a), MMSYSERR_NOERROR);  // the first to write goes on in the file
  ASSERT_EQ(PositionIn(first, TIME_SAMPLES), 100u);
  ASSERT_EQ(Prepare(second, b), MMSYSERR_NOERROR);
  ASSERT_EQ(Write(second, b), MMSYSERR_NOERROR);  // the file is taken: the next one
  ASSERT_EQ(waveOutClose(second), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutClose(first), MMSYSERR_NOERROR);
  std::filesystem::path two = file_.parent_path() / (file_.stem().string() + "-2.wav");
  WaveFile w2 = ReadWave(two);
  ASSERT_TRUE(w2.ok);
  EXPECT_EQ(w2.data, b.data);
  EXPECT_EQ(ReadWave(file_).data, Tone(stereo, 22150)) << "the first file went on, and only with its own";

  Play(mono, 800);  // another format: a file of its own
  WaveFile w3 = ReadWave(file_.parent_path() / (file_.stem().string() + "-3.wav"));
  ASSERT_TRUE(w3.ok);
  EXPECT_EQ(w3.format.nChannels, 1);
  EXPECT_EQ(w3.data, Tone(mono, 800));
}

TEST_F(WaveFileTest, TheFileIsMadeAtTheFirstAudioSoASongAfterAnIdleOpenLandsInIt) {
  // A program may open the device in one format and close it unheard before the song plays.
  HWAVEOUT idle = nullptr;
  const WAVEFORMATEX probe = Pcm(1, 8000, 8), song = Pcm(2, 44100, 16);
  ASSERT_EQ(waveOutOpen(&idle, 0, &probe, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutClose(idle), MMSYSERR_NOERROR);
  EXPECT_FALSE(std::filesystem::exists(file_)) << "no audio, no file";
  Play(song, 4410);
  WaveFile w = ReadWave(file_);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.format.nChannels, 2);
  EXPECT_EQ(w.data, Tone(song, 4410));
  EXPECT_FALSE(std::filesystem::exists(file_.parent_path() / (file_.stem().string() + "-2.wav")));
}

TEST_F(WaveFileTest, UnwritableFileRefusesTheOpen) {
  EnvScope bad("ZONBREL_AUDIO", "wav:/nonexistent-folder/x.wav");
  const WAVEFORMATEX f = Pcm(1, 8000, 16);
  HWAVEOUT wave = nullptr;
  EXPECT_EQ(waveOutOpen(&wave, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_ERROR);
  EXPECT_EQ(wave, nullptr);
}

}  // namespace
}  // namespace zb::mm::testing
