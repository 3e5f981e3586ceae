// The Ogg module's frequency-domain equaliser: ten band levels drawn as a line through twelve
// points on a 0..22050 Hz scale, averaged over each coefficient's span into a Q31 gain. All the
// floating point runs when the settings change; a block costs one wide multiply per coefficient.
#include "ogg_equalizer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kEdges = 12;
constexpr int kEdgeHz[kEdges] = {0, 60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000, 22050};
constexpr int kBands = 10;
constexpr int kBaseTableSize = 256;
constexpr double kDbPerStep = 0.6349206349206349;  // 40 dB over the 63 steps of a slider
constexpr double kNepersPerDb = 0x1.d791c4p-4;     // ln(10) / 20, as the float the gains were tuned with
constexpr double kUnity = 2147483647.0;
// +96 dB: far above anything a slider reaches (+40 dB), and every coefficient but the smallest
// saturates there anyway. Values outside the sliders' range could otherwise ask for gains no
// 64-bit number holds.
constexpr double kLargestGain = 140737488355328.0;  // 2^47

double Level(signed char value) { return 20.0 - value * kDbPerStep; }

int64_t* TableFor(int64_t* tables, int n) { return tables + n; }

bool HasTable(int n) { return n >= kVorbisEqSmallest && n <= kVorbisEqLargest && (n & (n - 1)) == 0; }

void BuildFromBands(int64_t* table, int n, int bandCount, const signed char* bands, signed char preamp) {
  const double p = Level(preamp);
  // A band the caller did not give sits at the preamp's level alone.
  double band[kBands];
  for (int i = 0; i < kBands; ++i) band[i] = (i < bandCount && bands ? Level(bands[i]) : 0.0) + p;
  double edge[kEdges];
  edge[0] = band[0];
  for (int j = 1; j <= kBands; ++j) edge[j] = band[j - 1];
  edge[kEdges - 1] = band[kBands - 1];
  for (int k = 0; k < n; ++k) {
    const int lo = static_cast<int>(static_cast<long long>(k) * 22050 / n);
    const int hi = static_cast<int>(static_cast<long long>(k + 1) * 22050 / n);
    double sum = 0, width = 0;
    for (int j = 0; j + 1 < kEdges; ++j) {
      const int e0 = kEdgeHz[j], e1 = kEdgeHz[j + 1];
      if (e0 > hi || e1 < lo) continue;
      const int a = std::max(e0, lo), b = std::min(e1, hi);
      if (b <= a) continue;
      auto at = [&](int x) { return edge[j] + (x - e0) * (edge[j + 1] - edge[j]) / (e1 - e0); };
      sum += (at(a) + at(b)) * (b - a) * 0.5;
      width += b - a;
    }
    if (width != 0) table[k] = static_cast<int64_t>(std::min(std::exp(sum / width * kNepersPerDb) * kUnity, kLargestGain));
  }
}

// The product c × gain / 2^31, truncated toward zero and saturated. Gains stay below 2^47 (see
// kLargestGain), so the magnitude's product, taken in two 64-bit halves, is exact.
int32_t Scale(int32_t c, int64_t gain) {
  const uint64_t a = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
  const uint64_t g = static_cast<uint64_t>(gain);
  const uint64_t q = (a * (g >> 16) + ((a * (g & 0xFFFF)) >> 16)) >> 15;
  if (c < 0) return q >= 0x80000000u ? std::numeric_limits<int32_t>::min() : -static_cast<int32_t>(q);
  return q > 0x7FFFFFFFu ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(q);
}

}  // namespace

void VorbisEqBuildTable(int64_t* table, int n, int bandCount, const void* values, signed char preamp) {
  if (!table || n <= 0) return;
  if (bandCount >= 0) return BuildFromBands(table, n, bandCount, static_cast<const signed char*>(values), preamp);
  const auto* from = static_cast<const int64_t*>(values);
  const long long size = -static_cast<long long>(bandCount);
  for (int k = 0; k < n; ++k) table[k] = from[static_cast<long long>(k) * size / n];
}

void VorbisEqSet(VorbisEqState* eq, int enable, int bandCount, const signed char* bands, signed char preamp) {
  if (!eq) return;
  eq->eqEnabled = enable;
  if (!enable || !eq->eqTables) return;
  int64_t* base = TableFor(eq->eqTables, kBaseTableSize);
  VorbisEqBuildTable(base, kBaseTableSize, bandCount, bands, preamp);
  for (int n : {8192, 4096, 2048, 1024, 512, 128, 64, 32})
    VorbisEqBuildTable(TableFor(eq->eqTables, n), n, -kBaseTableSize, base, 0);
}

void VorbisEqApply(const VorbisEqState* eq, int32_t* coefficients, int n) {
  if (!eq || !eq->eqEnabled || !eq->eqTables || !coefficients || !HasTable(n)) return;
  const int64_t* gain = TableFor(eq->eqTables, n);
  for (int k = 0; k < n; ++k) coefficients[k] = Scale(coefficients[k], gain[k]);
}

void VorbisEqApplyChannel(const VorbisEqState* eq, int32_t* coefficients, int n) { VorbisEqApply(eq, coefficients, n); }
