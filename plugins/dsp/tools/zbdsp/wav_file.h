// The PCM WAVE files zbdsp reads and writes: the format's channels, rate and bits and the data
// chunk's samples; other chunks are skipped on reading and not written.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct WavFile {
  int channels = 0, rate = 0, bits = 0;
  std::vector<uint8_t> data;
};

// False with a reason in `error` when the file is not a PCM WAVE file it can take.
bool ReadWav(const std::filesystem::path& file, WavFile* wav, std::string* error);
bool WriteWav(const std::filesystem::path& file, const WavFile& wav);
