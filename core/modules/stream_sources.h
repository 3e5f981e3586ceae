// The core's own stream sources and the copies it binds. "rtsp://" and "mms://" go to a
// pass-through source (the decoder opens the URL itself) and a missing path to an empty source.
// A registered source record is never opened: whoever reads takes a copy, inits it, opens and
// closes it, and releases it; CSourceCopy keeps that pairing.
#pragma once
#include <windows.h>

#include "core/interface/input_source.h"

InputSource* NetworkPassThroughSource();
InputSource* EmptySource();

class CSourceCopy {
 public:
  CSourceCopy() = default;
  ~CSourceCopy() { Reset(nullptr); }
  CSourceCopy(const CSourceCopy&) = delete;
  CSourceCopy& operator=(const CSourceCopy&) = delete;

  // Releases the copy held and takes a fresh, initialised copy of `record` (none for null).
  void Reset(const InputSource* record, DWORD openFlags = 0);
  // The copy, or null when there is none.
  InputSource* get() { return held_ ? &copy_ : nullptr; }

 private:
  InputSource copy_{};
  bool held_ = false;
};
