// Titles and lengths for the playlist: an ID3v1 tag or the ASF header's author and title of any
// file, the play state's of the file now playing, and failing both the file's name without its
// ".wma".
#include <memory>
#include <new>
#include <string>

#include "asf_reader.h"
#include "id3_reader.h"
#include "tag_text.h"
#include "wma_decoder.h"
#include "wma_play_state.h"

namespace {

constexpr size_t kChars = 256;

// "artist - title" when both exist, else whichever does; false when neither.
bool JoinTitle(const WCHAR* artist, const WCHAR* title, LPWSTR out) {
  if (!artist[0] && !title[0]) return false;
  std::u16string text = artist;
  if (artist[0] && title[0]) text += u" - ";
  text += title;
  if (out) CopyCut(out, MAX_PATH, text);
  return true;
}

bool IsStreamPath(LPCWSTR path) {
  const size_t at = std::u16string(path).find(u"://");
  return at != std::u16string::npos && at < 8;
}

// The file's name without ".wma", or the whole path for other names.
void NameTitle(LPCWSTR path, LPWSTR out) {
  const std::u16string p = path;
  if (p.size() <= 4 || !out) return;
  if (_wcsicmp(p.c_str() + p.size() - 4, u".wma") != 0) return CopyCut(out, MAX_PATH, p);
  size_t cut = p.find_last_of(u'\\');
  if (cut == std::u16string::npos) cut = p.find_last_of(u'/');
  const size_t from = cut == std::u16string::npos ? 0 : cut + 1;
  CopyCut(out, MAX_PATH, p.substr(from, p.size() - 4 - from));
}

}  // namespace

void WmaGetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs) {
  int localLength = 0;
  if (!lengthMs) lengthMs = &localLength;
  std::unique_ptr<WCHAR[]> songTitle(new (std::nothrow) WCHAR[kChars]()), artist(new (std::nothrow) WCHAR[kChars]());
  if (!songTitle || !artist) return;
  WmaPlayState& s = WmaState();
  InputSource* used = source;
  bool found = false;
  const bool playing = !path || !path[0];
  if (!playing) {
    if (source && source->IsSeekable(source)) {
      source->openFlags = INPUT_OPEN_SINGLE_SHOT;
      const bool opened = source->Open(source, path) == 0;
      source->openFlags = 0;
      if (opened) {
        WCHAR t[ID3_TITLE_CHARS] = {}, a[ID3_TITLE_CHARS] = {};
        ReadId3v1Tag(source, t, a);
        source->Close(source);
        found = JoinTitle(a, t, title);
      }
    }
  } else {
    used = WmaDecoder.source;
    *lengthMs = static_cast<int>(s.lengthMs);
    path = s.path;
    found = JoinTitle(s.artist, s.title, title);
    if (used && !used->IsSeekable(used) && IsStreamPath(path)) return;
  }
  if (used && used != WmaDecoder.source) {
    DWORD durationMs = 0;
    const int scanned = ScanAsfHeader(used, path, songTitle.get(), artist.get(), kChars, nullptr, &durationMs);
    if (scanned && !found) {
      found = JoinTitle(artist.get(), songTitle.get(), title);
      if (_wcsicmp(path, s.path) == 0) {
        CopyCut(s.title, MAX_PATH, songTitle.get());
        CopyCut(s.artist, MAX_PATH, artist.get());
      }
    }
    if (durationMs > 0) *lengthMs = static_cast<int>(durationMs);
  }
  if (!found) NameTitle(path, title);
}
