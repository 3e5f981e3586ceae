// The WAV writer and null output of zbdecode: a header rewritten at Close with the true sizes.
#include "wav_output.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include <atomic>

namespace {

FILE* g_file = nullptr;
int g_rate = 0, g_channels = 0;
long long g_bytes = 0;
std::atomic<bool> g_held{false};
constexpr int kBuffer = 1 << 20;

void Le(unsigned char* p, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

void WriteHeader() {
  if (!g_file) return;
  unsigned char h[44];
  std::memcpy(h, "RIFF", 4);
  Le(h + 4, static_cast<unsigned>(36 + g_bytes), 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Le(h + 16, 16, 4);
  Le(h + 20, 1, 2);
  Le(h + 22, static_cast<unsigned>(g_channels), 2);
  Le(h + 24, static_cast<unsigned>(g_rate), 4);
  Le(h + 28, static_cast<unsigned>(g_rate * g_channels * 2), 4);
  Le(h + 32, static_cast<unsigned>(g_channels * 2), 2);
  Le(h + 34, 16, 2);
  std::memcpy(h + 36, "data", 4);
  Le(h + 40, static_cast<unsigned>(g_bytes), 4);
  std::fseek(g_file, 0, SEEK_SET);
  std::fwrite(h, 1, sizeof h, g_file);
  std::fseek(g_file, 0, SEEK_END);
}

void Nothing(HWND) {}
int Pass(int previous) { return previous; }
int Open(int rate, int channels, int) {
  g_rate = rate;
  g_channels = channels;
  g_bytes = 0;
  WriteHeader();
  return kBuffer;
}
void Close() {
  WriteHeader();
  if (g_file) std::fflush(g_file);
}
int Write(void* data, int bytes) {
  if (g_file) std::fwrite(data, 1, static_cast<size_t>(bytes), g_file);
  g_bytes += bytes;
  return bytes;
}
int NullWrite(void*, int bytes) {
  g_bytes += bytes;
  return bytes;
}
int CanWrite() { return g_held ? 0 : kBuffer; }
int IsPlaying() { return 0; }
int Pause(int) { return 0; }
void Level(int) {}
void Flush(int) {
  g_bytes = 0;
  if (g_file) {
    std::fflush(g_file);
    std::fseek(g_file, 44, SEEK_SET);
    // The file is cut at the header: what came before the flush is not part of the stream.
    if (ftruncate(fileno(g_file), 44) != 0) g_bytes = 0;
  }
}
int Time() { return g_rate ? static_cast<int>(g_bytes * 1000 / (g_rate * g_channels * 2)) : 0; }

}  // namespace

OutputModule WavOutput = {OUTPUT_MODULE_VERSION, u"WAV file", nullptr, nullptr, Nothing, Nothing, Pass, Pass, Open, Close,
                          Write, CanWrite, IsPlaying, Pause, Level, Level, Flush, Time, Time};
OutputModule NullOutput = {OUTPUT_MODULE_VERSION, u"null", nullptr, nullptr, Nothing, Nothing, Pass, Pass, Open, Close,
                           NullWrite, CanWrite, IsPlaying, Pause, Level, Level, Flush, Time, Time};

bool OpenWavOutput(const char* path) {
  g_file = std::fopen(path, "wb+");
  return g_file != nullptr;
}
int OutputRate() { return g_rate; }
int OutputChannels() { return g_channels; }
long long OutputFrames() { return g_channels ? g_bytes / (g_channels * 2) : 0; }
void HoldOutput(bool held) { g_held = held; }
