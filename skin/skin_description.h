// Sectioned skin descriptions (".skn"): a text of [sections] that names bitmaps lying beside it
// and places buttons, track bars, text fields, a rating strip and a scrolling title on them. The
// importer turns each line into the UICache entries and elements a skin script would make, under
// the element names the player looks for; an information-only pass gives the skin chooser the
// screen size and preview image without building anything.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "skin/skin_script.h"

// Case-insensitive order of bitmap names.
struct SkinNameLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const { return _wcsicmp(a.c_str(), b.c_str()) < 0; }
};

struct SkinDescriptionContext {
  SkinParseContext parse;  // error text and the skin being built (none in information-only mode)
  std::u16string folder;   // the description's folder, without the final '\'
  std::u16string section;
  bool infoOnly = false;
  bool done = false;
  bool headerSeen = false;
  bool previewFound = false;
  std::u16string preview;  // the file named by the Background bitmap
  bool sizeFound = false;
  int width = 0, height = 0;
  bool version = false;
  int nextBitmapId = 101;
  int nextOtherId = 1001;
  int backgroundId = 0;
  std::map<std::u16string, int, SkinNameLess> bitmapIds;
  std::map<int, std::pair<int, int>> offsets;  // per bitmap id, the offset of its source points
};

// Builds the skin from the description at path: 1 when the file was read.
int ImportSkinDescriptionFile(CSkin* skin, LPCWSTR path, std::vector<std::u16string>* messages = nullptr);
// Reads only what the skin chooser needs: 1 when the file was read. baseName (260) is the file
// name, platform (260) the device's own platform type; size and previewImage (260, a full path)
// are filled only when found.
int ReadSkinDescriptionInfo(LPCWSTR path, WCHAR* baseName, SIZE* size, WCHAR* platform, WCHAR* previewImage);
// One line (comments already cut, trimmed): 1, or 0 with the error text in the context.
int ImportSkinDescription(SkinDescriptionContext* context, LPCWSTR line);
