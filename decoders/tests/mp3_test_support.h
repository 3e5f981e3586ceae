// What the MP3 module tests bind into the record: MP3 files made with lame on the test device, an
// output module that records what it is given and can be held full, host callbacks that record
// their calls, a player callback that hands out items and keeps what is merged, and a window for
// the end-of-stream message.
#pragma once
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "core/interface/dec_module.h"
#include "media_item.h"

namespace zbtest {

// A 16-bit WAVE file of a tone with a little noise, `frames` sample frames long.
void WriteToneWav(const std::filesystem::path& path, int rate, int channels, int frames);
// lame with `options` over such a tone; false when lame fails.
bool EncodeMp3(const std::filesystem::path& mp3, const std::string& options, int rate, int channels, int frames);

struct RecordedOutput {
  std::atomic<int> room{1 << 20};  // what CanWrite answers
  std::atomic<int> playing{0};     // what IsPlaying answers
  std::atomic<int> canWriteCalls{0};
  std::atomic<long long> written{0};
  bool keep = false;        // set before Play: Write keeps a copy of what it is given
  std::vector<uint8_t> pcm;
  std::atomic<int> opens{0}, closes{0}, flushes{0};
  int rate = 0, channels = 0, bits = 0;
  int volume = 0, pan = 0;
  std::vector<int> flushedAt;
};

struct RecordedHost {
  std::atomic<int> priorityCalls{0}, visDeinitCalls{0};
  int visLatency = -1, visRate = -1, infoRate = -1, infoChannels = -1;
  std::vector<int> statusKbps;
  std::vector<int> pcmTimestamps;
  CMediaItem* merged = nullptr;  // every item merged through message 4371
  std::atomic<int> newItems{0}, merges{0};
};

// Binds `module` as the core does: the callbacks above, `source`, the recording output and a
// fresh window as its host window. Unbind restores a clean record.
class BoundDecoder {
 public:
  BoundDecoder(DecModule& module, InputSource* source);
  ~BoundDecoder();
  RecordedOutput& output() { return *output_; }
  RecordedHost& host() { return *host_; }
  // Waits (bounded) for the end-of-stream message; its wParam, or -1 when none came.
  int WaitForEndOfStream(int maxMs = 30000);
  // Whether an end-of-stream message is waiting, without waiting for one.
  bool EndOfStreamPosted();

 private:
  DecModule& module_;
  DecModule saved_;
  HWND window_ = nullptr;
  RecordedOutput* output_;
  RecordedHost* host_;
};

}  // namespace zbtest
