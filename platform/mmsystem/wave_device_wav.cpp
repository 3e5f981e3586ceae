// The WAVE-file device: what is played goes to a file, as fast as it is written. The file is
// made at the first audio written, so an open that never plays leaves nothing behind. A program
// that closes the device and opens it again with the same format (between tracks) goes on in the
// same file; a second device writing at the same time, or another format, writes FILE-2.wav and
// so on, so no recording is ever overwritten by the next.
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <unistd.h>

#include "device/device.h"
#include "mmsystem/wave_device.h"

namespace zb::mm {
namespace {

struct WavFile {
  WAVEFORMATEX format{};
  uint64_t dataBytes = 0;
  bool inUse = false;
};

struct Files {
  std::mutex lock;
  std::map<std::string, WavFile> byPath;
};

Files& Known() {
  static auto* files = new Files;
  return *files;
}

std::string Numbered(const std::string& path, int n) {
  if (n == 1) return path;
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + "-" + std::to_string(n);
  return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Put16(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

// The 44-byte header of a PCM WAVE file holding `dataBytes` of samples.
void Header(const WAVEFORMATEX& f, uint64_t dataBytes, unsigned char* h) {
  const uint32_t data = dataBytes > 0xFFFFFFDBu ? 0xFFFFFFDBu : static_cast<uint32_t>(dataBytes);
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, 36 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, WAVE_FORMAT_PCM);
  Put16(h + 22, f.nChannels);
  Put32(h + 24, f.nSamplesPerSec);
  Put32(h + 28, f.nAvgBytesPerSec);
  Put16(h + 32, f.nBlockAlign);
  Put16(h + 34, f.wBitsPerSample);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, data);
}

bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
  return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

// The first numbered file this format may write: a new one, or one a closed device of the same
// format left; opened and marked in use. Null (logged) when none can be written.
std::FILE* Claim(const std::string& base, const WAVEFORMATEX& format, std::string* path, uint64_t* dataBytes) {
  Files& files = Known();
  std::lock_guard guard(files.lock);
  for (int n = 1; n < 1000; ++n) {
    *path = Numbered(base, n);
    auto it = files.byPath.find(*path);
    std::FILE* file = nullptr;
    *dataBytes = 0;
    if (it == files.byPath.end()) {
      file = std::fopen(path->c_str(), "w+b");
    } else if (!it->second.inUse && SameFormat(it->second.format, format)) {
      file = std::fopen(path->c_str(), "r+b");
      *dataBytes = it->second.dataBytes;
    } else {
      continue;
    }
    if (!file) break;
    WavFile& known = files.byPath[*path];
    known.format = format;
    known.dataBytes = *dataBytes;
    known.inUse = true;
    return file;
  }
  device::DebugLog("waveOut: cannot write the WAVE file " + *path + "\n");
  return nullptr;
}

class WavFileDevice : public WaveDevice {
 public:
  WavFileDevice(std::string base, const WAVEFORMATEX& format) : base_(std::move(base)), format_(format) {}
  ~WavFileDevice() override { Stop(); }
  Pacing pacing() const override { return Pacing::Immediate; }
  void Played(const uint8_t* data, size_t size) override {
    if (size == 0 || failed_) return;
    if (!file_) {
      if (!(file_ = Claim(base_, format_, &path_, &dataBytes_))) {
        failed_ = true;  // logged once; the rest is consumed unwritten
        return;
      }
      WriteHeader();  // and the samples go after it
    }
    if (std::fwrite(data, 1, size, file_) != size) {
      device::DebugLog("waveOut: cannot write to " + path_ + "\n");
      return;
    }
    dataBytes_ += size;
    WriteHeader();  // the file is a whole WAVE file after every write
  }
  void Stop() override {
    if (!file_) return;
    WriteHeader();
    std::fclose(file_);
    file_ = nullptr;
    std::lock_guard guard(Known().lock);
    WavFile& known = Known().byPath[path_];
    known.dataBytes = dataBytes_;
    known.inUse = false;
  }

 private:
  void WriteHeader() {
    unsigned char h[44];
    Header(format_, dataBytes_, h);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof(h), file_);
    std::fseek(file_, static_cast<long>(44 + dataBytes_), SEEK_SET);
    std::fflush(file_);
  }

  std::string base_;
  WAVEFORMATEX format_;
  std::string path_;  // the numbered file claimed at the first audio
  std::FILE* file_ = nullptr;
  uint64_t dataBytes_ = 0;
  bool failed_ = false;
};

// Whether a file can be made at `base` (its folder is there and writable) or written there.
bool Writable(const std::string& base) {
  if (::access(base.c_str(), F_OK) == 0) return ::access(base.c_str(), W_OK) == 0;
  const size_t slash = base.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : base.substr(0, slash);
  return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::unique_ptr<WaveDevice> OpenWavFileDevice(const std::string& base, const WAVEFORMATEX& format, MMRESULT* error) {
  if (!Writable(base)) {
    device::DebugLog("waveOut: cannot write the WAVE file " + base + "\n");
    *error = MMSYSERR_ERROR;
    return nullptr;
  }
  return std::make_unique<WavFileDevice>(base, format);
}

}  // namespace zb::mm
