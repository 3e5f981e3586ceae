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

int BuildSkinFileMask(int i, WCHAR* out) {
  if (!out) return 0;
  out[0] = 0;
  if (i < -1 || i >= kSkinFileExtensionCount) return 0;
  for (int row = i < 0 ? 0 : i; row < (i < 0 ? kSkinFileExtensionCount : i + 1); ++row) {
    if (out[0]) wcscat(out, u";");
    wcscat(out, u"*");
    wcscat(out, kSkinFiles[row].extension);
  }
  return 1;
}
