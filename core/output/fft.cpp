// The fixed-point FFT: bit-reversal reordering, then decimation-in-time butterflies with
// twiddles from a 768-entry sine table (a quarter wave more than half, so cos(i) = sin(i + 256)).
// Products are taken in 64 bits so that values outside the 16-bit range wrap instead of
// overflowing; inside it the results are those of 32-bit arithmetic.
#include "core/output/fft.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace {

constexpr int kWave = 1024;
constexpr int kQuarterWave = kWave / 4;
constexpr int kHalfValue = 16383;  // the inverse halves a stage when a value lies beyond this

const std::array<LONG, kWave * 3 / 4>& SineTable() {
  static const std::array<LONG, kWave * 3 / 4> table = [] {
    std::array<LONG, kWave * 3 / 4> t{};
    for (int i = 0; i < static_cast<int>(t.size()); ++i)
      t[i] = static_cast<LONG>(std::trunc(32767 * std::sin(2 * std::numbers::pi * i / kWave)));
    return t;
  }();
  return table;
}

LONG Wrap(int64_t value) { return static_cast<LONG>(static_cast<uint32_t>(value)); }

void BitReverse(LONG* re, LONG* im, int n) {
  int r = 0;
  for (int k = 1; k < n; ++k) {
    int l = n;
    do {
      l >>= 1;
    } while (r + l > n - 1);
    r = (r & (l - 1)) + l;
    if (r > k) {
      std::swap(re[k], re[r]);
      std::swap(im[k], im[r]);
    }
  }
}

bool AnyBeyondHalf(const LONG* re, const LONG* im, int n) {
  for (int i = 0; i < n; ++i)
    if (std::llabs(re[i]) > kHalfValue || std::llabs(im[i]) > kHalfValue) return true;
  return false;
}

}  // namespace

int FixedFft(LONG* re, LONG* im, int order, BOOL inverse) {
  if (!re || !im || order < 0 || order > kFftMaxOrder) return -1;
  const int n = 1 << order;
  BitReverse(re, im, n);
  const auto& table = SineTable();
  int scaled = 0;
  for (int l = 1, step = kFftMaxOrder - 1; l < n; l <<= 1, --step) {
    bool shift = true;
    if (inverse) {
      shift = AnyBeyondHalf(re, im, n);
      if (shift) ++scaled;
    }
    for (int m = 0; m < l; ++m) {
      const int j = m << step;
      LONG wr = table[j + kQuarterWave];
      LONG wi = inverse ? table[j] : -table[j];
      if (shift) {
        wr >>= 1;
        wi >>= 1;
      }
      for (int i = m; i < n; i += 2 * l) {
        const int p = i + l;
        const LONG tr = Wrap((static_cast<int64_t>(wr) * re[p] - static_cast<int64_t>(wi) * im[p]) >> 15);
        const LONG ti = Wrap((static_cast<int64_t>(wr) * im[p] + static_cast<int64_t>(wi) * re[p]) >> 15);
        LONG qr = re[i], qi = im[i];
        if (shift) {
          qr >>= 1;
          qi >>= 1;
        }
        re[p] = Wrap(static_cast<int64_t>(qr) - tr);
        im[p] = Wrap(static_cast<int64_t>(qi) - ti);
        re[i] = Wrap(static_cast<int64_t>(qr) + tr);
        im[i] = Wrap(static_cast<int64_t>(qi) + ti);
      }
    }
  }
  return scaled;
}
