// The reference count shared by the layer's COM objects: starts at one for the creator.
#pragma once
#include <atomic>
#include <windows.h>

namespace zb::ole {

class RefCount {
 public:
  ULONG Add() { return ++count_; }
  ULONG Drop() { return --count_; }

 private:
  std::atomic<ULONG> count_{1};
};

}  // namespace zb::ole
