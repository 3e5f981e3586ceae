// See feature_set.h.
#include "core/player/feature_set.h"

#include <cstring>

namespace {

constexpr GUID kFeatures[] = {
    {0xD21EF878, 0x87BC, 0x4277, {0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9}},
    {0x35B405E5, 0x6DB6, 0x457E, {0xB7, 0x9F, 0xBB, 0x24, 0xEE, 0xC5, 0xC9, 0xF4}},
    {0x5BB20836, 0xDC29, 0x4391, {0xB0, 0x36, 0x41, 0x7F, 0x56, 0xD7, 0xF3, 0xC7}},
    {0xF1BCF888, 0x07D3, 0x404D, {0xBC, 0xDE, 0x4F, 0x9F, 0xAD, 0x68, 0x42, 0x4C}},
    {0x647CDAF5, 0xCD5E, 0x4BE1, {0xBC, 0x86, 0xF3, 0x74, 0x95, 0x3C, 0x66, 0x6E}},
};
constexpr DWORD kLastIndex = sizeof kFeatures / sizeof kFeatures[0] - 1;

}  // namespace

const GUID& FeatureByIndex(DWORD index) { return kFeatures[index < kLastIndex ? index : kLastIndex]; }

CFeatureSet::CFeatureSet() { features_.push_back(kFeatures[0]); }

bool CFeatureSet::Contains(const GUID& feature) {
  CSectionLock hold(lock_);
  for (const GUID& held : features_)
    if (memcmp(&held, &feature, sizeof feature) == 0) return true;
  return false;
}

void CFeatureSet::Add(const GUID& feature) {
  CSectionLock hold(lock_);  // recursive: Contains takes it again
  if (!Contains(feature)) features_.push_back(feature);
}
