// ReadWaveInfo: a WAVE or ".snd" file's stream properties, and the text a WAVE file carries in
// its "LIST" "INFO", "DISP" and "rgad" chunks, wherever they stand, "data" included. Lengths in
// the file are held against the file and against the chunk around them.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "id3_reader.h"
#include "source_reading.h"
#include "tag_text.h"
#include "tagids.h"
#include "wave_chunks.h"
#include "wave_decoder.h"

namespace {

#define TAG_BIT_RATE TAG_ID(1005, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE TAG_ID(1008, TAG_TYPE_INT)
#define TAG_CHANNELS TAG_ID(1009, TAG_TYPE_INT)
#define TAG_BITS_PER_SAMPLE TAG_ID(1010, TAG_TYPE_INT)
#define TAG_IS_LOSSLESS TAG_ID(1012, TAG_TYPE_INT)
#define TAG_FORMAT_TAG TAG_ID(1014, TAG_TYPE_INT)

constexpr DWORD kDispText = 1;           // CF_TEXT
constexpr DWORD kMostTextBytes = 65536;  // longer text chunks are cut
constexpr DWORD kLeastReplayGain = 8, kMostReplayGain = 1024;

struct InfoTag {
  char id[5];
  DWORD tag;
};

constexpr InfoTag kInfoTags[] = {
    {"ICMT", 0x00010021}, {"ICOP", 0x0001000F},     {"IART", TAG_ARTIST}, {"IGNR", TAG_GENRE},  {"IKEY", 0x0001001E},
    {"IMED", 0x0001000D}, {"INAM", TAG_SONG_TITLE}, {"ICRD", 0x000407D2}, {"IENG", 0x000100CC}, {"ISFT", 0x00010010},
    {"ITCH", 0x00010014}, {"ISBJ", 0x0001000C},     {"ISRF", 0x0001001F}, {"ISRC", 0x00010013},
};

// 8-bit text up to its first zero, in the tag code page.
std::u16string Text(const BYTE* data, size_t size) {
  const BYTE* end = std::find(data, data + size, BYTE{0});
  return AnsiToWide(data, static_cast<size_t>(end - data));
}

void SetFormatTags(IMediaItem* item, WAVEFORMATEX format, DWORD fileLength) {
  item->SetInt(TAG_FORMAT_TAG, format.wFormatTag);
  item->SetInt(TAG_BITS_PER_SAMPLE, format.wBitsPerSample);
  item->SetInt(TAG_BIT_RATE, static_cast<LONG>(format.nAvgBytesPerSec * 8));
  item->SetInt(TAG_CHANNELS, format.nChannels);
  item->SetInt(TAG_SAMPLE_RATE, static_cast<LONG>(format.nSamplesPerSec));
  if (format.nAvgBytesPerSec)
    item->SetInt(TAG_LENGTH, static_cast<LONG>(static_cast<long long>(fileLength) * 1000 / format.nAvgBytesPerSec));
}

void ReadSnd(InputSource* source, DWORD fileLength, IMediaItem* item) {
  BYTE fields[16];
  if (source->Read(source, fields, 1, 16) != 16) return;
  const DWORD encoding = BigEndian32(fields + 4);
  if (encoding >= 2 && encoding <= 7) item->SetInt(TAG_IS_LOSSLESS, 1);
  WAVEFORMATEX format{};
  if (SndToWaveFormat(&format, encoding, BigEndian32(fields + 8), BigEndian32(fields + 12)))
    SetFormatTags(item, format, fileLength);
}

// The "rgad" chunk is RIFF's, little-endian: a float peak, then the radio and audiophile fields.
void ReadReplayGainChunk(const std::vector<BYTE>& data, IMediaItem* item) {
  const DWORD bits = LittleEndian32(data.data());
  float peak;
  std::memcpy(&peak, &bits, sizeof peak);
  const BYTE fields[4] = {data[5], data[4], data[7], data[6]};  // most significant byte first
  ReadLameReplayGain(peak, fields, item);
}

class CWaveInfoWalk {
 public:
  CWaveInfoWalk(InputSource* source, DWORD fileLength, IMediaItem* item)
      : source_(source), fileLength_(fileLength), walk_(source, fileLength), item_(item) {}

  void Run() {
    RiffChunk chunk;
    while (walk_.Next(&chunk) && Handle(chunk) && walk_.Skip(chunk)) {
    }
  }

