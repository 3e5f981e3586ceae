// The spectral envelope of streams coded with line spectral pairs: ten codebook values a channel
// become the prediction polynomial A(z) of order 10, and the envelope at a block position is
// |A(e^iw)|^(-1/2), relative to its largest value over the block the codes were read with. All
// in fixed point: the cosine table gives the polynomial's value, the quarter-root tables the power.
#include <algorithm>

#include "wma_audio_internal.h"
#include "wma_tables.h"

namespace {

constexpr uint8_t kCodeBits[kWmaLspCodes] = {3, 4, 4, 4, 4, 4, 4, 4, 3, 3};

inline int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// A polynomial's first six coefficients (Q25) times (1 + a z^-1 + z^-2), a in Q30, in place from
// the top down; the products are rounded at bit 29. The rest of a degree-11 product follows from
// its symmetry, so six are all that is kept.
void TimesPair(int32_t* c, int32_t a) {
  for (int k = 5; k >= 1; --k) {
    const int64_t product = (static_cast<int64_t>(c[k - 1]) * a + (int64_t{1} << 29)) >> 30;
    c[k] = Wrap(static_cast<int64_t>(c[k]) + product + (k >= 2 ? c[k - 2] : 0));
  }
}

// cos(pi j / 4096) in Q31 for any j.
inline int32_t Cos(uint32_t j) {
  j &= 8191;
  if (j > 4096) j = 8192 - j;
  return j <= 2048 ? kWmaCosine[j] : -kWmaCosine[4096 - j];
}
inline int32_t Sin(uint32_t j) { return Cos(j + 8192 - 2048); }

int TopBit(uint64_t v) {
  int n = 0;
  for (int step = 32; step > 0; step >>= 1)
    if (v >> step) v >>= step, n += step;
  return n;
}

// The envelope before its normalisation: x^(-1/4) = mantissa 2^-30 2^-exponent, mantissa in
// [2^29, 2^30], for x = |2A|^2 of the polynomial at w = pi j / 4096 (Q80, at least 1 so that a
// hostile polynomial with a zero on the circle gives the largest value, not a division by 0).
struct Power {
  uint32_t mantissa;
  int exponent;
};

Power EnvelopeAt(const int32_t* poly, uint32_t j) {
  // 2A(e^-iw) = 2 - sum c_k e^-ikw, with c the stored coefficients (Q25), summed in Q40 and then
  // cut to 31 bits, so that the small values near the envelope's peaks keep their precision.
  int64_t re = int64_t{2} << 40, im = 0;
  for (int k = 1; k <= kWmaLspCodes; ++k) {
    const uint32_t angle = static_cast<uint32_t>(k) * j;
    re -= (static_cast<int64_t>(poly[k - 1]) * Cos(angle)) >> 16;
    im += (static_cast<int64_t>(poly[k - 1]) * Sin(angle)) >> 16;
  }
  const uint64_t larger = static_cast<uint64_t>(std::max(re < 0 ? -re : re, im < 0 ? -im : im));
  const int cut = std::max(0, TopBit(larger) - 30);
  re >>= cut;
  im >>= cut;
  const int extra = 2 * cut;
  uint64_t x = static_cast<uint64_t>(re * re) + static_cast<uint64_t>(im * im);
  if (x == 0) x = 1;
  const int top = TopBit(x);
  const int log2 = top + extra;
  // (1 + f)^(-1/4) for the 31 bits f below the leading one, interpolated between table steps.
  const uint64_t normal = x << (63 - top);
  const int index = static_cast<int>((normal >> 55) & 255);
  const int64_t rest = static_cast<int64_t>((normal >> 31) & 0xFFFFFF);
  const int64_t root = kWmaQuarterRoot[index] - (((kWmaQuarterRoot[index] - int64_t{kWmaQuarterRoot[index + 1]}) * rest) >> 24);
  const uint32_t mantissa = static_cast<uint32_t>((root * kWmaQuarterStep[log2 & 3]) >> 30);
  return {mantissa, log2 >> 2};
}

inline bool Above(Power a, Power b) { return a.exponent < b.exponent || (a.exponent == b.exponent && a.mantissa > b.mantissa); }

}  // namespace

