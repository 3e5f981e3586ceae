// Binding the platform's image decompressors, and our own variant-2 entry for systems that lack
// "cmgdecmp". This host has no Imaging COM interfaces, so our variant decodes through the plain
// "imgdecmp" entry, which fills the same outputs, and reports that decode's own result.
#include <mutex>

#include "skin/image_loader.h"

namespace {

struct Binding {
  std::mutex lock;
  HMODULE imgdecmp = nullptr;
  HMODULE cmgdecmp = nullptr;
  bool triedImgdecmp = false;
  bool triedCmgdecmp = false;
};

Binding& Bound() {
  static Binding binding;
  return binding;
}

// An export of a loaded library as the function type it has.
template <typename Fn>
Fn Entry(HMODULE module, LPCWSTR name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddressW(module, name))) : nullptr;
}

DecompressImageFn PlainEntry(Binding& b) {
  if (!b.triedImgdecmp) {
    b.triedImgdecmp = true;
    b.imgdecmp = LoadLibraryW(u"imgdecmp.dll");
  }
  return Entry<DecompressImageFn>(b.imgdecmp, u"DecompressImageIndirect");
}

DWORD MajorVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) ? version.dwMajorVersion : 0;
}

}  // namespace

bool BindImageDecoder(DecompressImageFn* decompress, DecompressImage2Fn* decompress2) {
  if (decompress) *decompress = nullptr;
  if (decompress2) *decompress2 = nullptr;
  Binding& b = Bound();
  std::lock_guard<std::mutex> hold(b.lock);
  const DWORD major = MajorVersion();
  if (major >= 4) {
    if (!b.triedCmgdecmp) {
      b.triedCmgdecmp = true;
      b.cmgdecmp = LoadLibraryW(u"cmgdecmp.dll");
    }
    DecompressImage2Fn entry = nullptr;
    if (b.cmgdecmp) {
      entry = Entry<DecompressImage2Fn>(b.cmgdecmp, u"DecompressImageIndirect2");
    } else if (major >= 5) {
      entry = DecompressImageIndirect2;
    }
    if (entry) {
      if (decompress2) *decompress2 = entry;
      return true;
    }
  }
  DecompressImageFn plain = PlainEntry(b);
  if (decompress) *decompress = plain;
  return plain != nullptr;
}

void ReleaseImageDecoders() {
  Binding& b = Bound();
  std::lock_guard<std::mutex> hold(b.lock);
  if (b.imgdecmp) FreeLibrary(b.imgdecmp);
  if (b.cmgdecmp) FreeLibrary(b.cmgdecmp);
  b.imgdecmp = b.cmgdecmp = nullptr;
  b.triedImgdecmp = b.triedCmgdecmp = false;
}

HRESULT DecompressImageIndirect2(DecompressImageInfo2* record) {
  if (!record || record->dwSize != DECOMPRESS_IMAGE_INFO2_SIZE) return E_FAIL;
  DecompressImageInfo& info = record->info;
  if (info.phBM) *info.phBM = nullptr;
  DecompressImageFn plain;
  {
    Binding& b = Bound();
    std::lock_guard<std::mutex> hold(b.lock);
    plain = PlainEntry(b);
  }
  HRESULT hr = plain ? plain(&info) : E_FAIL;
  if (SUCCEEDED(hr) && (!info.phBM || *info.phBM)) {
    record->dwFlags |= DECOMPRESS2_FLAG_DONE;
    return hr;
  }
  // Nothing came out: the variant-2 library, where one has appeared since, gets one try.
  if (HMODULE other = LoadLibraryW(u"cmgdecmp.dll")) {
    auto entry = Entry<DecompressImage2Fn>(other, u"DecompressImageIndirect2");
    if (entry) hr = entry(record);
    FreeLibrary(other);
  }
  return SUCCEEDED(hr) && info.phBM && !*info.phBM ? E_FAIL : hr;
}
