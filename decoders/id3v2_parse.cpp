// ParseId3v2Frames: each frame of an ID3v2 tag into the item, by the frame map for plain text,
// URL, number and blob frames, and by its own handler for the rest.
#include <algorithm>
#include <cstring>

#include "asf_attributes.h"
#include "id3_frame_handlers.h"
#include "id3_reader.h"
#include "id3_tables.h"
#include "item_instances.h"
#include "tag_text.h"

namespace {

void SetMappedFrame(const Id3Context& c, const Id3Frame& f, DWORD tag) {
  switch (TAG_TYPE(tag)) {
    case TAG_TYPE_STR:
    case TAG_TYPE_DATE: {
      // URL frames carry no encoding byte.
      const std::u16string text = f.id[0] == 'W' ? AnsiToWide(f.data.data(), FindTerminator(0, f.data.data(), f.data.size()))
                                                 : FrameText(f);
      SetTextTag(c.item, tag, text);
      break;
    }
    case TAG_TYPE_INT: {
      int number = 0;
      const std::u16string text = FrameText(f);
      if (swscanf(text.c_str(), u"%d", &number) == 1) c.item->SetInt(tag, number);
      break;
    }
    case TAG_TYPE_BLOB:
      if (!f.data.empty()) c.item->SetBytes(tag, f.data.data(), static_cast<DWORD>(f.data.size()));
      break;
    default: break;
  }
}

// RGAD: a big-endian float peak, then the two gain fields.
void HandleReplayGainAdjustment(const Id3Context& c, const Id3Frame& f) {
  if (f.data.size() < 8) return;
  const DWORD bits = BigEndianToInt(f.data.data(), 4);
  float peak;
  std::memcpy(&peak, &bits, sizeof peak);
  ReadLameReplayGain(peak, f.data.data() + 4, c.item);
}

void HandleFrame(const Id3Context& c, const Id3Frame& f, DWORD* artwork) {
  const bool v2 = c.version == 2;
  const std::string id(f.id);
  if (id == "TCON" || (v2 && id == "TCO")) return HandleGenreFrame(c, f);
  if (id == "RGAD") return HandleReplayGainAdjustment(c, f);
  if (id == "RVA2") return HandleRelativeVolume2(c, f);
  if (id == "RVAD" || (v2 && id == "RVA")) return HandleRelativeVolume(c, f);
  if (id == "PRIV" && c.version == 3 && HandlePrivateFrame(c, f)) return;
  if (const Id3FrameTag* row = FindId3Frame(f.id, v2)) {
    const std::string name = row->id ? row->id : row->shortId;
    if (name == "POPM") return HandlePopularimeter(c, f);
    if (name == "SYLT" || name == "SLT") {
      if (f.data.size() > 5) ReadSyncedLyrics(*c.out, row->tag, f.data.data() + 1, f.data.size() - 1, f.data[0], false);
      return;
    }
    if (name == "CTOC") return HandleTableOfContents(c, f);
    if (name == "CHAP") return HandleChapterFrame(c, f);
    if (name == "USLT" || name == "ULT") return HandleCommentFrame(c, f, 0x8001300F, 0x8001300D, 0x8001300E);
    if (name == "COMM" || name == "COM") return HandleCommentFrame(c, f, 0x80014A3C, 0x80014A3D, 0x80014A3E);
    if (row->tag == TAG_ARTWORK_DATA) {
      *artwork = HandlePictureFrame(c, f, *artwork) + 1;
      return;
    }
    return SetMappedFrame(c, f, row->tag);
  }
  StoreUnhandledTag(*c.out, std::u16string(f.id, f.id + std::strlen(f.id)), f.data.empty() ? 0 : f.data[0],
                    f.data.data(), f.data.size());
}

}  // namespace

std::u16string FrameText(const Id3Frame& f) {
  if (f.data.empty()) return {};
  const int encoding = f.data[0];
  size_t start = 1;
  // Stray zeros in front of 8-bit text would hide it.
  if (encoding == ID3_LATIN1 || encoding == ID3_UTF8)
    while (start + 1 < f.data.size() && f.data[start] == 0) ++start;
  return DecodeId3TextValues(encoding, f.data.data() + start, f.data.size() - start).value_or(u"");
}

BOOL ParseId3v2Frames(const BYTE* buffer, int length, long long filePos, IMediaItem* item) {
  if (!buffer || length <= 0 || !item) return FALSE;
  Id3Header header;
  if (!FindId3Header(buffer, static_cast<size_t>(length), &header)) return FALSE;
  const std::vector<Id3Frame> frames = ReadId3v2Frames(buffer, static_cast<size_t>(length), header, filePos);
  ItemWriter out(item);
  const Id3Context context{item, header.version, &out};
  DWORD artwork = 0;
  for (const Id3Frame& frame : frames) HandleFrame(context, frame, &artwork);
  return frames.empty() ? FALSE : TRUE;
}
