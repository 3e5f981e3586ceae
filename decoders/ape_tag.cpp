// APE tags: found by the "APETAGEX" footer at the end of the file or 128 bytes before it (ahead
// of an ID3v1 block); the sizes in the footer are checked against the file before any read.
#include "ape_tag.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "id3_reader.h"
#include "item_instances.h"
#include "item_writer.h"
#include "source_reading.h"
#include "tag_text.h"

#define TAG_ARTWORK_TYPE 0x80021B5Cu

namespace {

constexpr DWORD kFooter = 32;
constexpr DWORD kHasHeader = 0x80000000;

struct KeyTag {
  const char16_t* key;
  DWORD tag;
};

constexpr KeyTag kKeys[] = {
    {u"title", 0x00010007},
    {u"artist", 0x00010005},
    {u"album", 0x00010006},
    {u"comment", 0x00010021},
    {u"genre", 0x0001000B},
    {u"year", 0x000407D3},
    {u"track", 0x000203E9},
    {u"tracknumber", 0x000203E9},
    {u"replaygain_track_gain", 0x00032712},
    {u"replaygain_track_peak", 0x00032714},
    {u"replaygain_album_gain", 0x00032713},
    {u"replaygain_album_peak", 0x00032715},
    {u"Notes", 0x00010018},
    {u"Lyrics", 0x8001300F},
    {u"Copyright", 0x0001000F},
    {u"Buy URL", 0x0001006B},
    {u"Artist URL", 0x00010068},
    {u"Publisher URL", 0x00010067},
    {u"File URL", 0x00010066},
    {u"Copyright URL", 0x00010069},
    {u"Peak Level", 0x00032714},
    {u"Replay Gain (radio)", 0x00032712},
    {u"Replay Gain (album)", 0x00032713},
    {u"Composer", 0x00010016},
    {u"Keywords", 0x00010027},
};

DWORD Le32(const BYTE* b) { return b[0] | b[1] << 8 | b[2] << 16 | static_cast<DWORD>(b[3]) << 24; }

// Several values of one item are kept apart by zeros: they are joined with ";".
std::u16string ItemText(const BYTE* value, size_t length) {
  std::u16string text = Utf8ToWide(value, length), joined;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t zero = std::min(text.find(u'\0', start), text.size());
    if (zero > start) {
      if (!joined.empty()) joined += u';';
      joined += text.substr(start, zero - start);
    }
    start = zero + 1;
  }
  return joined;
}

void SetTextItem(IMediaItem* item, const std::u16string& key, const BYTE* value, size_t length) {
  for (const KeyTag& row : kKeys) {
    if (_wcsicmp(row.key, key.c_str()) != 0) continue;
    const std::u16string text = ItemText(value, length);
    if (text.empty()) return;
    if (TAG_IS_MULTI(row.tag)) SetInstanceText(item, row.tag, 0, text);
    else item->SetString(row.tag, text.c_str());
    return;
  }
}

void SetCover(ItemWriter& out, const BYTE* value, size_t length, long long valuePos) {
  const size_t nameEnd = std::find(value, value + length, BYTE{0}) - value;
  if (nameEnd >= length) return;
  const size_t start = nameEnd + 1;
  IMediaItem* item = out.item();
  const DWORD n = out.FreeInstance(TAG_ARTWORK_TYPE);
  if (n == ItemWriter::kNoInstance) return;
  SetInstanceInt(item, TAG_ARTWORK_TYPE, n, 3);
  RecordEmbeddedPicture(item, n, value + start, length - start, valuePos < 0 ? -1 : valuePos + static_cast<long long>(start));
}

}  // namespace

void ReadApeItems(const BYTE* data, size_t size, DWORD count, long long filePos, IMediaItem* item) {
  ItemWriter out(item);
  size_t pos = 0;
  for (DWORD i = 0; i < count && pos + 8 < size; ++i) {
    const DWORD length = Le32(data + pos), flags = Le32(data + pos + 4);
    const size_t keyStart = pos + 8;
    const size_t keyEnd = std::find(data + keyStart, data + size, BYTE{0}) - data;
    if (keyEnd >= size) break;
    const size_t valueStart = keyEnd + 1;
    if (length > size - valueStart) break;  // the value would reach past the tag
    pos = valueStart + length;
    const std::u16string key = Utf8ToWide(data + keyStart, keyEnd - keyStart);
    const DWORD type = flags >> 1 & 3;
    if (type == 0 || type == 3) SetTextItem(item, key, data + valueStart, length);
    else if (type == 1 && _wcsicmp(key.c_str(), u"Cover Art (front)") == 0)
      SetCover(out, data + valueStart, length, filePos < 0 ? -1 : filePos + static_cast<long long>(valueStart));
  }
}

LONG ReadApeTag(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source) return E_FAIL;
  if (!source->IsSeekable(source)) return 0;
  if (!path || !item) return E_FAIL;
  SingleShotOpen open(source, path);
  if (!open.ok()) return E_FAIL;
  const DWORD length = open.length();
  if (length < 160) return E_FAIL;
  BYTE tail[160];
  if (!ReadAt(source, length - 160, tail, sizeof tail)) return E_FAIL;
  DWORD end = 0;
  if (std::memcmp(tail, "APETAGEX", 8) == 0 && std::memcmp(tail + 32, "TAG", 3) == 0) end = length - 128;
  else if (std::memcmp(tail + 128, "APETAGEX", 8) == 0) end = length;
  else return E_FAIL;
  BYTE footer[kFooter];
  if (!ReadAt(source, end - kFooter, footer, kFooter) || std::memcmp(footer, "APETAGEX", 8) != 0) return E_FAIL;
  const DWORD size = Le32(footer + 12), count = Le32(footer + 16), flags = Le32(footer + 20);
  // The sizes are the file's word: checked against the file and a sane bound first.
  const bool header = (flags & kHasHeader) != 0;
  const unsigned long long whole = static_cast<unsigned long long>(size) + (header ? kFooter : 0);
  if (size < kFooter || size > APE_MAX_TAG || whole > end) return E_FAIL;
  const DWORD start = end - static_cast<DWORD>(whole);
  const std::vector<BYTE> tag = ReadBlock(source, start, static_cast<size_t>(whole));
  if (tag.empty()) return E_FAIL;
  size_t items = 0;
  if (header) {
    if (std::memcmp(tag.data(), "APETAGEX", 8) != 0) return E_FAIL;
    items = kFooter;
  }
  // The items end where the footer starts.
  ReadApeItems(tag.data() + items, tag.size() - items - kFooter, count, start + static_cast<long long>(items), item);
  return 0;
}
