// What the Ogg module tests share: the oggenc-made fixtures on the test device, Tremor's own
// decode of a file as the reference, levels measured in the PCM, and stream objects that cannot
// seek or whose seeks fail.
#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/interface/input_source.h"
#include "testing/test_device.h"

namespace zbtest {

using Pcm = std::vector<uint8_t>;

// Copies the fixture NAME.ogg onto the device's root; its device path.
std::u16string PutOggFixture(zb::testing::TestDevice& device, const std::string& name);
std::filesystem::path OggFixturePath(const std::string& name);

// Tremor's decode of a host file with a bare ov_read loop and no equaliser scope, from a seek to
// `seekMs` when that is not negative; `links` (may be null) gets the bytes of each run of one
// format, in order.
Pcm PlainDecode(const std::filesystem::path& file, std::vector<size_t>* links = nullptr, long long seekMs = -1);

// RMS level in dB (full scale 32768) of 16-bit samples [from, from + count) of one channel.
double LevelDb(const Pcm& pcm, int channels, int channel, size_t from, size_t count);
// Level in dB of one frequency in mono 16-bit samples [from, from + count) (Goertzel).
double ToneDb(const Pcm& pcm, int rate, double frequency, size_t from, size_t count);

// A copy of `source` that says it cannot seek; one whose every seek fails.
InputSource NotSeekable(const InputSource& source);
InputSource SeeksFail(const InputSource& source);

}  // namespace zbtest
