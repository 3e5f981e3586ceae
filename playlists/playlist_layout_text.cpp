// The texts of the playlist layouts as the writer puts them in a file. Every entry is written so
// that the reader finds the same entry again: an entry is made relative to the playlist's folder
// only where it resolves back to itself, a line break inside a title or path cannot start a line
// of its own, and ASX attribute values are escaped.
#include <string>
#include <string_view>

#include "path_helpers.h"
#include "playlist_file_format.h"
#include "playlist_file_writer.h"

namespace {

constexpr int kUnknownLength = -2;

// Seconds in the file: -1 stays -1, other lengths are cut to whole seconds.
int LengthSeconds(LONG lengthMs) { return lengthMs == -1 ? -1 : static_cast<int>(lengthMs / 1000); }

std::u16string Number(int value) {
  WCHAR text[16];
  wsprintfW(text, u"%d", value);
  return text;
}

// A text on one line: line breaks and the other control characters would split the entry or
// start a line the reader takes for another key.
std::u16string OneLine(std::u16string_view text) {
  std::u16string line(text);
  for (char16_t& c : line) c = c < u' ' ? u' ' : c;
  return line;
}

// The playlist's folder with its closing backslash ("" when the name has none).
std::u16string FolderOf(LPCWSTR path) {
  const std::u16string_view name = path ? path : u"";
  const size_t slash = name.rfind(u'\\');
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(0, slash + 1));
}

// Whether the reader, joining `written` to the folder, arrives at `path` again.
bool ResolvesTo(const std::u16string& folder, const std::u16string& written, const std::u16string& path) {
  if (written.empty() || written[0] == u'\\' || written[0] == u'#' || IsUrlPath(written)) return false;
  WCHAR resolved[MAX_PATH];
  return CombinePath(resolved, folder.c_str(), written.c_str()) && _wcsicmp(resolved, path.c_str()) == 0;
}

// PLS, M3U and the plain list: an entry below the playlist's folder without that folder.
std::u16string BelowFolder(const std::u16string& folder, const std::u16string& path) {
  if (folder.empty() || path.size() <= folder.size() || _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) != 0)
    return path;
  const std::u16string rest = path.substr(folder.size());
  return ResolvesTo(folder, rest, path) ? rest : path;
}

// ASX: the way from the playlist's folder to the entry, "..\" included.
std::u16string RelativeTo(LPCWSTR playlistPath, const std::u16string& folder, const std::u16string& path) {
  WCHAR relative[MAX_PATH];
  if (IsUrlPath(path) || !RelativePathTo(relative, playlistPath, 0, path.c_str())) return path;
  const std::u16string written = relative;
  return ResolvesTo(folder, written, path) ? written : path;
}

// An attribute value in double quotes.
std::u16string XmlEscaped(std::u16string_view text) {
  std::u16string escaped;
  escaped.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'&': escaped += u"&amp;"; break;
      case u'<': escaped += u"&lt;"; break;
      case u'>': escaped += u"&gt;"; break;
      case u'"': escaped += u"&quot;"; break;
      case u'\'': escaped += u"&apos;"; break;
      default:
        if (c < u' ') {
          WCHAR reference[8];
          wsprintfW(reference, u"&#%d;", static_cast<int>(c));
          escaped += reference;
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

void AppendPls(std::u16string& text, const std::u16string& folder, std::span<const PlaylistItem> entries) {
  text += u"[playlist]\r\n";
  int n = 0;
  for (const PlaylistItem& entry : entries) {
    const std::u16string number = Number(++n);
    text += u"File" + number + u"=" + OneLine(BelowFolder(folder, entry.path)) + u"\r\n";
    if (!entry.title.empty()) text += u"Title" + number + u"=" + OneLine(entry.title) + u"\r\n";
    if (entry.length != kUnknownLength) text += u"Length" + number + u"=" + Number(LengthSeconds(entry.length)) + u"\r\n";
  }
}

void AppendM3u(std::u16string& text, const std::u16string& folder, std::span<const PlaylistItem> entries) {
  text += u"#EXTM3U\r\n";
  for (const PlaylistItem& entry : entries) {
    if (entry.length != kUnknownLength || !entry.title.empty()) {
      text += u"#EXTINF:";
      if (entry.length != kUnknownLength) text += Number(LengthSeconds(entry.length)) + u",";
      text += OneLine(entry.title) + u"\r\n";
    }
    text += OneLine(BelowFolder(folder, entry.path)) + u"\r\n";
  }
}

void AppendList(std::u16string& text, const std::u16string& folder, std::span<const PlaylistItem> entries) {
  for (const PlaylistItem& entry : entries) text += OneLine(BelowFolder(folder, entry.path)) + u"\r\n";
}

void AppendAsx(std::u16string& text, LPCWSTR path, const std::u16string& folder, std::span<const PlaylistItem> entries) {
  text += u"<ASX VERSION=\"3.0\">\r\n<Param Name=\"encoding\" Value=\"UTF-8\"/>\r\n\r\n";
  for (const PlaylistItem& entry : entries)
    text += u"<ENTRY><REF HREF=\"" + XmlEscaped(RelativeTo(path, folder, entry.path)) + u"\" /></ENTRY>\r\n";
  text += u"</ASX>\r\n";
}

}  // namespace

std::u16string BuildPlaylistText(int layout, LPCWSTR path, std::span<const PlaylistItem> entries) {
  const std::u16string folder = FolderOf(path);
  std::u16string text;
  switch (layout) {
    case PLAYLIST_TEXT_PLS: AppendPls(text, folder, entries); break;
    case PLAYLIST_TEXT_M3U: AppendM3u(text, folder, entries); break;
    case PLAYLIST_TEXT_ASX: AppendAsx(text, path, folder, entries); break;
    case PLAYLIST_TEXT_LIST: AppendList(text, folder, entries); break;
    default: break;
  }
  return text;
}
