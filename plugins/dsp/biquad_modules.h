// Bass Boost and Variable Filters: one shared parameter set, coefficient set and filter memory;
// a marker says which of the two designed the coefficients now held. The pages set the values.
#pragma once
#include <atomic>

struct BiquadSettings {
  std::atomic<int> frequency{60};
  std::atomic<int> gain{15};
  std::atomic<int> type{0};
  double q = 1.0;  // set at Init only; Variable Filters' userData points here
};

BiquadSettings& BiquadValues();
