// WritePlaylistFile and CPlaylist::SaveFile: the layout and encoding by the name's ending, the
// text in the chosen code page (or UTF-16 with its mark where that page would lose characters),
// the binary PLT, and a whole-file replacement that keeps the earlier file when a write fails.
#include <string>
#include <string_view>
#include <vector>

#include "core/common/codepage_convert.h"
#include "core/common/file_replace.h"
#include "core/settings/settings.h"
#include "playlist.h"
#include "playlist_file_format.h"
#include "playlist_file_writer.h"
#include "settingsui/text_file.h"

namespace {

constexpr size_t kShortestName = 5;
constexpr int kEncodingUtf16 = -3;
constexpr int kDefaultEncoding = 1;  // stands for playlistDefEncoding in the table
constexpr int kLayoutPlt = -1;

// Walked in order, the first match deciding. `longerThan`: the shortest name it applies to.
constexpr struct {
  const char16_t* ending;
  size_t longerThan;
  int layout;
  int encoding;
} kWritable[] = {
    {u".pls", 0, PLAYLIST_TEXT_PLS, kDefaultEncoding},
    {u".dat", 0, PLAYLIST_TEXT_PLS, kEncodingUtf8},  // the program's own lists
    {u".m3u", 0, PLAYLIST_TEXT_M3U, kDefaultEncoding},
    {u".m3u8", 0, PLAYLIST_TEXT_M3U, kEncodingUtf8},
    {u".asx", 0, PLAYLIST_TEXT_ASX, kEncodingUtf8},
    {u".wmwebasx", 9, PLAYLIST_TEXT_ASX, kEncodingUtf8},
    {u".lst", 0, PLAYLIST_TEXT_LIST, kDefaultEncoding},
    {u".plt", 0, kLayoutPlt, 0},
};

bool EndsWithNoCase(std::u16string_view text, std::u16string_view ending) {
  return text.size() >= ending.size() &&
         _wcsnicmp(text.data() + text.size() - ending.size(), ending.data(), ending.size()) == 0;
}

// The rule of a name's ending, or null for a name the writer gives ".m3u".
const auto* FindRule(std::u16string_view name) {
  for (const auto& rule : kWritable) {
    if (name.size() > rule.longerThan && EndsWithNoCase(name, rule.ending)) return &rule;
  }
  return static_cast<decltype(&kWritable[0])>(nullptr);
}

int DefaultEncoding() {
  CSettings* settings = GetSettings();
  return settings ? static_cast<int>(settings->playlistDefEncoding) : 0;
}

// The code a text goes out in: the one asked for, unless that code page would put stand-ins
// for some of its characters. UTF-16 then keeps every one, and its mark tells the reader.
int LosslessEncoding(const std::u16string& text, int encoding) {
  const UINT codePage = CodePageFromId(encoding);
  if (encoding == kEncodingUtf16 || codePage == CP_UTF8 || text.empty()) return encoding;
  BOOL lossy = FALSE;
  const int size = WideToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
  return size > 0 && !lossy ? encoding : kEncodingUtf16;
}

void PutUnit(std::vector<BYTE>& out, size_t at, WCHAR c) {
  out[at] = static_cast<BYTE>(c & 0xFF);
  out[at + 1] = static_cast<BYTE>(c >> 8);
}

// The PLT image: header, count and one zero-padded record per entry. A path that does not fit
// its record is left out rather than cut into the name of some other file.
std::vector<BYTE> PltImage(std::span<const PlaylistItem> entries) {
  std::vector<const PlaylistItem*> fitting;
  for (const PlaylistItem& entry : entries) {
    if (entry.path.size() < kPltRecordChars) fitting.push_back(&entry);
  }
  std::vector<BYTE> image(kPltFirstRecord + kPltRecordBytes * fitting.size(), 0);
  for (size_t i = 0; i < kPltHeaderChars; ++i) PutUnit(image, i * 2, kPltHeader[i]);
  const DWORD count = static_cast<DWORD>(fitting.size());
  for (int shift = 0; shift < 32; shift += 8) image[kPltCountOffset + shift / 8] = static_cast<BYTE>(count >> shift);
  for (size_t n = 0; n < fitting.size(); ++n) {
    const std::u16string& path = fitting[n]->path;
    for (size_t i = 0; i < path.size(); ++i) PutUnit(image, kPltFirstRecord + n * kPltRecordBytes + i * 2, path[i]);
  }
  return image;
}

int Report(LPCWSTR path, BOOL written) {
  if (written) return 1;
  const DWORD error = GetLastError();
  WCHAR line[MAX_PATH + 64];
  wsprintfW(line, u"Playlist not saved (error %u): %.260s\r\n", static_cast<unsigned>(error), path);
  OutputDebugStringW(line);
  SetLastError(error);
  return 0;
}

}  // namespace

bool IsWritablePlaylistName(LPCWSTR path) {
  return path && wcslen(path) >= kShortestName && !EndsWithNoCase(path, u".pspl");
}

std::u16string WrittenPlaylistName(LPCWSTR path) {
  const std::u16string name = path ? path : u"";
  return FindRule(name) ? name : name + u".m3u";
}

int WritePlaylistFile(LPCWSTR path, std::span<const PlaylistItem> entries) {
  if (!IsWritablePlaylistName(path)) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  const std::u16string name = WrittenPlaylistName(path);
  const auto* rule = FindRule(name);
  if (rule->layout == kLayoutPlt) {
    const std::vector<BYTE> image = PltImage(entries);
    return Report(name.c_str(), ReplaceFileContents(name.c_str(), image.data(), static_cast<DWORD>(image.size())));
  }
  const std::u16string text = BuildPlaylistText(rule->layout, name.c_str(), entries);
  const int encoding = rule->encoding == kDefaultEncoding ? DefaultEncoding() : rule->encoding;
  return Report(name.c_str(), WriteTextFile(name.c_str(), text.c_str(), LosslessEncoding(text, encoding)));
}

int CPlaylist::SaveFile(LPCWSTR path) { return WritePlaylistFile(path, items_); }
