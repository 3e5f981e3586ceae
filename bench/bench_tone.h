// The music of the decoder benchmarks: 60 s of two moving tones, 44.1 kHz stereo, written as a
// WAVE file on a device of the benchmark's own and encoded there by the decoder's own encoder.
#pragma once
#include <functional>
#include <string>
#include <vector>

// Makes the device (it stays current for the program's life), then the file `name` in its root
// folder with the encoder's command line that `command` gives from the WAVE file's and the
// output's host paths. The encoded file's bytes; the program ends when the encoder fails.
std::vector<unsigned char> EncodeBenchTone(const std::string& name,
                                           const std::function<std::string(const std::string& wav,
                                                                           const std::string& out)>& command);
