// The categories of media the player says it handles, by GUID: plug-ins ask for one and add
// their own. A fresh player holds the audio category.
#pragma once
#include <windows.h>

#include <vector>

#include "core/common/critical_section.h"

class CFeatureSet {
 public:
  CFeatureSet();
  bool Contains(const GUID& feature);
  // Nothing when it is there already.
  void Add(const GUID& feature);

 private:
  CCriticalSection lock_;
  std::vector<GUID> features_;
};

// The category a plug-in asks for by index: 0 to 3 name the four known ones, any other the last.
const GUID& FeatureByIndex(DWORD index);
