// Between the equaliser's design and its filter: the published design carries a generation
// number, so the filter knows when to start its histories afresh.
#pragma once
#include <cstdint>
#include <memory>

#include "core/output/equalizer.h"

struct PublishedEqDesign {
  EqDesign design;
  uint64_t generation;  // 0 for the flat design in force before any design
};

std::shared_ptr<const PublishedEqDesign> CurrentPublishedEqDesign();
