// Row evaluation of ROP3s: the operations the player uses run as plain loops, every other one
// through the general evaluator.
#include "gwes/gdi_rop.h"

namespace zb::gdi {

void ApplyRop3(uint8_t rop, const uint32_t* p, const uint32_t* s, const uint32_t* d, uint32_t* out, int n) {
  switch (rop) {
    case 0x00:  // BLACKNESS
      for (int i = 0; i < n; ++i) out[i] = 0;
      return;
    case 0xFF:  // WHITENESS
      for (int i = 0; i < n; ++i) out[i] = ~0u;
      return;
    case 0xCC:  // SRCCOPY
      for (int i = 0; i < n; ++i) out[i] = s[i];
      return;
    case 0xEE:  // SRCPAINT
      for (int i = 0; i < n; ++i) out[i] = s[i] | d[i];
      return;
    case 0x88:  // SRCAND
      for (int i = 0; i < n; ++i) out[i] = s[i] & d[i];
      return;
    case 0x66:  // SRCINVERT
      for (int i = 0; i < n; ++i) out[i] = s[i] ^ d[i];
      return;
    case 0x33:  // NOTSRCCOPY
      for (int i = 0; i < n; ++i) out[i] = ~s[i];
      return;
    case 0xF0:  // PATCOPY
      for (int i = 0; i < n; ++i) out[i] = p[i];
      return;
    case 0x5A:  // PATINVERT
      for (int i = 0; i < n; ++i) out[i] = p[i] ^ d[i];
      return;
    case 0x55:  // DSTINVERT
      for (int i = 0; i < n; ++i) out[i] = ~d[i];
      return;
    case 0xAA:  // the destination unchanged
      for (int i = 0; i < n; ++i) out[i] = d[i];
      return;
    default:
      break;
  }
  for (int i = 0; i < n; ++i) out[i] = EvaluateRop3(rop, p ? p[i] : 0, s ? s[i] : 0, d ? d[i] : 0);
}

}  // namespace zb::gdi
