// The MP3 module tests' bindings. The record holds plain function pointers, so the recordings
// live in one place that the bound test owns.
#include "mp3_test_support.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>

#include "core/interface/player_messages.h"
#include "end_of_stream.h"
#include "host_window.h"

namespace zbtest {
namespace {

RecordedOutput* g_out = nullptr;
RecordedHost* g_host = nullptr;

void Le(std::ofstream& out, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

void NoWindow(HWND) {}
int Pass(int previous) { return previous; }
int Open(int rate, int channels, int bits) {
  ++g_out->opens;
  g_out->rate = rate;
  g_out->channels = channels;
  g_out->bits = bits;
  return 1 << 20;
}
void Close() { ++g_out->closes; }
int Write(void* data, int bytes) {
  g_out->written += bytes;
  if (g_out->keep) g_out->pcm.insert(g_out->pcm.end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
  return bytes;
}
int CanWrite() {
  ++g_out->canWriteCalls;
  return g_out->room;
}
int IsPlaying() { return g_out->playing; }
int Pause(int) { return 0; }
void Volume(int v) { g_out->volume = v; }
void Pan(int p) { g_out->pan = p; }
void Flush(int ms) {
  ++g_out->flushes;
  g_out->flushedAt.push_back(ms);
}
int Time() { return 0; }
OutputModule g_record = {OUTPUT_MODULE_VERSION, u"recorded", nullptr, nullptr, NoWindow, NoWindow, Pass, Pass, Open,
                         Close, Write, CanWrite, IsPlaying, Pause, Volume, Pan, Flush, Time, Time};

void Priority() { ++g_host->priorityCalls; }
void VisInit(int latency, int rate) {
  g_host->visLatency = latency;
  g_host->visRate = rate;
}
void VisDeinit() { ++g_host->visDeinitCalls; }
void VisPcm(const void*, int, int, int, int timestamp) { g_host->pcmTimestamps.push_back(timestamp); }
void VisNoop(const void*, int, int, int, int) {}
void VisInfo(int rate, int channels) {
  g_host->infoRate = rate;
  g_host->infoChannels = channels;
}
int DspAdjust(int samples) { return samples; }
int Process(void*, int samples, int, int, int) { return samples; }
void Status(int kbps, int, int) { g_host->statusKbps.push_back(kbps); }

int Player(UINT id, void* in, UINT, void* out, UINT outSize) {
  if (id == PLAYER_MSG_NEW_ITEM && out && outSize >= sizeof(IMediaItem*)) {
    ++g_host->newItems;
    *static_cast<IMediaItem**>(out) = CreateMediaItem();
    return 0;
  }
  if (id == PLAYER_MSG_COPY_STATE_TAGS && in) {
    ++g_host->merges;
    g_host->merged->CopyFrom(static_cast<IMediaItem*>(in), 0, -1, FALSE);
    return -1;
  }
  return -1;
}

}  // namespace

void WriteToneWav(const std::filesystem::path& path, int rate, int channels, int frames) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937 noise(static_cast<unsigned>(rate + channels));
  out.write("RIFF", 4);
  Le(out, static_cast<unsigned>(36 + frames * channels * 2), 4);
  out.write("WAVEfmt ", 8);
  Le(out, 16, 4), Le(out, 1, 2), Le(out, static_cast<unsigned>(channels), 2), Le(out, static_cast<unsigned>(rate), 4);
  Le(out, static_cast<unsigned>(rate * channels * 2), 4), Le(out, static_cast<unsigned>(channels * 2), 2), Le(out, 16, 2);
  out.write("data", 4);
  Le(out, static_cast<unsigned>(frames * channels * 2), 4);
  for (int i = 0; i < frames; ++i)
    for (int ch = 0; ch < channels; ++ch) {
      const double t = static_cast<double>(i) / rate;
      const int v = static_cast<int>(8000 * std::sin(2 * M_PI * (300 + 200 * ch) * t * (1 + t))) +
                    static_cast<int>(noise() % 1200) - 600;
      Le(out, static_cast<unsigned>(v) & 0xFFFF, 2);
    }
}

bool EncodeMp3(const std::filesystem::path& mp3, const std::string& options, int rate, int channels, int frames) {
  std::filesystem::path wav = mp3;
  wav.replace_extension(".source.wav");
  WriteToneWav(wav, rate, channels, frames);
  const std::string command = "lame --quiet " + options + " '" + wav.string() + "' '" + mp3.string() + "'";
  return std::system(command.c_str()) == 0;
}

BoundDecoder::BoundDecoder(DecModule& module, InputSource* source)
    : module_(module), saved_(module), output_(new RecordedOutput), host_(new RecordedHost) {
  g_out = output_;
  g_host = host_;
  host_->merged = CreateMediaItem();
  window_ = CreateHostWindow();
  module.hwndParent = window_;
  module.source = source;
  module.outModule = &g_record;
  module.PlayerCallback = Player;
  module.HostSetThreadPriority = Priority;
  module.HostVisInit = VisInit;
  module.HostVisDeinit = VisDeinit;
  module.HostVisAddPCM = VisPcm;
  module.HostVisNoop = VisNoop;
  module.HostVisSetInfo = VisInfo;
  module.HostDSPAdjust = DspAdjust;
  module.HostProcessSamples = Process;
  module.HostStatusUpdate = Status;
}

BoundDecoder::~BoundDecoder() {
  module_ = saved_;
  DestroyWindow(window_);
  host_->merged->Release();
  g_out = nullptr;
  g_host = nullptr;
  delete output_;
  delete host_;
}

int BoundDecoder::WaitForEndOfStream(int maxMs) { return ::WaitForEndOfStream(window_, static_cast<DWORD>(maxMs)); }

bool BoundDecoder::EndOfStreamPosted() {
  MSG msg;
  return PeekMessageW(&msg, window_, DECODER_END_OF_STREAM_MESSAGE, DECODER_END_OF_STREAM_MESSAGE, PM_NOREMOVE) != 0;
}

}  // namespace zbtest