 private:
  // False ends the walk.
  bool Handle(const RiffChunk& chunk) {
    if (ChunkIs(chunk, "fmt ")) return Format(chunk);
    if (ChunkIs(chunk, "DISP")) return Display(chunk);
    if (ChunkIs(chunk, "LIST")) return List(chunk);
    if (ChunkIs(chunk, "rgad") && chunk.size >= kLeastReplayGain && chunk.size < kMostReplayGain) {
      std::vector<BYTE> data;
      if (walk_.Read(chunk, chunk.size, &data)) ReadReplayGainChunk(data, item_);
    }
    return true;
  }

  bool Format(const RiffChunk& chunk) {
    std::vector<BYTE> bytes;
    const bool read = ReadFormatChunk(walk_, chunk, &bytes);
    WAVEFORMATEX format = FormatOf(bytes);
    if (!read) format.nAvgBytesPerSec = 0;
    if (format.wFormatTag == WAVE_FORMAT_PCM) {
      RecomputePcmFormat(&format);
      item_->SetInt(TAG_IS_LOSSLESS, 1);
    }
    SetFormatTags(item_, format, fileLength_);
    return true;
  }

  // A type word, then for type 1 the text; a chunk too short for its type word holds nothing.
  bool Display(const RiffChunk& chunk) {
    if (chunk.size < 4) return true;
    std::vector<BYTE> data;
    const bool whole = walk_.Read(chunk, kMostTextBytes, &data);
    if (data.size() < 4) return false;
    if (LittleEndian32(data.data()) != kDispText) return true;
    if (!whole) return false;
    item_->SetString(TAG_DISPLAY_TITLE, Text(data.data() + 4, data.size() - 4).c_str());
    return true;
  }

  bool List(const RiffChunk& list) {
    BYTE type[4];
    if (list.size < 4 || source_->Read(source_, type, 1, 4) != 4 || std::memcmp(type, "INFO", 4) != 0) return false;
    const ULONGLONG end = std::min<ULONGLONG>(static_cast<ULONGLONG>(list.dataStart) + list.size,
                                              walk_.LengthKnown() ? fileLength_ : 0xFFFFFFFFull);
    RiffChunk sub;
    while (static_cast<DWORD>(source_->Tell(source_)) + 8ull <= end) {
      if (!walk_.Next(&sub)) return false;
      const DWORD inList = static_cast<DWORD>(end - sub.dataStart);
      const InfoTag* known = std::find_if(std::begin(kInfoTags), std::end(kInfoTags),
                                          [&](const InfoTag& t) { return ChunkIs(sub, t.id); });
      if (known != std::end(kInfoTags)) {
        std::vector<BYTE> text;
        const bool whole = sub.size <= inList && walk_.Read(sub, kMostTextBytes, &text);
        const std::u16string value = Text(text.data(), text.size());
        if (!value.empty()) item_->SetString(known->tag, value.c_str());
        if (!whole) return false;
      }
      if (sub.size > inList) return false;
      const ULONGLONG next = static_cast<ULONGLONG>(sub.dataStart) + sub.size + (sub.size & 1);
      if (next > end) return true;  // the last one's pad byte may be the list's own
      if (source_->Seek(source_, INPUT_SEEK_SET, static_cast<int>(static_cast<DWORD>(next))) != 0) return false;
    }
    return true;
  }

  InputSource* source_;
  DWORD fileLength_;
  CRiffWalk walk_;
  IMediaItem* item_;
};

bool HasDisplayTitle(IMediaItem* item) {
  BSTR value = nullptr;
  const bool present = SUCCEEDED(item->GetString(TAG_DISPLAY_TITLE, &value));
  SysFreeString(value);
  return present;
}

}  // namespace

LONG ReadWaveInfo(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source || !path || !path[0] || !item) return E_FAIL;
  if (!source->IsSeekable(source)) return 1;
  SingleShotOpen open(source, path);
  if (!open.ok()) return E_FAIL;
  LONG result = 1;
  BYTE head[8];
  if (source->Read(source, head, 1, 8) == 8) {
    if (BigEndian32(head) == SND_MAGIC) {
      result = 0;
      ReadSnd(source, open.length(), item);
    } else if (std::memcmp(head, "RIFF", 4) == 0) {
      result = 0;
      BYTE form[4];
      if (source->Read(source, form, 1, 4) == 4 && std::memcmp(form, "WAVE", 4) == 0)
        CWaveInfoWalk(source, open.length(), item).Run();
    }
  }
  WCHAR title[MAX_PATH] = {};
  if (source->GetTitle) source->GetTitle(source, path, title);
  if (title[0] && !HasDisplayTitle(item)) item->SetString(TAG_DISPLAY_TITLE, title);
  return result;
}
