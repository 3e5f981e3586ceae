// CORDIC for the dials. The table is built once from the step factors; the gain of the 24 steps
// is sqrt(5) times the usual 1.6468, which 291597966 / 2^30 takes out.
#include "skin/cordic.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace zb::skin {
namespace {

constexpr int kSteps = 24;
constexpr int64_t kDegree = 65536;
constexpr int64_t kInverseGain = 291597966;  // / 2^30

const std::array<int64_t, kSteps>& Angles() {
  static const std::array<int64_t, kSteps> table = [] {
    std::array<int64_t, kSteps> t{};
    const double toDegrees = 180.0 / 3.14159265358979323846;
    t[0] = std::llround(std::atan(2.0) * toDegrees * kDegree);
    for (int i = 0; i < kSteps - 1; ++i) t[i + 1] = std::llround(std::atan(std::ldexp(1.0, -i)) * toDegrees * kDegree);
    return t;
  }();
  return table;
}

// Step k: by 2 for k = 0, else by 2^-(k-1).
int64_t Step(int64_t v, int k) { return k == 0 ? v * 2 : v >> (k - 1); }

// Scales (x, y) so the larger part lies in 2^27 ... 2^28; returns the doublings (negative: halvings).
int Normalise(int64_t& x, int64_t& y) {
  int shift = 0;
  auto larger = [&] { return std::max(std::llabs(x), std::llabs(y)); };
  if (larger() == 0) return 0;
  while (larger() < (int64_t{1} << 27)) x *= 2, y *= 2, ++shift;
  while (larger() >= (int64_t{1} << 28)) x /= 2, y /= 2, --shift;
  return shift;
}

int64_t Unshift(int64_t v, int shift) { return shift >= 0 ? v >> shift : v << -shift; }

}  // namespace

Polar CordicVector(int64_t x, int64_t y) {
  if (x == 0 && y == 0) return {0, 0};
  const int shift = Normalise(x, y);
  int64_t z = 0;
  if (x < 0) {  // turn by 180 degrees into the steps' reach
    x = -x;
    y = -y;
    z = y >= 0 ? -180 * kDegree : 180 * kDegree;
  }
  const auto& angles = Angles();
  for (int k = 0; k < kSteps; ++k) {
    const int64_t dx = Step(y, k), dy = Step(x, k);
    if (y > 0) {
      x += dx, y -= dy, z += angles[k];
    } else {
      x -= dx, y += dy, z -= angles[k];
    }
  }
  if (z > 180 * kDegree) z -= 360 * kDegree;
  if (z <= -180 * kDegree) z += 360 * kDegree;
  return {Unshift(x * kInverseGain >> 30, shift), z};
}

void CordicRotate(int64_t length, int64_t angle, int64_t* outX, int64_t* outY) {
  int64_t x = length, y = 0;
  const int shift = Normalise(x, y);
  int64_t z = angle % (360 * kDegree);
  if (z > 180 * kDegree) z -= 360 * kDegree;
  if (z < -180 * kDegree) z += 360 * kDegree;
  if (z > 90 * kDegree || z < -90 * kDegree) {
    x = -x;
    z += z > 0 ? -180 * kDegree : 180 * kDegree;
  }
  const auto& angles = Angles();
  for (int k = 0; k < kSteps; ++k) {
    const int64_t dx = Step(y, k), dy = Step(x, k);
    if (z > 0) {
      x -= dx, y += dy, z -= angles[k];
    } else {
      x += dx, y -= dy, z += angles[k];
    }
  }
  *outX = Unshift(x * kInverseGain >> 30, shift);
  *outY = Unshift(y * kInverseGain >> 30, shift);
}

}  // namespace zb::skin
