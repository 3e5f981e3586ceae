// Sample frames for the Audio Compression Manager: which formats its drivers read and write,
// and the one frame converter behind both drivers. A frame is decoded to 16-bit samples per
// channel, mapped to the destination's channels, picked by rate and encoded again:
//   8-bit PCM b       -> (b - 128) << 8        16-bit s -> 8-bit (s >> 8) + 128
//   A-law, mu-law     -> the G.711 expansions
//   stereo -> mono    -> (left + right) / 2, rounded toward zero; mono -> stereo: both the same
//   rate              -> output frame k takes input frame floor(k * source rate / destination
//                        rate), counted from the stream's start, so results do not depend on
//                        how the input is cut into pieces.
#pragma once
#include <cstdint>
#include <mmreg.h>

namespace zb::acm {

enum class Coding { Pcm8, Pcm16, Alaw, Mulaw };

// The coding of a format the converter handles: PCM of 8 or 16 bits, A-law or mu-law of 8 bits,
// one or two channels, a sample rate, and a block align of one frame.
bool CodingOf(const WAVEFORMATEX& format, Coding* coding);
inline bool Handled(const WAVEFORMATEX& format) {
  Coding c;
  return CodingOf(format, &c);
}

int16_t AlawToLinear(uint8_t code);
int16_t MulawToLinear(uint8_t code);

class FrameConverter {
 public:
  FrameConverter(const WAVEFORMATEX& source, const WAVEFORMATEX& destination);

  // Starts the stream's frame count again (ACM_STREAMCONVERTF_START).
  void Restart();
  // The most destination bytes a conversion of `bytes` source bytes produces, and the source
  // bytes whose conversion fits into `bytes`; 0 when not even one frame fits.
  uint32_t DestinationBytesFor(uint32_t bytes) const;
  uint32_t SourceBytesFor(uint32_t bytes) const;
  // Converts whole source frames while destination room lasts.
  void Convert(const uint8_t* source, uint32_t sourceBytes, uint8_t* destination, uint32_t destinationBytes,
               uint32_t* sourceUsed, uint32_t* destinationUsed);

 private:
  WAVEFORMATEX source_;
  WAVEFORMATEX destination_;
  Coding sourceCoding_;
  Coding destinationCoding_;
  uint64_t framesIn_ = 0;   // source frames consumed since the start
  uint64_t framesOut_ = 0;  // destination frames produced since the start
};

}  // namespace zb::acm
