// Angles and lengths of skin dials in 16.16 fixed-point degrees by CORDIC: a first rotation by
// atan 2, then 23 by atan 2^-i, with the vector normalised to 2^27 ... 2^28 first so every step
// keeps its precision, and the gain taken out at the end.
#pragma once
#include <cstdint>

namespace zb::skin {

struct Polar {
  int64_t radius;  // in the input's units
  int64_t angle;   // 16.16 degrees, atan2(y, x): 0 along +x, growing toward +y, -180 ... 180
};

// The length and angle of (x, y).
Polar CordicVector(int64_t x, int64_t y);
// (length, 0) turned by angle (16.16 degrees) toward +y.
void CordicRotate(int64_t length, int64_t angle, int64_t* x, int64_t* y);

}  // namespace zb::skin
