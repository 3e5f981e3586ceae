// Helpers of the Ogg module tests.
#include "ogg_test_support.h"

#include <tremor/ivorbisfile.h>

#include <cmath>
#include <cstdio>

#include "device/text.h"

namespace zbtest {

std::filesystem::path OggFixturePath(const std::string& name) { return std::filesystem::path(OGG_FIXTURE_FOLDER) / (name + ".ogg"); }

std::u16string PutOggFixture(zb::testing::TestDevice& device, const std::string& name) {
  std::filesystem::copy_file(OggFixturePath(name), device.Host(name + ".ogg"),
                             std::filesystem::copy_options::overwrite_existing);
  return u"\\" + zb::FromUtf8(name) + u".ogg";
}

Pcm PlainDecode(const std::filesystem::path& file, std::vector<size_t>* links, long long seekMs) {
  Pcm pcm;
  FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return pcm;
  OggVorbis_File vf;
  if (ov_open(in, &vf, nullptr, 0) != 0) {
    std::fclose(in);
    return pcm;
  }
  if (seekMs >= 0 && ov_time_seek(&vf, seekMs) != 0) {
    ov_clear(&vf);
    return pcm;
  }
  std::vector<char> buffer(4096 * 255 * 2);
  long rate = -1, channels = -1;
  int section = 0;
  for (int errors = 0; errors < 1000;) {
    const long got = ov_read(&vf, buffer.data(), 4096, &section);
    if (got == 0) break;
    if (got < 0) {
      ++errors;
      continue;
    }
    const vorbis_info* info = ov_info(&vf, -1);
    if (links && (info->rate != rate || info->channels != channels)) links->push_back(0);
    rate = info->rate, channels = info->channels;
    if (links) links->back() += static_cast<size_t>(got);
    pcm.insert(pcm.end(), buffer.begin(), buffer.begin() + got);
  }
  ov_clear(&vf);
  return pcm;
}

namespace {

int16_t Sample(const Pcm& pcm, size_t index) {
  return static_cast<int16_t>(pcm[2 * index] | pcm[2 * index + 1] << 8);
}

int NoSeeking(InputSource*) { return 0; }
int FailedSeek(InputSource*, int, int) { return -1; }

}  // namespace

double LevelDb(const Pcm& pcm, int channels, int channel, size_t from, size_t count) {
  double sum = 0;
  for (size_t i = from; i < from + count; ++i) {
    const double v = Sample(pcm, i * channels + channel) / 32768.0;
    sum += v * v;
  }
  return 10 * std::log10(sum / count + 1e-30);
}

double ToneDb(const Pcm& pcm, int rate, double frequency, size_t from, size_t count) {
  const double w = 2 * M_PI * frequency / rate, c = 2 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (size_t i = from; i < from + count; ++i) {
    const double s0 = Sample(pcm, i) / 32768.0 + c * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
  return 10 * std::log10(power / (count * count) + 1e-30);
}

InputSource NotSeekable(const InputSource& source) {
  InputSource copy = source;
  copy.IsSeekable = NoSeeking;
  return copy;
}

InputSource SeeksFail(const InputSource& source) {
  InputSource copy = source;
  copy.Seek = FailedSeek;
  return copy;
}

}  // namespace zbtest
