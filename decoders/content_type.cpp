// GetContentTypeFromRegistry: audio, video, image or playlist for a path, from the registry's
// file types first and then from the extensions the player knows. Extensions compare whole.
#include <cstring>

#include "mp3_decoder.h"
#include "tagids.h"

namespace {

constexpr GUID kAudio = {0xD21EF878, 0x87BC, 0x4277, {0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9}};
constexpr GUID kVideo = {0x35B405E5, 0x6DB6, 0x457E, {0xB7, 0x9F, 0xBB, 0x24, 0xEE, 0xC5, 0xC9, 0xF4}};
constexpr GUID kImage = {0x5BB20836, 0xDC29, 0x4391, {0xB0, 0x36, 0x41, 0x7F, 0x56, 0xD7, 0xF3, 0xC7}};
constexpr GUID kUnclassified = {0x647CDAF5, 0xCD5E, 0x4BE1, {0xBC, 0x86, 0xF3, 0x74, 0x95, 0x3C, 0x66, 0x6E}};
constexpr GUID kPlaylist = {0xF1BCF888, 0x07D3, 0x404D, {0xBC, 0xDE, 0x4F, 0x9F, 0xAD, 0x68, 0x42, 0x4C}};

struct ExtensionType {
  const char16_t* extension;
  const GUID* type;
};

constexpr ExtensionType kExtensions[] = {
    {u".m3u", &kPlaylist}, {u".m3u8", &kPlaylist}, {u".pls", &kPlaylist}, {u".pspl", &kPlaylist},
    {u".plt", &kPlaylist}, {u".asx", &kPlaylist}, {u".wmwebasx", &kPlaylist}, {u".lst", &kPlaylist},
    {u".avi", &kVideo},    {u".mpg", &kVideo},    {u".mov", &kVideo},    {u".m4v", &kVideo},
    {u".mpeg", &kVideo},   {u".jpg", &kImage},    {u".jpeg", &kImage},   {u".gif", &kImage},
    {u".bmp", &kImage},    {u".tif", &kImage},    {u".png", &kImage},    {u".m4a", &kAudio},
};

const GUID* TypeFromText(const WCHAR* text, size_t compare) {
  const struct {
    const char16_t* name;
    const GUID* type;
  } kNames[] = {{u"image", &kImage}, {u"audio", &kAudio}, {u"video", &kVideo}};
  for (const auto& n : kNames) {
    const size_t length = compare ? compare - 1 : wcslen(n.name) + 1;
    if (_wcsnicmp(text, n.name, length) == 0 && (compare || text[length - 1] == 0)) return n.type;
  }
  return nullptr;
}

const GUID* TypeFromRegistry(const WCHAR* extension) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, extension, 0, 0, &key) != ERROR_SUCCESS) return nullptr;
  WCHAR value[64] = {};
  DWORD size = sizeof value - sizeof(WCHAR);
  const GUID* type = nullptr;
  if (RegQueryValueExW(key, u"PerceivedType", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
    type = TypeFromText(value, 0);
  } else {
    size = sizeof value - sizeof(WCHAR);
    std::memset(value, 0, sizeof value);
    // "audio/", "video/", "image/": the first six characters decide.
    if (RegQueryValueExW(key, u"Content Type", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        value[5] == u'/')
      type = TypeFromText(value, 6);
  }
  RegCloseKey(key);
  return type;
}

}  // namespace

int GetContentTypeFromRegistry(InputSource*, LPCWSTR path, GUID* type, GUID*) {
  if (type) *type = kUnclassified;
  const WCHAR* dot = path ? wcsrchr(path, u'.') : nullptr;
  if (!dot || !type) return 0;
  if (const GUID* found = TypeFromRegistry(dot)) {
    *type = *found;
    return 1;
  }
  for (const ExtensionType& e : kExtensions) {
    if (_wcsicmp(dot, e.extension) == 0) {
      *type = *e.type;
      return 1;
    }
  }
  return 0;
}
