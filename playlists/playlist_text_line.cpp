// One line of a line-format playlist (PLS, M3U, an ASX line, a PLT record) and where the entry
// it names lies: relative entries join the folder of the playlist, and those of a list fetched
// from a URL join the URL, since the temporary file it was read from says nothing about them.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "core/common/text_search.h"
#include "path_helpers.h"
#include "playlist.h"
#include "playlist_file_format.h"
#include "xml_pull_tokenizer.h"

namespace {

enum PlsKey { kPlsEntry, kPlsTitle, kPlsLength };

// The keys by their first letters: the number behind them is not read.
constexpr struct {
  const char16_t* prefix;
  PlsKey key;
} kPlsKeys[] = {{u"File", kPlsEntry}, {u"Title", kPlsTitle}, {u"Lengt", kPlsLength}};

constexpr std::u16string_view kExtInf = u"#EXTINF:";

bool IsBlank(WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view TrimLeading(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::u16string_view TrimTrailing(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && _wcsnicmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// Puts the text into the line buffer; the text may lie inside it.
void Store(LPWSTR line, std::u16string_view text) {
  const size_t count = std::min(text.size(), static_cast<size_t>(kPlaylistLineChars - 1));
  std::memmove(line, text.data(), count * sizeof(WCHAR));
  line[count] = 0;
}

int Nothing(LPWSTR line) {
  line[0] = 0;
  return 0;
}

// A leading signed decimal number, blanks before it allowed; `end` is where it stops.
bool ReadNumber(std::u16string_view text, long long& value, size_t& end) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
  const size_t digits = i;
  value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i] - u'0'), static_cast<long long>(INT_MAX));
  }
  end = i;
  if (negative) value = -value;
  return i > digits;
}

// Seconds in a playlist, milliseconds in the list: a negative time is "no length", and a time
// too long for the field is held at the longest it takes.
int SecondsToMs(long long seconds) {
  if (seconds < 0) return -1;
  return static_cast<int>(std::min(seconds * 1000, static_cast<long long>(INT_MAX)));
}

// A relative entry of a list fetched from `url`: beside the list on its server.
std::u16string JoinUrl(std::u16string_view url, std::u16string relative) {
  std::replace(relative.begin(), relative.end(), u'\\', u'/');
  const size_t hostStart = url.find(u"://") + 3;
  const size_t pathEnd = std::min(url.find_first_of(u"?#", hostStart), url.size());
  const size_t hostEnd = std::min(url.find(u'/', hostStart), pathEnd);
  if (relative.front() == u'/') return std::u16string(url.substr(0, hostEnd)) + relative;
  const size_t slash = url.substr(0, pathEnd).rfind(u'/');
  if (slash == std::u16string_view::npos || slash < hostEnd) return std::u16string(url.substr(0, hostEnd)) + u'/' + relative;
  return std::u16string(url.substr(0, slash + 1)) + relative;
}

// The entry in the buffer resolved in place; false when nothing is left or it does not fit.
bool ResolveEntryPath(LPCWSTR base, LPWSTR line) {
  Store(line, TrimTrailing(line));
  if (!line[0]) return false;
  if (IsUrlPath(line) || line[0] == u'\\') return true;
  const std::u16string_view from = base ? base : u"";
  if (IsUrlPath(from)) {
    const std::u16string joined = JoinUrl(from, line);
    if (joined.size() >= static_cast<size_t>(kPlaylistLineChars)) return false;
    Store(line, joined);
    return true;
  }
  const size_t slash = from.rfind(u'\\');
  const std::u16string folder(slash == std::u16string_view::npos ? std::u16string_view() : from.substr(0, slash + 1));
  WCHAR resolved[MAX_PATH];
  if (!CombinePath(resolved, folder.c_str(), line)) return false;
  Store(line, resolved);
  return true;
}

int ParsePlsLine(LPCWSTR base, LPWSTR line, int* length) {
  const std::u16string_view text = TrimLeading(line);
  const std::u16string_view trimmed = TrimTrailing(text);
  if (trimmed.size() >= 2 && trimmed.front() == u'[' && trimmed.back() == u']') return Nothing(line);
  const size_t equals = text.find(u'=');
  if (equals == std::u16string_view::npos) return Nothing(line);
  const std::u16string_view key = text.substr(0, equals);
  const std::u16string_view value = text.substr(equals + 1);
  for (const auto& rule : kPlsKeys) {
    if (!StartsWithNoCase(key, rule.prefix)) continue;
    switch (rule.key) {
      case kPlsEntry:
        Store(line, value);
        return ResolveEntryPath(base, line) ? 1 : Nothing(line);
      case kPlsTitle:
        Store(line, TrimTrailing(value));
        return -1;
      case kPlsLength: {
        long long seconds = 0;
        size_t end = 0;
        if (!ReadNumber(value, seconds, end)) return Nothing(line);
        *length = SecondsToMs(seconds);
        line[0] = 0;
        return -1;
      }
    }
  }
  return Nothing(line);
}

// "#EXTINF:" seconds "," title, or "#EXTINF:" title alone.
int ParseExtInf(LPWSTR line, int* length) {
  const std::u16string_view rest = std::u16string_view(line).substr(kExtInf.size());
  long long seconds = 0;
  size_t end = 0;
  if (ReadNumber(rest, seconds, end)) {
    const std::u16string_view after = TrimLeading(rest.substr(end));
    if (!after.empty() && after.front() == u',') {
      *length = SecondsToMs(seconds);
      Store(line, TrimTrailing(TrimLeading(after.substr(1))));
      return -1;
    }
  }
  Store(line, TrimTrailing(TrimLeading(rest)));
  return -1;
}

int ParseM3uLine(LPCWSTR base, LPWSTR line, int* length) {
  if (StartsWithNoCase(line, kExtInf)) return ParseExtInf(line, length);
  if (line[0] == u'#') return Nothing(line);
  return ResolveEntryPath(base, line) ? 1 : Nothing(line);
}

// <ref href = "path" />: from the quote behind the '=' to the line's last quote, its character
// references decoded as an XML reader would ("&amp;" in a URL is "&").
int ParseAsxLine(LPCWSTR base, LPWSTR line) {
  const WCHAR* reference = WStrFindNoCase(line, u"<ref href");
  const WCHAR* equals = reference ? wcschr(reference, u'=') : nullptr;
  const WCHAR* open = equals ? wcschr(equals, u'"') : nullptr;
  const WCHAR* close = wcsrchr(line, u'"');
  if (!open || close - open - 1 < 2) return Nothing(line);
  Store(line, DecodeXmlReferences(std::u16string_view(open + 1, static_cast<size_t>(close - open - 1))));
  return ResolveEntryPath(base, line) ? 1 : Nothing(line);
}

}  // namespace

int CPlaylist::ParseTextLine(LPCWSTR base, LPWSTR line, int format, int* length) {
  int unused = -2;
  if (!length) length = &unused;
  *length = -2;
  if (!line || !line[0]) return 0;
  switch (format) {
    case PLAYLIST_FORMAT_PLS:
      return ParsePlsLine(base, line, length);
    case PLAYLIST_FORMAT_M3U:
      return ParseM3uLine(base, line, length);
    case PLAYLIST_FORMAT_ASX:
      return ParseAsxLine(base, line);
    default:
      if (line[0] == u'#') return Nothing(line);
      return ResolveEntryPath(base, line) ? 1 : Nothing(line);
  }
}
