// The dequantisation step of a band, 10^(d/16 + g/20) as a normalised 32-bit mantissa and a
// shift, from three small power tables instead of any floating point.
#include "wma_audio_internal.h"

namespace {

// 10^(i/16) and 10^(r/20), scaled so that their product is 10^(i/16 + r/20) / 80 in Q32.
constexpr uint32_t kSixteenths[16] = {
    0x1D70A3D7, 0x21FF2D15, 0x2742455E, 0x2D55DF32, 0x345A4072, 0x3C74ADC9, 0x45D0309F, 0x509E7BA3,
    0x5D18F2C4, 0x6B81DBFE, 0x7C25BF53, 0x8F5CFD42, 0xA58DA429, 0xBF2D8E49, 0xDCC4D3B2, 0xFEF09D14};
constexpr uint32_t kTwentieths[20] = {
    0x1BD37A6F, 0x1F38AC90, 0x2307ED84, 0x274E2E35, 0x2C19F3C4, 0x317B88E3, 0x3785352D,
    0x3E4B7B3B, 0x45E55E4F, 0x4E6CB086, 0x57FE6A8A, 0x62BB0DFD, 0x6EC713E7, 0x7C4B6899,
    0x8B75F6B1, 0x9C7A4316, 0xAF921BF9, 0xC4FE5D32, 0xDD07CC93, 0xF800111C};
// 10^(e+1) * 2^(26 - 3e) for e = -2..13, capped at 32 bits.
constexpr uint32_t kDecades[16] = {
    0x1999999A, 0x20000000, 0x28000000, 0x32000000, 0x3E800000, 0x4E200000, 0x61A80000, 0x7A120000,
    0x98968000, 0xBEBC2000, 0xEE6B2800, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};

uint32_t High(uint32_t a, uint32_t b) { return static_cast<uint32_t>((static_cast<uint64_t>(a) * b) >> 32); }

// Floor division and its remainder, for the negative gains of noise bands.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

WmaStep WmaQuantStep(int difference, int gain, int base) {
  const int q = FloorDiv(gain, 20);
  const int r = gain - 20 * q;
  const int e = (difference >> 4) + q;
  if (e + 2 < 0) return {0, 0};
  WmaStep step{0xFFFFFFFF, 3 * e + base};
  if (e + 2 < 16) step.mantissa = High(kDecades[e + 2], High(kSixteenths[difference & 15], kTwentieths[r]));
  if (step.mantissa == 0) return {0, 0};
  while ((step.mantissa >> 30) == 0) step.mantissa <<= 2, step.shift -= 2;
  if ((step.mantissa >> 31) == 0) step.mantissa <<= 1, step.shift -= 1;
  return step;
}

WmaStep WmaBlockStep(const WmaAudioDecoder* d, int difference, int gain) {
  WmaStep step = WmaQuantStep(difference, gain, d->version == 1 ? 14 : 13);
  if (d->version == 1 && (d->curBits & 1) == 0 && step.mantissa) {
    step.mantissa = static_cast<uint32_t>((static_cast<uint64_t>(step.mantissa) * 0xB504F334u) >> 32);
    if ((step.mantissa >> 31) == 0) step.mantissa <<= 1, step.shift -= 1;
  }
  return step;
}
