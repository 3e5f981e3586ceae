// The inverse MDCT of a block through a complex FFT of a quarter of its output length: rotate
// the coefficients in pairs into bit-reversed order, transform, rotate back. 32-bit values with
// 64-bit products; sums wrap rather than trap, so a hostile spectrum gives noise, not a fault.
#include "wma_audio_internal.h"
#include "wma_tables.h"

namespace {

inline int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t Round(int64_t v, int shift) { return static_cast<int32_t>((v + (int64_t{1} << (shift - 1))) >> shift); }

uint32_t Reverse(uint32_t v, int bits) {
  v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
  v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
  v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
  v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
  v = (v >> 16) | (v << 16);
  return v >> (32 - bits);
}

// The scale of a block's coefficients against the transform's output in Q12: the coefficients
// carry 2^(3 + b) (version 2) or 32 sqrt(N / 2) (version 1, its odd half-bit in the step).
int InputShift(int bits, int version) {
  if (version == 2) return 31 + 3 + bits - 12;
  return 31 + ((bits & 1) ? 5 + (bits - 1) / 2 : 4 + bits / 2) - 12;
}

inline void Butterfly(int32_t* a, int32_t* b, int32_t tr, int32_t ti) {
  b[0] = Sub(a[0], tr);
  b[1] = Sub(a[1], ti);
  a[0] = Add(a[0], tr);
  a[1] = Add(a[1], ti);
}

// Inverse FFT (roots e^(+i)) of `count` complex values in bit-reversed order, radix 2. The roots
// 1 and i need no product.
void Fft(int32_t* z, int count) {
  for (int size = 2; size <= count; size <<= 1) {
    const int half = size / 2, quarter = size / 4, stride = 1024 / size;
    for (int start = 0; start < count; start += size) {
      int32_t* a = z + 2 * start;
      int32_t* b = a + 2 * half;
      Butterfly(a, b, b[0], b[1]);
      for (int k = 1; k < half; ++k) {
        int32_t* ak = a + 2 * k;
        int32_t* bk = b + 2 * k;
        if (k == quarter) {
          Butterfly(ak, bk, static_cast<int32_t>(0u - static_cast<uint32_t>(bk[1])), bk[0]);
          continue;
        }
        const int64_t c = kWmaFftRoots[k * stride].a, s = kWmaFftRoots[k * stride].b;
        Butterfly(ak, bk, Round(bk[0] * c - bk[1] * s, 31), Round(bk[0] * s + bk[1] * c, 31));
      }
    }
  }
}

}  // namespace

void WmaInverseTransform(int32_t* x, int32_t* z, int bits, int version) {
  const int n = 1 << bits, n4 = n / 2, n8 = n / 4;
  const WmaPair* t = kWmaImdctTwiddles + (n4 - 64);
  const int shift = InputShift(bits, version);
  for (int k = 0; k < n4; ++k) {
    const int64_t in1 = x[2 * k], in2 = x[n - 1 - 2 * k];
    const uint32_t j = Reverse(static_cast<uint32_t>(k), bits - 1);
    z[2 * j] = Round(in1 * t[k].b - in2 * t[k].a, shift);
    z[2 * j + 1] = Round(-(in2 * t[k].b + in1 * t[k].a), shift);
  }
  Fft(z, n4);
  for (int k = 0; k < n8; ++k) {
    const int i = n8 - k - 1, j = n8 + k;
    const int64_t ar = z[2 * i], ai = z[2 * i + 1], br = z[2 * j], bi = z[2 * j + 1];
    x[2 * i] = Round(ar * t[i].a - ai * t[i].b, 31);
    x[2 * j + 1] = Round(-(ai * t[i].a + ar * t[i].b), 31);
    x[2 * j] = Round(br * t[j].a - bi * t[j].b, 31);
    x[2 * i + 1] = Round(-(bi * t[j].a + br * t[j].b), 31);
  }
}
