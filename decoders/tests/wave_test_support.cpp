// The WAVE decoder tests' file builders and capturing output.
#include "wave_test_support.h"

#include <random>

namespace zbtest {
namespace {

CapturedOutput* g_captured = nullptr;

void NoWindow(HWND) {}
int Pass(int previous) { return previous; }
int Open(int rate, int channels, int bits) {
  ++g_captured->opens;
  g_captured->rate = rate, g_captured->channels = channels, g_captured->bits = bits;
  return 1 << 20;
}
void Close() { ++g_captured->closes; }
int Write(void* data, int bytes) {
  std::lock_guard<std::mutex> hold(g_captured->lock);
  const auto* p = static_cast<const uint8_t*>(data);
  g_captured->written.insert(g_captured->written.end(), p, p + bytes);
  return bytes;
}
int CanWrite() {
  ++g_captured->canWriteCalls;
  return g_captured->room;
}
int IsPlaying() { return 0; }
int Pause(int pause) {
  g_captured->pauses.push_back(pause);
  return 0;
}
void Level(int) {}
void Flush(int ms) {
  std::lock_guard<std::mutex> hold(g_captured->lock);
  g_captured->flushedAt.push_back(ms);
  g_captured->written.clear();
}
int Time() { return 0; }
OutputModule g_output = {OUTPUT_MODULE_VERSION,
                         u"captured",
                         nullptr,
                         nullptr,
                         NoWindow,
                         NoWindow,
                         Pass,
                         Pass,
                         Open,
                         Close,
                         Write,
                         CanWrite,
                         IsPlaying,
                         Pause,
                         Level,
                         Level,
                         Flush,
                         Time,
                         Time};

}  // namespace

void PutLe(Bytes* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutBe(Bytes* out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int blockAlign,
                 int64_t bytesPerSecond) {
  const uint32_t align = blockAlign >= 0 ? static_cast<uint32_t>(blockAlign) : channels * bits / 8u;
  Bytes body;
  PutLe(&body, tag, 2);
  PutLe(&body, channels, 2);
  PutLe(&body, rate, 4);
  PutLe(&body, bytesPerSecond >= 0 ? static_cast<uint32_t>(bytesPerSecond) : rate * align, 4);
  PutLe(&body, align, 2);
  PutLe(&body, bits, 2);
  return body;
}

RiffBuilder& RiffBuilder::Chunk(const std::string& id, const Bytes& body, int64_t statedSize) {
  chunks_.insert(chunks_.end(), id.begin(), id.begin() + 4);
  PutLe(&chunks_, statedSize >= 0 ? static_cast<uint32_t>(statedSize) : static_cast<uint32_t>(body.size()), 4);
  chunks_.insert(chunks_.end(), body.begin(), body.end());
  if (body.size() & 1) chunks_.push_back(0);
  return *this;
}

RiffBuilder& RiffBuilder::List(const std::string& type, const std::vector<std::pair<std::string, std::string>>& texts) {
  Bytes body(type.begin(), type.begin() + 4);
  for (const auto& [id, text] : texts) {
    body.insert(body.end(), id.begin(), id.begin() + 4);
    PutLe(&body, static_cast<uint32_t>(text.size() + 1), 4);
    body.insert(body.end(), text.begin(), text.end());
    body.push_back(0);
    if ((text.size() + 1) & 1) body.push_back(0);
  }
  return Chunk("LIST", body);
}

RiffBuilder& RiffBuilder::Raw(const Bytes& bytes) {
  chunks_.insert(chunks_.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes RiffBuilder::Build() const {
  Bytes file = {'R', 'I', 'F', 'F'};
  PutLe(&file, static_cast<uint32_t>(chunks_.size() + 4), 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E'});
  file.insert(file.end(), chunks_.begin(), chunks_.end());
  return file;
}

Bytes SndFile(uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& samples, uint32_t statedSize,
              uint32_t dataOffset) {
  Bytes file = {'.', 's', 'n', 'd'};
  PutBe(&file, dataOffset, 4);
  PutBe(&file, statedSize ? statedSize : static_cast<uint32_t>(samples.size()), 4);
  PutBe(&file, encoding, 4);
  PutBe(&file, rate, 4);
  PutBe(&file, channels, 4);
  file.resize(std::max<size_t>(file.size(), dataOffset), 0);
  file.insert(file.end(), samples.begin(), samples.end());
  return file;
}

Bytes Samples16(int frames, int channels, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes out;
  for (int i = 0; i < frames * channels; ++i) PutLe(&out, random() & 0xFFFF, 2);
  return out;
}

CaptureOutput::CaptureOutput(OutputModule** slot) : slot_(slot), saved_(*slot), captured_(new CapturedOutput) {
  g_captured = captured_;
  *slot = &g_output;
}

CaptureOutput::~CaptureOutput() {
  *slot_ = saved_;
  g_captured = nullptr;
  delete captured_;
}

}  // namespace zbtest
