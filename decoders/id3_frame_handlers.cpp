// The ID3v2 frames with a structure of their own: genres with ID3v1 numbers, comments and
// lyrics with language and description, ratings, volume adjustments and private frames.
#include "id3_frame_handlers.h"

#include <algorithm>
#include <cstring>

#include "asf_attributes.h"
#include "id3_tables.h"
#include "item_instances.h"
#include "tag_text.h"

#define TAG_VOLUME_ID 0x80012EE1u
#define TAG_VOLUME_ADJUSTMENT 0x80032EE2u
#define TAG_VOLUME_PEAK 0x80022EE3u

namespace {

// A genre frame adds at most this many genres: more than any real tag lists (the numbered genres
// are 148), few enough that a hostile frame of thousands ends as a short list.
constexpr int kMaxGenresPerFrame = 256;

bool AllDigits(const std::u16string& s) {
  return !s.empty() && s.size() < 10 && std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::u16string GenreOfNumber(const std::u16string& digits) {
  int number = 0;
  swscanf(digits.c_str(), u"%d", &number);
  return GetId3v1GenreName(number & 0xFF);
}

// "(17)(31)Remix": numbers in parentheses are ID3v1 genres, other parts stand as they are. Each
// genre counts against `left`.
void AppendGenres(ItemWriter& out, std::u16string_view text, int* left) {
  size_t pos = 0;
  while (pos < text.size() && *left > 0) {
    std::u16string genre;
    if (text[pos] == u'(') {
      const size_t close = text.find(u')', pos);
      if (close == std::u16string::npos) {
        genre = std::u16string(text.substr(pos));
        pos = text.size();
      } else {
        const std::u16string inner(text.substr(pos + 1, close - pos - 1));
        genre = AllDigits(inner) ? GenreOfNumber(inner) : inner;
        pos = close + 1;
      }
    } else {
      const size_t next = text.find(u'(', pos);
      const size_t end = next == std::u16string::npos ? text.size() : next;
      genre = std::u16string(text.substr(pos, end - pos));
      if (AllDigits(genre)) genre = GenreOfNumber(genre);
      pos = end;
    }
    if (genre.empty()) continue;
    out.AppendText(TAG_GENRE, genre);
    --*left;
  }
}

size_t Terminated(const std::vector<BYTE>& data, size_t from) {
  return FindTerminator(ID3_LATIN1, data.data(), data.size(), from);
}

}  // namespace

void HandleGenreFrame(const Id3Context& c, const Id3Frame& f) {
  if (f.data.empty()) return;
  auto values = DecodeTagBytes(f.data[0], f.data.data() + 1, f.data.size() - 1);
  if (!values) return;
  // Version 2.4 keeps several genres apart with zeros.
  const std::u16string_view all(*values);
  int left = kMaxGenresPerFrame;
  for (size_t start = 0; start <= all.size() && left > 0;) {
    const size_t zero = std::min(all.find(u'\0', start), all.size());
    AppendGenres(*c.out, all.substr(start, zero - start), &left);
    start = zero + 1;
  }
}

void HandleCommentFrame(const Id3Context& c, const Id3Frame& f, DWORD textTag, DWORD languageTag, DWORD shortTag) {
  if (f.data.size() < 5) return;
  const int encoding = f.data[0];
  const BYTE* d = f.data.data();
  const size_t end = FindTerminator(encoding, d, f.data.size(), 4);
  const auto description = DecodeId3Text(encoding, d + 4, end - 4);
  const size_t textStart = std::min(end + TerminatorSize(encoding), f.data.size());
  const auto text = DecodeId3Text(encoding, d + textStart, f.data.size() - textStart);
  if (!text || text->empty()) return;
  // Language, description and text share one instance, so they stay together.
  const DWORD n = c.out->FreeInstance(textTag);
  if (n == ItemWriter::kNoInstance) return;
  SetInstanceText(c.item, textTag, n, *text);
  SetInstanceText(c.item, languageTag, n, AnsiToWide(d + 1, 3));
  if (description) SetInstanceText(c.item, shortTag, n, *description);
}

void HandlePopularimeter(const Id3Context& c, const Id3Frame& f) {
  const size_t zero = Terminated(f.data, 0);
  if (zero + 1 >= f.data.size()) return;
  const BYTE rating = f.data[zero + 1];
  if (rating == 0) return;
  const LONG stars = rating < 0x40 ? 1 : rating < 0x80 ? 25 : rating < 0xC4 ? 50 : rating == 0xFF ? 99 : 75;
  c.item->SetInt(TAG_RATING, stars);
}

void HandleRelativeVolume2(const Id3Context& c, const Id3Frame& f) {
  const size_t zero = Terminated(f.data, 0);
  const DWORD i = c.out->FreeInstance(TAG_VOLUME_ID);
  if (i == ItemWriter::kNoInstance) return;
  SetInstanceText(c.item, TAG_VOLUME_ID, i, AnsiToWide(f.data.data(), zero));
  size_t pos = zero + 1;
  while (pos + 4 <= f.data.size() && c.out->Allow(TAG_VOLUME_ADJUSTMENT)) {
    const BYTE channel = f.data[pos];
    const BYTE* a = f.data.data() + pos + 1;
    const auto big = static_cast<int16_t>(a[0] << 8 | a[1]), little = static_cast<int16_t>(a[1] << 8 | a[0]);
    // The frame is big-endian; a writer that got it backwards shows as more than 40 dB.
    int16_t adjustment = big;
    if (std::abs(adjustment / 512.0) > 40) adjustment = adjustment == big ? little : big;
    const DWORD instance = i * 65536 + channel;
    SetInstanceFloat(c.item, TAG_VOLUME_ADJUSTMENT, instance, static_cast<float>(adjustment / 512.0));
    const BYTE bits = f.data[pos + 3];
    const size_t peakBytes = (bits + 7u) / 8u;
    pos += 4;
    if (peakBytes >= 1 && peakBytes <= 4 && pos + peakBytes <= f.data.size())
      SetInstanceInt(c.item, TAG_VOLUME_PEAK, instance, BigEndianToInt(f.data.data() + pos, static_cast<int>(peakBytes)));
    pos += peakBytes;
  }
}

void HandleRelativeVolume(const Id3Context& c, const Id3Frame& f) {
  if (f.data.size() < 2) return;
  const BYTE increments = f.data[0];
  const size_t bytes = (f.data[1] + 7u) / 8u;
  if (bytes == 0 || bytes > 4) return;
  // Right, left, their peaks, then the back pair with its peaks.
  const struct {
    DWORD instance;
    int incrementBit;
    size_t volume, peak;
  } kChannels[] = {{2, 0, 0, 2}, {3, 1, 1, 3}, {4, 2, 4, 6}, {5, 3, 5, 7}};
  const BYTE* values = f.data.data() + 2;
  const size_t available = (f.data.size() - 2) / bytes;
  for (const auto& ch : kChannels) {
    if (ch.volume >= available) continue;
    const auto raw = static_cast<float>(BigEndianToInt(values + ch.volume * bytes, static_cast<int>(bytes)));
    SetInstanceFloat(c.item, TAG_VOLUME_ADJUSTMENT, ch.instance, (increments >> ch.incrementBit & 1) ? raw : -raw);
    if (ch.peak < available)
      SetInstanceInt(c.item, TAG_VOLUME_PEAK, ch.instance, BigEndianToInt(values + ch.peak * bytes, static_cast<int>(bytes)));
  }
}

bool HandlePrivateFrame(const Id3Context& c, const Id3Frame& f) {
  const size_t zero = Terminated(f.data, 0);
  if (zero >= f.data.size()) return false;
  const std::u16string owner = AnsiToWide(f.data.data(), zero);
  const DWORD tag = GetAsfAttributeName(owner.c_str());
  IMediaItem* item = c.out->For(tag);
  const BYTE* value = f.data.data() + zero + 1;
  const size_t length = f.data.size() - zero - 1;
  if (tag == 0 || tag == ASF_IGNORED_TAG) return false;
  if (TAG_TYPE(tag) == TAG_TYPE_GUID && length == 16) {
    GUID guid;
    std::memcpy(&guid, value, 16);
    return SUCCEEDED(item->SetGuid(tag, guid));
  }
  if (TAG_TYPE(tag) == TAG_TYPE_STR && length % 2 == 0) {
    SetTextTag(item, tag, DecodeId3Text(ID3_UTF16_LE, value, length).value_or(u""));
    return true;
  }
  if (TAG_TYPE(tag) == TAG_TYPE_INT && length == 4) {
    item->SetInt(tag, static_cast<LONG>(value[0] | value[1] << 8 | value[2] << 16 | static_cast<DWORD>(value[3]) << 24));
    return true;
  }
  return false;
}
