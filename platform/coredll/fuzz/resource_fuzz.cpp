// Arbitrary bytes as a resource table (data files may hold anything): the checked view must
// refuse or describe it without reading outside it; and as a version block, walked by
// VerQueryValueW, which may only read what the block's own lengths cover.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <windows.h>

#include "coredll/resource_blob.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

void Table(const uint8_t* data, size_t size) {
  zb::res::BlobView view;
  if (!zb::res::BlobView::Open(data, size, &view)) return;
  Require(view.size() <= size);
  uint32_t sum = 0;
  for (uint32_t i = 0; i < view.count(); ++i) {
    zb::res::Entry e = view.At(i);
    Require(e.dataOffset <= view.size() && e.dataSize <= view.size() - e.dataOffset);
    for (uint32_t b = 0; b < e.dataSize; ++b) sum += view.data()[e.dataOffset + b];
    for (uint32_t id : {e.type, e.name})
      if (id & zb::res::kNamed)
        for (char16_t c : view.Name(id)) sum += c;
  }
  (void)sum;
}

void Version(const uint8_t* data, size_t size) {
  // The block's first word is its length; whatever it says lies inside this buffer.
  std::vector<uint8_t> block(65536 + 8, 0);
  std::memcpy(block.data(), data, std::min(size, block.size()));
  for (const char16_t* path : {u"\\", u"\\VarFileInfo\\Translation", u"\\StringFileInfo\\040904b0\\FileVersion",
                               u"\\a\\b\\c\\d"}) {
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), path, &value, &length)) {
      auto* p = static_cast<uint8_t*>(value);
      Require(p >= block.data() && p <= block.data() + block.size());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Table(data, size);
  Version(data, size);
  return 0;
}
