// A bare libmad loop, the peer the decoder benchmarks measure against: decode, synthesise and
// convert to 16 bits a whole MP3 file held in memory.
#pragma once
#include <vector>

// Decodes the file; returns a sum of samples so that nothing is optimised away.
long long DecodeWithLibmad(const std::vector<unsigned char>& file);
