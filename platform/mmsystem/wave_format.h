// Which formats the sound device takes: PCM, one or two channels of 8 or 16 bits, consistent
// block align and byte rate, at a sample rate the device profile lists (a profile without 48000
// makes players fall back to 44100).
#pragma once
#include <mmsystem.h>

namespace zb::mm {

MMRESULT CheckFormat(const WAVEFORMATEX* format);

}  // namespace zb::mm
