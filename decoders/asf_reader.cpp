// Reading the ASF header object by object. Every size in it is checked against what is left of
// the header before it is used, so a header that lies about its objects ends the walk early and
// keeps what was read before.
#include "asf_reader.h"

#include <algorithm>
#include <array>
#include <string>

#include "asf_attributes.h"
#include "asf_guids.h"
#include "asf_objects.h"
#include "item_instances.h"
#include "source_reading.h"
#include "tag_text.h"

#define TAG_BIT_RATE TAG_ID(1005, TAG_TYPE_INT)
#define TAG_PROTECTED TAG_ID(1006, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE TAG_ID(1008, TAG_TYPE_INT)
#define TAG_CHANNELS TAG_ID(1009, TAG_TYPE_INT)
#define TAG_BITS_PER_SAMPLE TAG_ID(1010, TAG_TYPE_INT)
#define TAG_IS_LOSSLESS TAG_ID(1012, TAG_TYPE_INT)
#define TAG_FORMAT_TAG TAG_ID(1014, TAG_TYPE_INT)
#define TAG_WMA_MARKER TAG_ID(11501, TAG_TYPE_BLOB)

namespace {

constexpr size_t kHeadSize = 30;
constexpr GUID kVideoClass = {0x35B405E5, 0x6DB6, 0x457E, {0xB7, 0x9F, 0xBB, 0x24, 0xEE, 0xC5, 0xC9, 0xF4}};

using namespace asf;

std::u16string Utf16Text(const BYTE* data, size_t bytes) {
  return DecodeId3Text(ID3_UTF16_LE, data, bytes).value_or(u"");
}

DWORD DurationMs(const AsfObject& o) {
  // Both come from the file as 64-bit numbers: compared before they are subtracted.
  const unsigned long long duration = Le64(o.data + 64) / 10000 + 999, preroll = Le64(o.data + 80);
  return preroll >= duration ? 0 : static_cast<DWORD>(std::min<unsigned long long>(duration - preroll, 0x7FFFFFFF));
}

// The five strings of a content description, empty where they would leave the object.
std::array<std::u16string, 5> ContentStrings(const AsfObject& o) {
  std::array<std::u16string, 5> texts;
  if (o.size < kObjectHead + 10) return texts;
  size_t pos = kObjectHead + 10;
  for (int k = 0; k < 5; ++k) {
    const size_t length = Le16(o.data + kObjectHead + 2 * k);
    if (length > o.size - pos) break;
    texts[k] = Utf16Text(o.data + pos, length);
    pos += length;
  }
  return texts;
}

void ReadExtendedContent(const AsfObject& o, ItemWriter& out) {
  if (o.size < kObjectHead + 2) return;
  const DWORD count = Le16(o.data + kObjectHead);
  size_t pos = kObjectHead + 2;
  for (DWORD i = 0; i < count; ++i) {
    if (o.size - pos < 2) return;
    const size_t nameLength = Le16(o.data + pos);
    if (o.size - pos - 2 < nameLength + 4) return;
    const BYTE* name = o.data + pos + 2;
    const WORD type = Le16(name + nameLength);
    const size_t valueLength = Le16(name + nameLength + 2);
    const size_t valueAt = pos + 2 + nameLength + 4;
    if (valueLength > o.size - valueAt) return;
    SetAsfAttribute(out, Utf16Text(name, nameLength).c_str(), o.data + valueAt, type, static_cast<DWORD>(valueLength));
    pos = valueAt + valueLength;
  }
}

// Metadata and Metadata Library records; `library` picks the rule for which records count.
void ReadMetadataRecords(const AsfObject& o, ItemWriter& out, bool library) {
  if (o.size < kObjectHead + 2) return;
  const DWORD count = Le16(o.data + kObjectHead);
  size_t pos = kObjectHead + 2;
  for (DWORD i = 0; i < count && o.size - pos >= 12; ++i) {
    const BYTE* r = o.data + pos;
    const WORD language = Le16(r), stream = Le16(r + 2), nameLength = Le16(r + 4), type = Le16(r + 6);
    const DWORD valueLength = Le32(r + 8);
    if (language != 0 || (library && stream != 0)) return;
    if (nameLength > o.size - pos - 12 || valueLength > o.size - pos - 12 - nameLength) return;
    SetAsfAttribute(out, Utf16Text(r + 12, nameLength).c_str(), r + 12 + nameLength, type, valueLength);
    pos += 12 + nameLength + valueLength;
  }
}

void ReadStreamProperties(const AsfObject& o, IMediaItem* item) {
  if (o.size < 78) return;
  const unsigned long long typeLength = Le32(o.data + 64), correction = Le32(o.data + 68);
  if (typeLength + correction > o.size - 78) return;
  if (kAsfAudioMedia.At(o.data + 24)) {
    if (typeLength < 16) return;
    const BYTE* w = o.data + 78;
    const WORD format = Le16(w);
    item->SetInt(TAG_BITS_PER_SAMPLE, Le16(w + 14));
    item->SetInt(TAG_BIT_RATE, static_cast<LONG>(Le32(w + 8) * 8));
    item->SetInt(TAG_CHANNELS, Le16(w + 2));
    item->SetInt(TAG_SAMPLE_RATE, static_cast<LONG>(Le32(w + 4)));
    item->SetInt(TAG_FORMAT_TAG, format);
    if (format == 1 || format == 0x163) item->SetInt(TAG_IS_LOSSLESS, 1);
    BOOL typed = FALSE;
    item->HasTag(TAG_MEDIA_TYPE, &typed);
    if (!typed) item->SetGuid(TAG_MEDIA_TYPE, MEDIATYPE_FILE_DEFAULT);
  } else if (kAsfVideoMedia.At(o.data + 24)) {
    item->SetGuid(TAG_MEDIA_TYPE, kVideoClass);
  }
}

void ReadHeaderExtension(const AsfObject& o, ItemWriter& out) {
  if (o.size < 46 || !kAsfReserved1.At(o.data + 24) || Le16(o.data + 40) != 6) return;
  const size_t size = std::min<size_t>(Le32(o.data + 42), o.size - 46);
  if (size == 0) return;
  WalkObjects(o.data + 46, size, 0xFFFFFFFF, [&](const AsfObject& nested) {
    if (kAsfMetadata.At(nested.data)) ReadMetadataRecords(nested, out, false);
    else if (kAsfMetadataLibrary.At(nested.data)) ReadMetadataRecords(nested, out, true);
  });
}

// The header after its 30-byte head, checked and read whole; empty when it is no ASF header.
std::vector<BYTE> ReadHeader(InputSource* source, DWORD length, size_t maxSize, DWORD* objects, bool* isAsf) {
  BYTE head[kHeadSize];
  *isAsf = false;
  if (!ReadAt(source, 0, head, kHeadSize) || !kAsfHeader.At(head)) return {};
  *isAsf = true;
  const unsigned long long size = Le64(head + 16);
  *objects = Le32(head + 24);
  if (size <= kHeadSize || size >= maxSize || size > length) return {};
  return ReadBlock(source, kHeadSize, static_cast<size_t>(size) - kHeadSize);
}

}  // namespace

