// CPlaylist::LoadFile: a playlist file, or a text fetched from a URL, appended to the list. The
// layout and encoding come from the endings or the text (playlist_file_format.h); the line
// layouts are read here, PLT, feed documents and single lines by their neighbours.
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "core/settings/settings.h"
#include "core/common/text_search.h"
#include "feeds/feed_document.h"
#include "path_helpers.h"
#include "playlist.h"
#include "settingsui/text_file.h"

namespace {

// Paths that are one stream entry themselves, not a file to read.
constexpr std::u16string_view kStreamPrefixes[] = {u"http://", u"mms://", u"rtsp://"};
constexpr size_t kShortestName = 6;

int DefaultEncoding() {
  CSettings* settings = GetSettings();
  return settings ? static_cast<int>(settings->playlistDefEncoding) : 0;
}

bool ReadText(LPCWSTR path, int encoding, std::u16string& text) {
  std::unique_ptr<WCHAR, decltype(&std::free)> read(ReadTextFile(path, encoding), &std::free);
  if (!read) return false;
  text = read.get();
  return true;
}

// Calls `line` with each run between carriage returns and line feeds, empty runs left out, until
// it answers false.
template <class Line>
void ForEachLine(std::u16string_view text, Line line) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    if (end > start && !line(text.substr(start, end - start))) return;
    start = end + 1;
  }
}

}  // namespace

int CPlaylist::LoadFile(LPCWSTR path, LPCWSTR sourceName) {
  // The views see one batch, however the reading ends.
  struct BatchFrame {
    CPlaylist& playlist;
    explicit BatchFrame(CPlaylist& p) : playlist(p) { playlist.Notify(PLM_BATCH, 0, 0); }
    ~BatchFrame() { playlist.Notify(PLM_BATCH, 1, 0); }
  } frame(*this);
  return ReadPlaylistFile(path, sourceName ? sourceName : path);
}

int CPlaylist::ReadPlaylistFile(LPCWSTR path, LPCWSTR sourceName) {
  if (!path || !*path) return -1;
  if (IsDirectory(path)) return AddFolder(path, 0, -1, nullptr, 0);
  for (std::u16string_view prefix : kStreamPrefixes) {
    if (_wcsnicmp(path, prefix.data(), prefix.size()) == 0) return InsertItem(path, -1, nullptr, -2);
  }
  if (wcslen(path) < kShortestName || wcslen(sourceName) < kShortestName) return -1;

  const int defaultEncoding = DefaultEncoding();
  PlaylistFileKind kind = PlaylistKindFromEndings(path, sourceName, defaultEncoding);
  // A PLT is binary: it is read as bytes alone, since decoding it as text could only fail it.
  if (kind.format == PLAYLIST_FORMAT_PLT) return ReadPltFile(path);
  std::u16string text;
  if (!ReadText(path, defaultEncoding, text)) return -1;
  if (kind.format == PLAYLIST_FORMAT_ASX && AsxDeclaresUtf8(text.c_str())) kind.encoding = kEncodingUtf8;
  if (kind.format == PLAYLIST_FORMAT_NONE) {
    kind.format = PlaylistFormatFromText(text);
    if (kind.format == PLAYLIST_FORMAT_XML) kind.encoding = kEncoding1252;
  }
  if (kind.encoding != defaultEncoding && !ReadText(path, kind.encoding, text)) return -1;

  // The entries of a downloaded list lie beside it on its server, not beside the temporary file.
  const LPCWSTR base = IsUrlPath(sourceName) ? sourceName : path;
  int first = -1;
  switch (kind.format) {
    case PLAYLIST_FORMAT_XML:
      // A feed document names its own encoding; the reader's is only the fallback.
      if (!ReadFeedDocument(path, kind.encoding, text)) return -1;
      return ReadFeed(text, sourceName, first) ? first : -1;
    case PLAYLIST_FORMAT_ASX:
      // The XML reader first; a text it refuses is read line by line, as written.
      SplitOneLineAsx(text);
      if (ReadFeed(EscapeBareAmpersands(text), sourceName, first)) return first;
      return ReadTextLines(text, base, PLAYLIST_FORMAT_ASX);
    default:
      return ReadTextLines(text, base, kind.format);
  }
}

int CPlaylist::ReadTextLines(const std::u16string& text, LPCWSTR base, int format) {
  SetBatching(TRUE);
  int first = -1;
  int last = -1;  // the entry a PLS title or length belongs to
  bool pending = false;  // M3U: an "#EXTINF:" waits for its entry
  std::u16string pendingTitle;
  int pendingLength = -2;
  bool entryOpen = false;  // ASX: an <ENTRY> still takes a reference
  WCHAR line[kPlaylistLineChars];
  auto append = [&](LPCWSTR title, int length) {
    const int index = InsertItem(line, -1, title, length);
    if (index < 0) return;
    if (first < 0) first = index;
    last = index;
  };

  ForEachLine(text, [&](std::u16string_view raw) {
    if (raw.size() >= static_cast<size_t>(kPlaylistLineChars)) return false;
    raw.copy(line, raw.size());
    line[raw.size()] = 0;
    if (format == PLAYLIST_FORMAT_ASX && WStrFindNoCase(line, u"<ENTRY>")) entryOpen = true;
    int length = -2;
    const int result = ParseTextLine(base, line, format, &length);
    if (format == PLAYLIST_FORMAT_M3U) {
      if (result < 0) {
        pending = true;
        pendingTitle = line;
        pendingLength = length;
      } else if (result > 0) {
        append(pending ? pendingTitle.c_str() : nullptr, pending ? pendingLength : -2);
        pending = false;
      }
    } else if (format == PLAYLIST_FORMAT_PLS) {
      if (result > 0) {
        append(nullptr, -2);
      } else if (result < 0 && IsValid(last)) {
        PlaylistItem& item = items_[static_cast<size_t>(last)];
        if (length == -2) {
          item.title = line;
          if (item.length != -2) item.infoState = 0;
        } else {
          item.length = length;
          if (!item.title.empty()) item.infoState = 0;
        }
      }
    } else if (format == PLAYLIST_FORMAT_ASX && result > 0 && entryOpen) {
      // An entry takes its first reference that can play; every URL reference of it counts.
      const bool url = IsUrlPath(line);
      if (url || IsNetworkPath(line) || GetFileAttributesW(line) != INVALID_FILE_ATTRIBUTES) {
        append(nullptr, -2);
        entryOpen = url;
      }
    }
    return true;
  });
  SetBatching(FALSE);
  return first;
}
