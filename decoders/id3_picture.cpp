// Pictures, synchronised lyrics and replay gain as the ID3 and Windows Media readers share them.
// A picture inside a local file stays there: the item records where it is and how to check it.
#include <algorithm>
#include <array>
#include <cstring>

#include "id3_reader.h"
#include "item_instances.h"
#include "tag_text.h"

#define TAG_ARTWORK_MIME 0x80011B5Au
#define TAG_ARTWORK_CAPTION 0x80011B5Bu
#define TAG_ARTWORK_TYPE 0x80021B5Cu
#define TAG_ARTWORK_OFFSET 0x80021B5Eu
#define TAG_ARTWORK_SIZE 0x80021B5Fu
#define TAG_ARTWORK_CRC 0x80021B60u
#define TAG_ARTWORK_HEADER 0x80051B61u
#define TAG_SYLT_LANGUAGE 0x80013010u
#define TAG_SYLT_CONTENT 0x80023011u
#define TAG_SYLT_ENCODING 0x80023012u
#define TAG_SYLT_FORMAT 0x80023013u
#define TAG_SYLT_DESCRIPTION 0x80013014u
#define TAG_RG_ORIGINATORS 0x80022711u
#define TAG_RG_TRACK_GAIN 0x00032712u
#define TAG_RG_ALBUM_GAIN 0x00032713u
#define TAG_RG_TRACK_PEAK 0x00032714u
#define TAG_RG_REFERENCE 0x00032716u

