// Raster operations. A ROP3 is the truth table of a bitwise function of pattern (P), source
// (S) and destination (D): bit (P << 2 | S << 1 | D) of the table is the result for those inputs.
// It applies to native pixel values, bit by bit, as the device does.
#pragma once
#include <cstdint>
#include <windows.h>

namespace zb::gdi {

constexpr uint8_t Rop3Index(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
constexpr bool UsesSource(uint8_t rop) { return (((rop >> 2) ^ rop) & 0x33) != 0; }
constexpr bool UsesPattern(uint8_t rop) { return (((rop >> 4) ^ rop) & 0x0F) != 0; }
constexpr bool UsesDest(uint8_t rop) { return (((rop >> 1) ^ rop) & 0x55) != 0; }

// Any of the 256 functions, minterm by minterm.
constexpr uint32_t EvaluateRop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t out = 0;
  for (int i = 0; i < 8; ++i) {
    if (rop & (1 << i)) out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return out;
}

// The ROP3 that does what a pen's ROP2 (R2_BLACK .. R2_WHITE) does, with the pen as pattern.
constexpr uint8_t Rop2AsRop3(int rop2) {
  const int table = (rop2 - 1) & 15;  // bit (P << 1 | D)
  uint8_t out = 0;
  for (int i = 0; i < 8; ++i) {
    const int p = (i >> 2) & 1, d = i & 1;
    if (table & (1 << (p << 1 | d))) out |= static_cast<uint8_t>(1 << i);
  }
  return out;
}

// out[i] = rop(P[i], S[i], D[i]) for a row; P, S or D may be null when the ROP does not use it.
void ApplyRop3(uint8_t rop, const uint32_t* p, const uint32_t* s, const uint32_t* d, uint32_t* out, int n);

}  // namespace zb::gdi
