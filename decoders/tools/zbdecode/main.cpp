// zbdecode: plays a file through its decoder module (MP3, Ogg Vorbis for .ogg, WMA for .wma, or
// WAVE for .wav, .snd and .au files) as the player core binds it (the record, the core's host
// callbacks, a copy of the file source, the core's output module and a window that gets the
// end-of-stream message), then prints the stream information and what was played.
//
//   zbdecode FILE OUT.wav|--null [--seek MS]
// OUT.wav plays through the waveOut writer on the WAVE-file sound device (ZONBREL_AUDIO=
// wav:OUT.wav); --null into the null output, which takes everything at once.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/modules/host_callbacks.h"
#include "core/output/output_registry.h"
#include "core/player/player_core.h"
#include "file_source.h"
#include "host_window.h"
#include "mp3_decoder.h"
#include "ogg_decoder.h"
#include "wave_decoder.h"
#include "wma_decoder.h"

namespace {

// The bit rate the host is told first: for a Xing file the file's average. Recorded on the way to
// the core's own callback.
int g_kbps = 0;
void Status(int kbps, int rate, int channels) {
  if (!g_kbps) g_kbps = kbps;
  HostStatusUpdate(kbps, rate, channels);
}

// The chosen output as it is, except that it takes nothing while held: a seek given right after
// Play then comes before the first block is written, as when the device is full.
OutputModule g_output;
int (*g_canWrite)() = nullptr;
int (*g_open)(int, int, int) = nullptr;
int g_rate = 0, g_channels = 0, g_bits = 0;  // as the decoder opened the output
std::atomic<bool> g_held{false};
std::atomic<long long> g_written{0};
int (*g_write)(void*, int) = nullptr;
void (*g_flush)(int) = nullptr;
int HeldCanWrite() { return g_held ? 0 : g_canWrite(); }
int RecordedOpen(int rate, int channels, int bits) {
  g_rate = rate, g_channels = channels, g_bits = bits;
  return g_open(rate, channels, bits);
}
int CountedWrite(void* data, int bytes) {
  g_written += bytes;
  return g_write(data, bytes);
}
void CountedFlush(int ms) {
  g_written = 0;
  g_flush(ms);
}

OutputModule* HoldableOutput(OutputModule* chosen) {
  g_output = *chosen;
  g_canWrite = chosen->CanWrite;
  g_write = chosen->Write;
  g_flush = chosen->Flush;
  g_open = chosen->Open;
  g_output.Open = RecordedOpen;
  g_output.CanWrite = HeldCanWrite;
  g_output.Write = CountedWrite;
  g_output.Flush = CountedFlush;
  return &g_output;
}

// The WAVE, Ogg and WMA modules for their files, the MP3 module for everything else.
DecModule& ModuleFor(const char* file) {
  std::string extension = std::filesystem::path(file).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".ogg") return OggDecoder;
  if (extension == ".wma") return WmaDecoder;
  return extension == ".wav" || extension == ".snd" || extension == ".au" ? WaveDecoder : Mp3Decoder;
}

constexpr char kUsage[] = "usage: zbdecode FILE OUT.wav|--null [--seek MS]\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--seek") == 0)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::u16string path;
  if (!UseFileFolderAsDevice("zbdecode", argv[1], &path)) return 1;
  const bool toNull = std::strcmp(argv[2], "--null") == 0;
  std::error_code ec;
  const std::string audio = toNull ? "null" : "wav:" + std::filesystem::absolute(argv[2], ec).string();
  setenv("ZONBREL_AUDIO", audio.c_str(), 1);

  // The record as the core binds it: its host callbacks, a copy of the file source, the output.
  InputSource source = MakeFileSource();
  DecModule& m = ModuleFor(argv[1]);
  m.hwndParent = CreateHostWindow();
  m.HostDecoderStatus = HostDecoderStatus;
  m.PlayerCallback = PlayerCallback;
  m.HostSetThreadPriority = HostSetThreadPriority;
  m.HostVisInit = HostVisInit;
  m.HostVisDeinit = HostVisDeinit;
  m.HostVisAddPCM = HostVisAddPCM;
  m.HostVisSetInfo = HostVisSetInfo;
  m.HostVisNoop = HostVisNoop;
  m.HostDSPAdjust = HostDSPAdjust;
  m.HostProcessSamples = HostProcessSamples;
  m.HostStatusUpdate = Status;
  m.source = &source;
  OutputModule* output = toNull ? &NullOut : &WaveWriterModule;
  output->Init(0);
  m.outModule = HoldableOutput(output);

  m.Init();
  g_held = argc == 5;
  const int played = m.Play(path.c_str());
  if (played != 0) {
    std::fprintf(stderr, "zbdecode: %s does not play (%d)\n", argv[1], played);
    m.Quit();
    return 1;
  }
  if (argc == 5) m.SetOutputTime(std::atoi(argv[4]));
  g_held = false;
  std::printf("rate %d\nchannels %d\nbits %d\nbitrate_kbps %d\nlength_ms %d\nseekable %d\n", g_rate, g_channels,
              g_bits, g_kbps, m.GetLength(), m.flags & DEC_FLAG_SEEKABLE);
  const int status = WaitForEndOfStream(m.hwndParent, INFINITE);
  m.Stop();
  m.Quit();
  output->Quit(0);
  std::printf("samples %lld\nend_status %d\n", g_written / std::max(g_channels * g_bits / 8, 1), status);
  return 0;
}