void ReadAsfHeaderObjects(const BYTE* data, size_t size, DWORD objects, IMediaItem* item) {
  ItemWriter out(item);
  WalkObjects(data, size, objects, [&](const AsfObject& o) {
    if (kAsfExtendedContent.At(o.data)) {
      ReadExtendedContent(o, out);
    } else if (kAsfFileProperties.At(o.data)) {
      if (o.size < 104) return;
      item->SetInt(TAG_BIT_RATE, static_cast<LONG>(Le32(o.data + 100)));
      item->SetInt(TAG_LENGTH, static_cast<LONG>(DurationMs(o)));
    } else if (kAsfStreamProperties.At(o.data)) {
      ReadStreamProperties(o, item);
    } else if (kAsfContentEncryption.At(o.data)) {
      item->SetInt(TAG_PROTECTED, 1);
    } else if (kAsfMarker.At(o.data)) {
      item->SetBytes(TAG_WMA_MARKER, o.data + kObjectHead, static_cast<DWORD>(o.size - kObjectHead));
    } else if (kAsfContentDescription.At(o.data)) {
      const auto texts = ContentStrings(o);
      const DWORD tags[5] = {TAG_SONG_TITLE, TAG_ARTIST, TAG_ID(15, TAG_TYPE_STR), TAG_ID(33, TAG_TYPE_STR),
                             TAG_ID(18, TAG_TYPE_STR)};
      for (int k = 0; k < 5; ++k) SetTextTag(out.For(tags[k]), tags[k], texts[k]);
    } else if (kAsfHeaderExtension.At(o.data)) {
      ReadHeaderExtension(o, out);
    }
  });
}

LONG ReadAsfAttributes(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source || !path || !path[0] || !item) return E_FAIL;
  if (!source->IsSeekable(source)) return 1;
  SingleShotOpen open(source, path);
  if (!open.ok()) return E_FAIL;
  DWORD objects = 0;
  bool isAsf = false;
  const std::vector<BYTE> header = ReadHeader(source, open.length(), ASF_MAX_HEADER, &objects, &isAsf);
  if (!isAsf) return 1;
  ReadAsfHeaderObjects(header.data(), header.size(), objects, item);
  return 0;
}

int ScanAsfHeader(InputSource* source, LPCWSTR path, LPWSTR title, LPWSTR author, size_t chars, DWORD* bitrate,
                  DWORD* durationMs) {
  if (!source || !path || !source->IsSeekable(source)) return 0;
  SingleShotOpen open(source, path);
  if (!open.ok()) return 0;
  DWORD objects = 0;
  bool isAsf = false;
  const std::vector<BYTE> header = ReadHeader(source, open.length(), 16384, &objects, &isAsf);
  int found = 0;
  WalkObjects(header.data(), header.size(), objects, [&](const AsfObject& o) {
    if (kAsfFileProperties.At(o.data) && o.size >= 104) {
      if (bitrate) *bitrate = Le32(o.data + 100);
      if (durationMs) *durationMs = DurationMs(o);
    } else if (kAsfContentDescription.At(o.data)) {
      const auto texts = ContentStrings(o);
      if (texts[0].empty() && texts[1].empty()) return;
      found = 1;
      CopyCut(title, chars, texts[0]);
      CopyCut(author, chars, texts[1]);
    }
  });
  return found;
}
