// How tag readers use a stream object: a single-shot open (small ring, no retries) that is
// closed again on every path, and exact reads at a file offset.
#pragma once
#include <windows.h>

#include <vector>

#include "core/interface/input_source.h"

class SingleShotOpen {
 public:
  SingleShotOpen(InputSource* source, LPCWSTR path);
  ~SingleShotOpen();
  SingleShotOpen(const SingleShotOpen&) = delete;
  SingleShotOpen& operator=(const SingleShotOpen&) = delete;
  bool ok() const { return ok_; }
  DWORD length() const { return length_; }

 private:
  InputSource* source_;
  bool ok_ = false;
  DWORD length_ = 0;
};

// Exactly `size` bytes at `offset` from the start; false when the source has fewer.
bool ReadAt(InputSource* source, DWORD offset, void* buffer, size_t size);
// `size` bytes at `offset` into a new buffer; empty when they are not all there.
std::vector<BYTE> ReadBlock(InputSource* source, DWORD offset, size_t size);