namespace {

constexpr std::array<DWORD, 256> MakeCrcTable() {
  std::array<DWORD, 256> table{};
  for (DWORD n = 0; n < 256; ++n) {
    DWORD c = n;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<DWORD, 256> kCrcTable = MakeCrcTable();

DWORD ReadLittle32(const BYTE* b) { return b[0] | b[1] << 8 | b[2] << 16 | static_cast<DWORD>(b[3]) << 24; }

}  // namespace

DWORD PictureCrc32(const BYTE* data, size_t size) {
  DWORD crc = 0;
  for (size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

void RecordEmbeddedPicture(IMediaItem* item, DWORD instance, const BYTE* data, size_t size, long long filePos) {
  if (size < 16 || filePos < 0) return;
  SetInstanceInt(item, TAG_ARTWORK_OFFSET, instance, static_cast<DWORD>(filePos));
  SetInstanceInt(item, TAG_ARTWORK_SIZE, instance, static_cast<DWORD>(size));
  SetInstanceInt(item, TAG_ARTWORK_CRC, instance, PictureCrc32(data, size));
  SetInstanceBytes(item, TAG_ARTWORK_HEADER, instance, data, 16);
}

HRESULT ReadPictureFrame(int type, const BYTE* data, size_t length, ItemWriter& out, bool shortForm, bool asfForm,
                         DWORD* instance, bool embed, long long filePos) {
  IMediaItem* item = out.item();
  if (!item || !data || length < 5 || (!asfForm && (type < 0 || type > 3))) return E_FAIL;
  const DWORD n = out.FreeInstance(TAG_ARTWORK_TYPE, instance ? *instance : 0);
  if (n == ItemWriter::kNoInstance) return E_FAIL;
  if (instance) *instance = n;
  size_t pos = 0, stated = length;
  std::u16string mime, caption;
  BYTE pictureType = 0;
  if (asfForm) {
    // Windows Media: the type came first; a 32-bit length, then UTF-16 MIME type and caption.
    pictureType = static_cast<BYTE>(type);
    stated = ReadLittle32(data);
    pos = 4;
    size_t end = FindTerminator(ID3_UTF16_LE, data, length, pos);
    mime = DecodeId3Text(ID3_UTF16_LE, data + pos, end - pos).value_or(u"");
    pos = std::min(end + 2, length);
    end = FindTerminator(ID3_UTF16_LE, data, length, pos);
    caption = DecodeId3Text(ID3_UTF16_LE, data + pos, end - pos).value_or(u"");
    pos = std::min(end + 2, length);
  } else {
    if (shortForm) {
      mime = u"image/" + AnsiToWide(data, 3);
      pos = 3;
    } else {
      // The MIME type is always 8-bit, whatever the frame's encoding.
      const size_t end = FindTerminator(ID3_LATIN1, data, length, 0);
      mime = AnsiToWide(data, end);
      pos = std::min(end + 1, length);
    }
    if (pos >= length) return E_FAIL;
    pictureType = data[pos++];
    const size_t end = FindTerminator(type, data, length, pos);
    caption = DecodeId3Text(type, data + pos, end - pos).value_or(u"");
    pos = std::min(end + TerminatorSize(type), length);
  }
  SetInstanceText(item, TAG_ARTWORK_MIME, n, mime);
  SetInstanceInt(item, TAG_ARTWORK_TYPE, n, pictureType);
  SetInstanceText(item, TAG_ARTWORK_CAPTION, n, caption);
  const size_t size = std::min(length - pos, stated);
  if (size == 0) return S_OK;
  if (embed && filePos >= 0 && size >= 16) RecordEmbeddedPicture(item, n, data + pos, size, filePos + static_cast<long long>(pos));
  else SetInstanceBytes(item, TAG_ARTWORK_DATA, n, data + pos, size);
  return S_OK;
}

HRESULT ReadSyncedLyrics(ItemWriter& out, DWORD tag, const BYTE* data, size_t length, int encoding, bool asfForm) {
  IMediaItem* item = out.item();
  if (!item || !data) return E_FAIL;
  const DWORD n = out.FreeInstance(tag);
  if (n == ItemWriter::kNoInstance) return E_FAIL;
  size_t pos = 0, stated = length;
  if (asfForm) {
    if (length < 8) return E_FAIL;
    SetInstanceInt(item, TAG_SYLT_FORMAT, n, static_cast<DWORD>(-static_cast<int>(data[0])));
    SetInstanceInt(item, TAG_SYLT_CONTENT, n, data[1]);
    SetInstanceInt(item, TAG_SYLT_ENCODING, n, static_cast<DWORD>(encoding));
    stated = ReadLittle32(data + 2);
    pos = 6;
  } else {
    if (length < 6) return E_FAIL;
    SetInstanceText(item, TAG_SYLT_LANGUAGE, n, AnsiToWide(data, 3));
    SetInstanceInt(item, TAG_SYLT_FORMAT, n, data[3]);
    SetInstanceInt(item, TAG_SYLT_CONTENT, n, data[4]);
    SetInstanceInt(item, TAG_SYLT_ENCODING, n, encoding == ID3_UTF16_BOM ? static_cast<DWORD>(ID3_UTF16_BE) : static_cast<DWORD>(encoding));
    pos = 5;
  }
  const size_t end = FindTerminator(encoding, data, length, pos);
  SetInstanceText(item, TAG_SYLT_DESCRIPTION, n, DecodeId3Text(encoding, data + pos, end - pos).value_or(u""));
  pos = std::min(end + TerminatorSize(encoding), length);
  const size_t size = std::min(length - pos, stated);
  const BYTE zero = 0;
  return size ? SetInstanceBytes(item, tag, n, data + pos, size) : SetInstanceBytes(item, tag, n, &zero, 1);
}

void ReadLameReplayGain(float peak, const BYTE gainFields[4], IMediaItem* item) {
  item->SetFloat(TAG_RG_REFERENCE, 83.0f);
  if (peak != 0 && peak == peak) item->SetFloat(TAG_RG_TRACK_PEAK, peak);
  for (int field = 0; field < 2; ++field) {
    const unsigned word = gainFields[2 * field] << 8 | gainFields[2 * field + 1];
    const unsigned name = word >> 13, originator = word >> 10 & 7, negative = word >> 9 & 1, value = word & 0x1FF;
    if (name != 1 && name != 2) continue;
    SetInstanceInt(item, TAG_RG_ORIGINATORS, name, originator);
    const float gain = (negative ? -0.1f : 0.1f) * static_cast<float>(value);
    item->SetFloat(name == 1 ? TAG_RG_TRACK_GAIN : TAG_RG_ALBUM_GAIN, gain);
  }
}
