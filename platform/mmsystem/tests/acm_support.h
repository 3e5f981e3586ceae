// Shared by the ACM tests: formats by their four numbers, and a whole conversion through the
// manager's calls in the order the WAVE decoder makes them, fed in pieces of chosen sizes.
#pragma once
#include <gtest/gtest.h>
#include <cstring>
#include <msacm.h>
#include <vector>

#include "formats.h"

namespace zb::acm::testing {

using zb::mm::testing::Format;
using zb::mm::testing::Pcm;

// Converts `input` in pieces (cycling through `pieces` byte counts) with one prepared header,
// the way a decoder loop does; fails the test on any error.
inline std::vector<uint8_t> ConvertThroughStream(WAVEFORMATEX source, WAVEFORMATEX destination,
                                                 const std::vector<uint8_t>& input, std::vector<uint32_t> pieces) {
  std::vector<uint8_t> output;
  HACMSTREAM stream = nullptr;
  EXPECT_EQ(acmStreamOpen(&stream, nullptr, &source, &destination, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
  if (!stream) return output;
  uint32_t largest = 0;
  for (uint32_t p : pieces) largest = std::max(largest, p);
  DWORD room = 0;
  EXPECT_EQ(acmStreamSize(stream, largest, &room, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
  std::vector<uint8_t> in(largest), out(room);
  ACMSTREAMHEADER h{};
  h.cbStruct = sizeof(h);
  h.pbSrc = in.data();
  h.cbSrcLength = largest;
  h.pbDst = out.data();
  h.cbDstLength = room;
  EXPECT_EQ(acmStreamPrepareHeader(stream, &h, 0), MMSYSERR_NOERROR);
  size_t at = 0, turn = 0;
  for (size_t guard = 0; at < input.size() && guard < input.size() + 16; ++guard) {
    uint32_t n = std::min<size_t>(pieces[turn++ % pieces.size()], input.size() - at);
    std::copy_n(input.begin() + at, n, in.begin());
    h.cbSrcLength = n;
    EXPECT_EQ(acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_BLOCKALIGN | (at == 0 ? ACM_STREAMCONVERTF_START : 0)),
              MMSYSERR_NOERROR);
    EXPECT_TRUE(h.fdwStatus & ACMSTREAMHEADER_STATUSF_DONE);
    EXPECT_EQ(h.cbSrcLengthUsed, n - n % source.nBlockAlign) << "room for the whole piece was asked for";
    output.insert(output.end(), out.begin(), out.begin() + h.cbDstLengthUsed);
    at += h.cbSrcLengthUsed;  // a partial frame is offered again with the next piece
  }
  h.cbSrcLength = largest;
  EXPECT_EQ(acmStreamUnprepareHeader(stream, &h, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_NOERROR);
  return output;
}

inline int16_t Sample16(const std::vector<uint8_t>& bytes, size_t index) {
  return static_cast<int16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

inline void PutSample16(std::vector<uint8_t>& bytes, size_t index, int16_t value) {
  bytes[2 * index] = static_cast<uint8_t>(value & 0xFF);
  bytes[2 * index + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace zb::acm::testing
