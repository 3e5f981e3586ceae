// Reading and writing PCM WAVE files, chunk by chunk, with every length checked against the
// file, so a truncated or damaged file gets a reason rather than a crash.
#include "wav_file.h"

#include <fstream>
#include <iterator>

namespace {

uint32_t Word(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

void Put(std::ofstream& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

bool ReadWav(const std::filesystem::path& file, WavFile* wav, std::string* error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return *error = "cannot open " + file.string(), false;
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" || std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
    return *error = "not a WAVE file", false;
  bool haveFormat = false, haveData = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const uint64_t size = Word(b, at + 4, 4);
    const size_t body = at + 8;
    const size_t length = static_cast<size_t>(std::min<uint64_t>(size, b.size() - body));
    if (id == "fmt " && length >= 16) {
      if (Word(b, body, 2) != 1) return *error = "not PCM", false;
      wav->channels = static_cast<int>(Word(b, body + 2, 2));
      wav->rate = static_cast<int>(Word(b, body + 4, 4));
      wav->bits = static_cast<int>(Word(b, body + 14, 2));
      haveFormat = true;
    } else if (id == "data") {
      wav->data.assign(b.begin() + body, b.begin() + body + length);
      haveData = true;
    }
    at = body + length + (length & 1);
  }
  if (!haveFormat || !haveData) return *error = "no format or no data chunk", false;
  if (wav->channels < 1 || wav->channels > 64 || (wav->bits != 8 && wav->bits != 16) || wav->rate < 0)
    return *error = "a format zbdsp does not take", false;
  return true;
}

bool WriteWav(const std::filesystem::path& file, const WavFile& wav) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const uint32_t bytes = static_cast<uint32_t>(wav.data.size());
  const int frame = wav.channels * wav.bits / 8;
  out.write("RIFF", 4), Put(out, 36 + bytes, 4), out.write("WAVEfmt ", 8);
  Put(out, 16, 4), Put(out, 1, 2), Put(out, wav.channels, 2), Put(out, wav.rate, 4);
  Put(out, wav.rate * frame, 4), Put(out, frame, 2), Put(out, wav.bits, 2);
  out.write("data", 4), Put(out, bytes, 4);
  out.write(reinterpret_cast<const char*>(wav.data.data()), bytes);
  return static_cast<bool>(out);
}
