// The shell's places and files: the special folders by their CSIDL numbers, the target of a
// shortcut file ("<length>#<target>"), file information with the system's icon lists (small and
// large glyphs drawn by the shell: folder, storage card, document, music, playlist, picture,
// video, program), and the user-interface metrics (the user's text size).
#include <algorithm>
#include <string>

#include "aygshell/shell_state.h"
#include "device/paths.h"
#include "device/text.h"
#include "gwes/ctl_common.h"

namespace zb::shell {
namespace {

struct Place {
  int csidl;
  const char16_t* path;
};

constexpr Place kPlaces[] = {
    {CSIDL_DESKTOP, u"\\Windows\\Desktop"},
    {CSIDL_DESKTOPDIRECTORY, u"\\Windows\\Desktop"},
    {CSIDL_PROGRAMS, u"\\Windows\\Start Menu\\Programs"},
    {CSIDL_PERSONAL, u"\\My Documents"},
    {CSIDL_FAVORITES, u"\\Windows\\Favorites"},
    {CSIDL_STARTUP, u"\\Windows\\StartUp"},
    {CSIDL_RECENT, u"\\Windows\\Recent"},
    {CSIDL_STARTMENU, u"\\Windows\\Start Menu"},
    {CSIDL_MYMUSIC, u"\\My Documents\\My Music"},
    {CSIDL_MYVIDEO, u"\\My Documents\\My Videos"},
    {CSIDL_MYPICTURES, u"\\My Documents\\My Pictures"},
    {CSIDL_FONTS, u"\\Windows\\Fonts"},
    {CSIDL_APPDATA, u"\\Application Data"},
    {CSIDL_WINDOWS, u"\\Windows"},
    {CSIDL_PROGRAM_FILES, u"\\Program Files"},
};

void MakeFolders(const std::u16string& path) {
  for (size_t at = path.find(u'\\', 1);; at = path.find(u'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    if (at == std::u16string::npos) break;
  }
}

// The glyphs of the system's icon lists, in list order.
enum Glyph { kFolder, kCard, kDocument, kMusic, kPlaylist, kPicture, kVideo, kProgram, kGlyphs };

Glyph GlyphFor(const std::u16string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    auto mount = zb::device::MountAt(zb::device::NormalizePath(path));
    return mount && mount->storageCard ? kCard : kFolder;
  }
  const size_t dot = path.find_last_of(u'.');
  const size_t slash = path.find_last_of(u"\\/");
  std::u16string ext;
  if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash)) ext = path.substr(dot + 1);
  for (char16_t& c : ext) c = ToLower(c);
  static const std::pair<const char16_t*, Glyph> kTypes[] = {
      {u"mp3", kMusic},    {u"wma", kMusic},    {u"ogg", kMusic},    {u"wav", kMusic},     {u"aac", kMusic},
      {u"m4a", kMusic},    {u"flac", kMusic},   {u"mpc", kMusic},    {u"m3u", kPlaylist},  {u"pls", kPlaylist},
      {u"asx", kPlaylist}, {u"wpl", kPlaylist}, {u"m3u8", kPlaylist}, {u"jpg", kPicture}, {u"jpeg", kPicture},
      {u"png", kPicture},  {u"bmp", kPicture},  {u"gif", kPicture},  {u"avi", kVideo},     {u"wmv", kVideo},
      {u"mp4", kVideo},    {u"exe", kProgram},  {u"lnk", kProgram},
  };
  for (const auto& [name, glyph] : kTypes)
    if (ext == name) return glyph;
  return kDocument;
}

// Draws glyph `g` in a size x size cell: flat shapes in the device's colours.
void DrawGlyph(HDC dc, Glyph g, int size) {
  auto px = [size](int at16) { return at16 * size / 16; };
  auto box = [&](int l, int t, int r, int b, COLORREF fill) {
    const RECT rect{px(l), px(t), px(r), px(b)};
    zb::wm::Fill(dc, rect, fill);
    zb::wm::Frame(dc, rect, RGB(0, 0, 0));
  };
  switch (g) {
    case kFolder:
      box(1, 3, 8, 6, RGB(240, 200, 80));
      box(1, 5, 15, 14, RGB(250, 215, 100));
      break;
    case kCard:
      box(3, 1, 13, 15, RGB(60, 90, 160));
      box(5, 2, 11, 6, RGB(230, 230, 230));
      break;
    case kProgram:
      box(1, 2, 15, 14, RGB(220, 220, 220));
      box(1, 2, 15, 5, RGB(0, 0, 128));
      break;
    default: {
      box(3, 1, 13, 15, RGB(255, 255, 255));
      const COLORREF mark = g == kMusic ? RGB(0, 128, 0) : g == kPlaylist ? RGB(128, 0, 128)
                          : g == kPicture ? RGB(200, 100, 0) : g == kVideo ? RGB(160, 0, 0) : RGB(128, 128, 128);
      if (g == kMusic) {
        zb::wm::Fill(dc, RECT{px(6), px(9), px(9), px(12)}, mark);
        zb::wm::Fill(dc, RECT{px(8), px(4), px(9), px(10)}, mark);
        zb::wm::Fill(dc, RECT{px(8), px(4), px(11), px(5)}, mark);
      } else if (g == kPlaylist) {
        for (int y : {4, 7, 10}) zb::wm::Fill(dc, RECT{px(5), px(y), px(11), px(y + 1)}, mark);
      } else if (g == kDocument) {
        for (int y : {4, 6, 8, 10}) zb::wm::Fill(dc, RECT{px(5), px(y), px(11), px(y) + 1}, mark);
      } else {
        zb::wm::Fill(dc, RECT{px(5), px(5), px(11), px(11)}, mark);
      }
      break;
    }
  }
}

