// The ID3 reader over a stream object: the ID3v1 block at the end, an ID3v2 tag at the end
// (found by its footer) or at the start, and the quick title and artist for display.
#include "id3_reader.h"

#include <cstring>

#include "id3_frames.h"
#include "id3_tables.h"
#include "item_instances.h"
#include "source_reading.h"
#include "tag_text.h"

namespace {

constexpr DWORD kId3v1Size = 128;
constexpr DWORD kQuickWindow = 4096;

// A header or footer whose sizes and version are sane: the whole tag's length, else 0.
DWORD TagLength(const BYTE* b, const char* identifier) {
  if (std::memcmp(b, identifier, 3) != 0 || b[3] >= 5 || b[4] == 0xFF || ((b[6] | b[7] | b[8] | b[9]) & 0x80)) return 0;
  return SyncsafeToInt(b + 6) + 10 + ((b[5] & 0x10) ? 10 : 0);
}

bool ReadId3v1Fields(IMediaItem* item, const BYTE* t) {
  if (std::memcmp(t, "TAG", 3) != 0) return false;
  SetTextTag(item, TAG_SONG_TITLE, TrimFixedField(t + 3, 30));
  SetTextTag(item, TAG_ARTIST, TrimFixedField(t + 33, 30));
  SetTextTag(item, TAG_ALBUM, TrimFixedField(t + 63, 30));
  SetTextTag(item, TAG_RELEASE_DATE, TrimFixedField(t + 93, 4));
  SetTextTag(item, TAG_ID(33, TAG_TYPE_STR), TrimFixedField(t + 97, 30));
  SetTextTag(item, TAG_GENRE, GetId3v1GenreName(t[127]));
  // ID3v1.1: a zero before the last comment byte makes that byte the track, 1 to 255.
  if (t[125] == 0 && t[126] != 0) item->SetInt(TAG_TRACK_NUMBER, t[126]);
  return true;
}

// Reads and parses a whole tag of `length` bytes at `offset` when it is sane to hold.
bool ParseTagAt(InputSource* source, DWORD offset, DWORD length, IMediaItem* item) {
  if (length == 0 || length >= ID3_MAX_TAG) return false;
  const std::vector<BYTE> tag = ReadBlock(source, offset, length);
  return !tag.empty() && ParseId3v2Frames(tag.data(), static_cast<int>(tag.size()), offset, item);
}

bool QuickFromWindow(InputSource* source, DWORD offset, LPWSTR title, LPWSTR artist) {
  const std::vector<BYTE> window = ReadBlock(source, offset, kQuickWindow);
  return !window.empty() && ReadId3v2Quick(window.data(), static_cast<int>(window.size()), title, artist) > 0;
}

}  // namespace

LONG ReadId3Tags(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source || !path || !path[0] || !item) return E_FAIL;
  if (!source->IsSeekable(source)) return 0;
  SingleShotOpen open(source, path);
  if (!open.ok()) return E_FAIL;
  const DWORD length = open.length();
  LONG result = 1;
  DWORD end = length;
  BYTE block[kId3v1Size];
  if (length >= kId3v1Size && ReadAt(source, length - kId3v1Size, block, kId3v1Size) && ReadId3v1Fields(item, block)) {
    result = 0;
    end = length - kId3v1Size;
  }
  bool parsed = false;
  BYTE head[10];
  // A tag at the end carries a footer; it may stand before an ID3v1 block.
  for (DWORD tail : {length, end}) {
    if (parsed || tail < 10 || !ReadAt(source, tail - 10, head, 10)) continue;
    const DWORD tagLength = TagLength(head, "3DI");
    if (tagLength != 0 && tagLength <= tail) parsed = ParseTagAt(source, tail - tagLength, tagLength, item);
  }
  if (!parsed && length >= 10 && ReadAt(source, 0, head, 10)) {
    const DWORD tagLength = TagLength(head, "ID3");
    if (tagLength < length) parsed = ParseTagAt(source, 0, tagLength, item);
  }
  return parsed ? 0 : result;
}

void ReadId3v1Tag(InputSource* source, LPWSTR title, LPWSTR artist) {
  CopyCut(title, ID3_TITLE_CHARS, u"");
  CopyCut(artist, ID3_TITLE_CHARS, u"");
  if (!source || !source->IsSeekable(source)) return;
  const DWORD length = source->GetLength(source);
  BYTE t[kId3v1Size];
  if (length >= kId3v1Size && ReadAt(source, length - kId3v1Size, t, kId3v1Size) && std::memcmp(t, "TAG", 3) == 0) {
    CopyCut(title, ID3_TITLE_CHARS, TrimFixedField(t + 3, 30));
    CopyCut(artist, ID3_TITLE_CHARS, TrimFixedField(t + 33, 30));
  }
  if (length >= kQuickWindow && !QuickFromWindow(source, length - kQuickWindow, title, artist))
    QuickFromWindow(source, 0, title, artist);
  source->Seek(source, INPUT_SEEK_SET, 0);
}

int ReadId3v2Quick(const BYTE* buffer, int length, LPWSTR title, LPWSTR artist) {
  if (!buffer || length < 10) return 0;
  const size_t size = static_cast<size_t>(length);
  size_t at = 0;
  for (; at + 10 <= size; ++at) {
    const BYTE* h = buffer + at;
    if (h[0] == 'I' && h[1] == 'D' && h[2] == '3' && h[3] <= 4 && h[7] < 0x80 && h[8] < 0x80) break;
  }
  if (at + 10 > size) return 0;
  Id3Header header;
  header.offset = at;
  header.version = buffer[at + 3] < 2 ? 4 : buffer[at + 3];
  header.flags = buffer[at + 5];
  header.size = SyncsafeToInt(buffer + at + 6);
  int used = 0;
  for (const Id3Frame& frame : ReadId3v2Frames(buffer, size, header, -1)) {
    const std::string id(frame.id);
    const bool isTitle = id == "TIT2" || id == "TT2", isArtist = id == "TPE1" || id == "TP1";
    if ((!isTitle && !isArtist) || frame.data.empty() || frame.data.size() > ID3_TITLE_CHARS) continue;
    auto text = DecodeId3Text(frame.data[0], frame.data.data() + 1, frame.data.size() - 1);
    if (!text) continue;
    CopyCut(isTitle ? title : artist, ID3_TITLE_CHARS, *text);
    ++used;
  }
  return used;
}
