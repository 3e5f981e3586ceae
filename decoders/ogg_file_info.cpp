// Titles and lengths of Ogg files for the playlist: "Artist - Title" from the Vorbis comments,
// else the title the stream object gives (the file name). The playing file is asked under the
// decode thread's lock, so a title read never meets a link change half done.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "ogg_decoder.h"
#include "ogg_play_state.h"
#include "source_reading.h"
#include "tag_text.h"

namespace {

constexpr size_t kPartChars = 128;  // of the artist and of the title, terminator included

std::u16string Part(const char* utf8) {
  std::u16string text = Utf8ToWide(reinterpret_cast<const BYTE*>(utf8), std::strlen(utf8));
  if (text.size() < kPartChars) return text;
  text.resize(kPartChars - 1);
  if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();  // half a character is none
  return text;
}

const char* Query(vorbis_comment* comments, const char* name) {
  char tag[16];
  std::strncpy(tag, name, sizeof tag - 1);
  tag[sizeof tag - 1] = 0;
  return vorbis_comment_query(comments, tag, 0);
}

// Empty when the comments give no title: none at all, neither name, or both names empty.
std::u16string CommentTitle(OggVorbisFile* file) {
  if (!file->open) return {};
  vorbis_comment* comments = ov_comment(&file->vf, -1);
  if (!comments) return {};
  const char* artist = Query(comments, "artist");
  const char* title = Query(comments, "title");
  if ((!artist && !title) || (artist && title && !*artist && !*title)) return {};
  // Text that does not decode counts as empty.
  std::u16string text;
  if (artist) {
    text = Part(artist);
    if (text.empty()) text = u"Unknown Artist";
  }
  if (title) {
    const std::u16string name = Part(title);
    if (artist) text += u" - ";
    text += name.empty() ? u"Untitled" : name;
  }
  return text;
}

}  // namespace

void OggGetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs) {
  if (title) title[0] = 0;
  InputSource* src = source ? source : OggDecoder.source;
  auto show = [&](const std::u16string& text) {
    if (!title) return;
    if (!text.empty()) CopyCut(title, MAX_PATH, text);
    else if (src && src->GetTitle) src->GetTitle(src, path, title);
  };
  if (!path || !path[0]) {
    OggDecoderState& s = OggState();
    std::u16string text;
    {
      CSectionLock hold(s.fileLock);
      if (s.streamOpen && lengthMs) *lengthMs = s.lengthMs;
      if (s.streamOpen) text = CommentTitle(&s.file);
    }
    return show(text);
  }
  if (!src) return;
  SingleShotOpen open(src, path);
  if (!open.ok()) return show({});
  OggVorbisFile file;
  if (OpenVorbisFile(&file, src) != 0) return show({});
  const long long length = VorbisFileLengthMs(&file);
  if (lengthMs) *lengthMs = static_cast<int>(std::clamp<long long>(length, 0, INT_MAX));
  const std::u16string text = CommentTitle(&file);
  ClearVorbisFile(&file);
  show(text);
}
