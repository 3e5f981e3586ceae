// The skin-file table, walked by both lookups so that they cannot disagree.
#include "skin/skin_file_types.h"

namespace {

constexpr struct {
  const WCHAR* extension;
  int type;
} kSkinFiles[kSkinFileExtensionCount] = {
    {u".zsz", 1},
    {u".wsz", 1},
    {u".skn", 2},
};

}  // namespace

int GetSkinFileExtension(int i, WCHAR* out) {
  if (i < 0 || i >= kSkinFileExtensionCount || !out) return 0;
  wcscpy(out, kSkinFiles[i].extension);
  return 1;
}

int GetSkinFileType(const WCHAR* path) {
  if (!path || !*path) return 0;
  const WCHAR* dot = wcsrchr(path, u'.');
  if (!dot) return 0;
  for (const auto& entry : kSkinFiles) {
    if (_wcsicmp(dot, entry.extension) == 0) return entry.type;
  }
  return 0;
}