// One of the system lists (small or large), made once per process.
HIMAGELIST SystemList(bool small) {
  static HIMAGELIST lists[2] = {nullptr, nullptr};
  HIMAGELIST& list = lists[small ? 0 : 1];
  if (list) return list;
  const int size = small ? GetSystemMetrics(SM_CXSMICON) : GetSystemMetrics(SM_CXICON);
  list = ImageList_Create(size, size, ILC_COLOR16 | ILC_MASK, kGlyphs, 4);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  for (int g = 0; g < kGlyphs; ++g) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bitmap);
    constexpr COLORREF kClear = RGB(255, 0, 255);
    zb::wm::Fill(dc, RECT{0, 0, size, size}, kClear);
    DrawGlyph(dc, static_cast<Glyph>(g), size);
    SelectObject(dc, old);
    ImageList_AddMasked(list, bitmap, kClear);
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

std::u16string TypeName(const std::u16string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return u"Folder";
  const size_t dot = path.find_last_of(u'.');
  const size_t slash = path.find_last_of(u"\\/");
  if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash)) return u"File";
  std::u16string ext = path.substr(dot + 1);
  for (char16_t& c : ext) c = ToUpper(c);
  return ext + u" File";
}

template <size_t N>
void CopyOut(WCHAR (&out)[N], const std::u16string& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::copy_n(text.data(), n, out);
  out[n] = 0;
}

}  // namespace
}  // namespace zb::shell

using namespace zb::shell;

extern "C" BOOL SHGetSpecialFolderPath(HWND, LPWSTR path, int folder, BOOL create) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (const Place& p : kPlaces) {
    if (p.csidl != (folder & 0xFF)) continue;
    const std::u16string place = p.path;
    if (create) MakeFolders(place);
    std::copy(place.begin(), place.end(), path);
    path[place.size()] = 0;
    return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// A shortcut file holds "<length>#<target>" (the target may be quoted and have arguments).
extern "C" BOOL SHGetShortcutTarget(LPCWSTR shortcut, LPWSTR target, int chars) {
  if (!shortcut || !target || chars <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HANDLE file = CreateFileW(shortcut, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  char bytes[1024] = {};
  DWORD read = 0;
  ReadFile(file, bytes, sizeof bytes - 1, &read, nullptr);
  CloseHandle(file);
  // The text is ANSI (as the device writes it) or UTF-16 with its byte-order mark.
  std::u16string text;
  if (read >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (DWORD i = 2; i + 1 < read; i += 2)
      text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  } else {
    text = zb::FromUtf8(std::string_view(bytes, read));
  }
  const size_t hash = text.find(u'#');
  if (hash == std::u16string::npos || hash == 0 || text.find_first_not_of(u"0123456789") != hash) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  std::u16string wide = text.substr(hash + 1);
  while (!wide.empty() && (wide.back() == u'\r' || wide.back() == u'\n' || wide.back() == 0)) wide.pop_back();
  const size_t n = std::min(wide.size(), static_cast<size_t>(chars) - 1);
  std::copy_n(wide.data(), n, target);
  target[n] = 0;
  return TRUE;
}

extern "C" DWORD_PTR SHGetFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFO* info, UINT size, UINT flags) {
  if (!path || (info && size < sizeof(SHFILEINFO))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string name = path;
  if (!(flags & SHGFI_USEFILEATTRIBUTES)) {
    if (name == u"\\" || name == u"/") {
      attributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
      const DWORD found = GetFileAttributesW(path);
      if (found == 0xFFFFFFFF) return 0;
      attributes = found;
    }
  }
  const bool small = (flags & SHGFI_SMALLICON) != 0;
  HIMAGELIST list = SystemList(small);
  const int glyph = GlyphFor(name, attributes);
  if (info) {
    info->iIcon = glyph;
    info->hIcon = nullptr;
    if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = attributes;
    if (flags & SHGFI_DISPLAYNAME) {
      const size_t slash = name.find_last_of(u"\\/");
      std::u16string display = slash == std::u16string::npos ? name : name.substr(slash + 1);
      if (display.empty()) display = u"My Device";
      CopyOut(info->szDisplayName, display);
    }
    if (flags & SHGFI_TYPENAME) CopyOut(info->szTypeName, TypeName(name, attributes));
  }
  if (flags & SHGFI_SYSICONINDEX) return reinterpret_cast<DWORD_PTR>(list);
  return TRUE;
}

// The user's text size: "ControlPanel\Appearance" "FontSize" in points (9 when unset).
extern "C" HRESULT SHGetUIMetrics(SHUIMETRIC metric, PVOID data, DWORD size, DWORD* needed) {
  if (needed) *needed = sizeof(DWORD);
  if (metric != SHUIM_FONTSIZE_POINT && metric != SHUIM_FONTSIZE_PIXEL && metric != SHUIM_FONTSIZE_PERCENTAGE)
    return E_INVALIDARG;
  if (!data || size < sizeof(DWORD)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  DWORD points = 9;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, u"ControlPanel\\Appearance", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD value = 0, type = 0, bytes = sizeof value;
    if (RegQueryValueExW(key, u"FontSize", nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) == ERROR_SUCCESS &&
        type == REG_DWORD && value > 0) {
      points = value;
    }
    RegCloseKey(key);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  DWORD value = points;
  if (metric == SHUIM_FONTSIZE_PIXEL) value = static_cast<DWORD>((points * dpi + 36) / 72);
  if (metric == SHUIM_FONTSIZE_PERCENTAGE) value = points * 100 / 9;
  *static_cast<DWORD*>(data) = value;
  return S_OK;
}
