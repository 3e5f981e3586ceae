// Skin choice by variant: the first variant of exactly the screen's size wins, else the last one
// of the screen's aspect. A stored skin of another platform does not count as already found, so
// its variant for this platform is still looked for.
#include "skin/skin_choice.h"

#include "skin/skin_description.h"
#include "skin/skin_file_types.h"
#include "skin/skin_package.h"

namespace {

void CopyPath(LPCWSTR from, WCHAR* out) {
  wcsncpy(out, from, MAX_PATH - 1);
  out[MAX_PATH - 1] = 0;
}

bool ExactSize(const SIZE& size, int width, int height) { return size.cx == width && size.cy == height; }

}  // namespace

int FindSkinVariantForScreen(LPCWSTR storedSkin, int width, int height, const std::vector<std::u16string>& found,
                             LPCWSTR lastApplied, WCHAR* out) {
  if (!out || width <= 0 || height <= 0) return 0;
  out[0] = 0;
  SkinVariant stored{};
  std::u16string candidate;
  SIZE best{1, 1};
  if (storedSkin) {
    if (!*storedSkin || GetFileAttributesW(storedSkin) == INVALID_FILE_ATTRIBUTES) return 0;
    if (!ReadSkinVariant(storedSkin, &stored) && IsSmartphoneDevice()) return 0;
    best = stored.size;
    if (SkinPlatformMatches(stored.platform)) candidate = storedSkin;
  }
  for (const std::u16string& file : found) {
    SkinVariant v{};
    if (!ReadSkinVariant(file.c_str(), &v)) continue;
    if (storedSkin && _wcsicmp(v.baseName, stored.baseName)) continue;
    if (!SkinPlatformMatches(v.platform)) continue;
    if (!candidate.empty() && ExactSize(best, width, height)) continue;
    if (ExactSize(v.size, width, height) || v.size.cx == v.size.cy * width / height) {
      candidate = file;
      best = v.size;
    }
  }
  if (candidate.empty() || (lastApplied && !_wcsicmp(candidate.c_str(), lastApplied))) return 0;
  CopyPath(candidate.c_str(), out);
  return 1;
}

int LoadSkinPreview(LPCWSTR skinFile, WCHAR* imagePath, BOOL* isTemporary) {
  if (isTemporary) *isTemporary = FALSE;
  if (!imagePath) return 0;
  imagePath[0] = 0;
  if (skinFile && GetSkinFileType(skinFile) == 2) {
    SIZE size{};
    return ReadSkinDescriptionInfo(skinFile, nullptr, &size, nullptr, imagePath) && imagePath[0] ? 1 : 0;
  }
  if (!skinFile || GetSkinFileType(skinFile) != 1) return 0;
  for (LPCWSTR name : {u"preview.jpg", u"preview.gif", u"preview.png", u"main.bmp"}) {
    BOOL temporary = FALSE;
    if (ExtractSkinEntry(skinFile, name, imagePath, &temporary)) {
      if (isTemporary) *isTemporary = temporary;
      return 1;
    }
  }
  imagePath[0] = 0;
  return 0;
}