void WmaAudioLspToPolynomial(int32_t* codes) {
  // P(z) = (1 + z^-1) prod_even (1 + a z^-1 + z^-2), Q(z) = (1 - z^-1) prod_odd (...): A is
  // their mean, so coefficient k is (p_k + q_k) / 2 and coefficient 11 - k is (p_k - q_k) / 2.
  int32_t p[6] = {1 << 25, 1 << 25, 0, 0, 0, 0};
  int32_t q[6] = {1 << 25, -(1 << 25), 0, 0, 0, 0};
  for (int i = 0; i < kWmaLspCodes; ++i) TimesPair(i % 2 == 0 ? p : q, codes[i]);
  // Written from the middle outward as -2 times the coefficient: codes[k - 1] and codes[10 - k].
  for (int k = 5; k >= 1; --k) {
    codes[k - 1] = Wrap(-(static_cast<int64_t>(q[k]) + p[k]));
    codes[10 - k] = Wrap(static_cast<int64_t>(q[k]) - p[k]);
  }
}

void WmaReadLspCodes(WmaAudioDecoder* d, int channel, int bits) {
  WmaChannelLsp& lsp = d->lsp[channel];
  int row = 0;
  for (int i = 0; i < kWmaLspCodes; ++i) {
    lsp.polynomial[i] = kWmaLspCodebook[row + static_cast<int>(WmaBitGet(d, kCodeBits[i]))];
    row += 1 << kCodeBits[i];
  }
  WmaAudioLspToPolynomial(lsp.polynomial);
  lsp.bits = static_cast<uint8_t>(bits);
  // Usable by later blocks once this block has found their envelope's largest value.
  lsp.valid = 0;
  lsp.fresh = 1;
}

void WmaEnvelopeFromLsp(WmaAudioDecoder* d, int channel, int32_t* ratio, int32_t* scratch) {
  WmaChannelLsp& lsp = d->lsp[channel];
  const int bits = d->curBits;
  // A block larger than the one the codes were read with repeats their envelope's values, as the
  // encoder saw them; option bit 5 asks for the envelope at the block's own positions instead.
  const int gridBits = d->optionBit5 || bits <= lsp.bits ? bits : lsp.bits;
  const uint32_t grid = 1u << gridBits, step = 1u << (12 - gridBits);
  // Mantissas go to the scratch buffer, exponents to the ratios, until the largest is known.
  for (uint32_t i = 0; i < grid; ++i) {
    const Power v = EnvelopeAt(lsp.polynomial, i * step);
    scratch[i] = static_cast<int32_t>(v.mantissa);
    ratio[i] = v.exponent;
    if (lsp.fresh && (i == 0 || Above(v, Power{lsp.maxMantissa, lsp.maxExponent}))) {
      lsp.maxMantissa = v.mantissa;
      lsp.maxExponent = v.exponent;
    }
  }
  if (lsp.fresh) lsp.valid = 1;
  lsp.fresh = 0;
  // Each value over the largest in Q28: mantissa times 2^60 / the largest mantissa. Values above
  // the largest (option bit 5 between the codes' positions) may reach 8 before they saturate.
  const uint64_t reciprocal = (uint64_t{1} << 60) / (lsp.maxMantissa ? lsp.maxMantissa : 1);
  for (uint32_t i = 0; i < grid; ++i) {
    const uint64_t product = static_cast<uint64_t>(static_cast<uint32_t>(scratch[i])) * reciprocal;
    const int shift = 32 + ratio[i] - lsp.maxExponent;
    const uint64_t value = shift >= 64 ? 0 : shift < 0 ? ~uint64_t{0} : product >> shift;
    ratio[i] = value > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(value);
  }
  if (gridBits < bits)
    for (int i = (1 << bits) - 1; i > 0; --i) ratio[i] = ratio[i >> (bits - gridBits)];
}
