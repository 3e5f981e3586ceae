// The music of the decoder benchmarks: 60 s of two moving tones, 44.1 kHz stereo, written as a
// WAVE file on the benchmark's device and encoded there by the decoder's own encoder.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "testing/test_device.h"

// `command` gives the encoder's command line from the WAVE file's and the output's host paths.
// The encoded file's bytes; the program ends when the encoder fails.
std::vector<unsigned char> EncodeBenchTone(const zb::testing::TestDevice& device, const std::string& name,
                                           const std::function<std::string(const std::string& wav,
                                                                           const std::string& out)>& command);
