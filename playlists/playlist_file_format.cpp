// The layout of a playlist file: its ending decides first, the ending of the name it was found
// under too for a text fetched from a URL (the path is then a temporary file); a text no ending
// decides is known by how it begins.
#include "playlist_file_format.h"

#include <cwctype>

namespace {

// Walked in order, a later match overriding an earlier one. `sourceToo`: the ending may stand
// on the source name instead of the path; `longerThan`: the shortest name it applies to.
constexpr struct {
  const char16_t* ending;
  bool sourceToo;
  size_t longerThan;
  int format;
  bool utf8;
} kEndings[] = {
    {u".pls", false, 0, PLAYLIST_FORMAT_PLS, false},
    {u".m3u", true, 0, PLAYLIST_FORMAT_M3U, false},
    {u".m3u8", true, 0, PLAYLIST_FORMAT_M3U, true},
    {u".lst", false, 0, PLAYLIST_FORMAT_M3U, false},
    {u".php", false, 0, PLAYLIST_FORMAT_M3U, false},
    {u".dat", false, 0, PLAYLIST_FORMAT_PLS, true},  // the program's own lists
    {u".pspl", false, 0, PLAYLIST_FORMAT_XML, false},
    {u".plt", false, 0, PLAYLIST_FORMAT_PLT, false},
    {u".asx", true, 0, PLAYLIST_FORMAT_ASX, false},
    {u".wmwebasx", true, 9, PLAYLIST_FORMAT_ASX, false},
};

bool EndsWithNoCase(std::u16string_view text, std::u16string_view ending, size_t longerThan) {
  return text.size() > longerThan && text.size() >= ending.size() &&
         _wcsnicmp(text.data() + text.size() - ending.size(), ending.data(), ending.size()) == 0;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && _wcsnicmp(text.data(), prefix.data(), prefix.size()) == 0;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool IsSchemeChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+' ||
         c == u'-' || c == u'.';
}

}  // namespace

PlaylistFileKind PlaylistKindFromEndings(LPCWSTR path, LPCWSTR sourceName, int defaultEncoding) {
  PlaylistFileKind kind{PLAYLIST_FORMAT_NONE, defaultEncoding};
  const std::u16string_view file = path ? path : u"";
  const std::u16string_view source = sourceName ? sourceName : u"";
  for (const auto& rule : kEndings) {
    if (!EndsWithNoCase(file, rule.ending, rule.longerThan) &&
        !(rule.sourceToo && EndsWithNoCase(source, rule.ending, rule.longerThan)))
      continue;
    kind.format = rule.format;
    if (rule.utf8) kind.encoding = kEncodingUtf8;
  }
  return kind;
}

int PlaylistFormatFromText(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  text.remove_prefix(start);
  // Playlist scripts that answer with HTML line breaks around a PLS.
  if (StartsWithNoCase(text, u"<br") && text.find(u"[playlist]") != std::u16string_view::npos) return PLAYLIST_FORMAT_PLS;
  if (StartsWithNoCase(text, u"<")) return PLAYLIST_FORMAT_XML;
  if (StartsWithNoCase(text, u"[")) return PLAYLIST_FORMAT_PLS;
  return PLAYLIST_FORMAT_M3U;
}

bool IsUrlPath(std::u16string_view path) {
  const size_t mark = path.find(u"://");
  if (mark == 0 || mark == std::u16string_view::npos) return false;
  for (size_t i = 0; i < mark; ++i) {
    if (!IsSchemeChar(path[i])) return false;
  }
  return true;
}
