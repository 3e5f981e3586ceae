// Play of the WMA module through the library: the file's title and artist from its ASF header,
// the library's set-up over the read callback, the output at the file's rate, the chunk size, the
// host's status and visualisation calls, and the decode thread's start. The read callback serves
// the library's many small reads from a 16 KiB cache of the stream object.
#include <algorithm>

#include "asf_reader.h"
#include "playing_item.h"
#include "tag_text.h"
#include "wma_decoder.h"
#include "wma_play_state.h"

#define TAG_BIT_RATE TAG_ID(1005, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE TAG_ID(1008, TAG_TYPE_INT)
#define TAG_CHANNELS TAG_ID(1009, TAG_TYPE_INT)
#define TAG_BITS_PER_SAMPLE TAG_ID(1010, TAG_TYPE_INT)
#define TAG_COPYRIGHT TAG_ID(15, TAG_TYPE_STR)
#define TAG_COMMENT TAG_ID(33, TAG_TYPE_STR)
#define TAG_RATING_TEXT TAG_ID(18, TAG_TYPE_STR)

namespace {

// A stream that turned seekable once open tells the player what it is.
void PushStreamProperties(const WmaPlayState& s, const WmaFormatInfo& format) {
  MergeIntoPlayingItem(
      WmaDecoder,
      [&](IMediaItem* item) {
        item->SetInt(TAG_BITS_PER_SAMPLE, 16);
        item->SetInt(TAG_BIT_RATE, static_cast<LONG>(format.bitRate));
        item->SetInt(TAG_CHANNELS, static_cast<LONG>(s.channels));
        item->SetInt(TAG_SAMPLE_RATE, static_cast<LONG>(s.rate));
        if (s.lengthMs) item->SetInt(TAG_LENGTH, static_cast<LONG>(s.lengthMs));
        const DWORD tags[5] = {TAG_SONG_TITLE, TAG_ARTIST, TAG_COPYRIGHT, TAG_COMMENT, TAG_RATING_TEXT};
        for (int k = 0; k < 5; ++k) item->SetString(tags[k], s.description[k]);
        return true;
      },
      PLAYER_MSG_REFRESH_STATE_TAGS);
}

// Samples per channel per write: 8192, or in proportion below 44.1 kHz, a whole number of 1024s
// and one more.
DWORD ChunkSize(DWORD rate) { return rate >= 44100 ? 8192 : rate * 8192 / 44100 / 1024 * 1024 + 1024; }

// Library set-up over the opened source; false (the source left open) when it refuses the file.
bool OpenLibrary(WmaDecoderState* d, WmaPlayState& s) {
  d->cacheBytes = 0;
  d->library = WmaLibState{};
  d->library.read = WmaDecoderReadCallback;
  d->library.host = d;
  const int created = WmaLibCreate(&d->library);
  if (created != WMA_LIB_OK && created != WMA_LIB_FORMAT_130) return false;
  if (WmaLibParseHeader(&d->library) != WMA_LIB_OK) return false;
  if (WmaLibGetFormat(&d->library, &d->format) != WMA_LIB_OK) return false;
  WmaContentDescription request{};
  for (int k = 0; k < 5; ++k) {
    request.lengths[k] = kWmaDescriptionBytes;
    request.buffers[k] = s.description[k];
  }
  return WmaLibGetContentDescription(&d->library, &request) == WMA_LIB_OK;
}

}  // namespace

uint32_t WmaDecoderReadCallback(void* host, uint32_t offset, uint32_t bytes, const uint8_t** data) {
  auto* d = static_cast<WmaDecoderState*>(host);
  const uint64_t end = static_cast<uint64_t>(offset) + bytes;
  if (d->cacheBytes && offset >= d->cacheOffset && end <= static_cast<uint64_t>(d->cacheOffset) + d->cacheBytes) {
    *data = d->cache + (offset - d->cacheOffset);
    return bytes;
  }
  InputSource* source = WmaDecoder.source;
  if (!source) return 0;
  WmaDecoder.flags = (source->IsSeekable(source) ? DEC_FLAG_SEEKABLE : 0) |
                     ((source->flags & INPUT_SOURCE_FLAG_LIVE) ? DEC_FLAG_LIVE : 0);
  d->cacheBytes = 0;
  if (offset > 0x7FFFFFFFu || source->Seek(source, INPUT_SEEK_SET, static_cast<int>(offset)) != 0) return 0;
  const int got = source->Read(source, d->cache, 1, static_cast<int>(kWmaCacheBytes));
  if (got <= 0) return 0;
  d->cacheOffset = offset;
  d->cacheBytes = static_cast<DWORD>(got);
  *data = d->cache;
  return std::min(static_cast<uint32_t>(got), bytes);
}

int WmaPlayFile(LPCWSTR path) {
  DecModule& m = WmaDecoder;
  WmaDecoderState* d = WmaDecoderBlock();
  InputSource* source = m.source;
  OutputModule* out = m.outModule;
  if (!d || !path || !source || !out) return -1;
  ResetWmaPlayState();
  WmaPlayState& s = WmaState();
  CopyCut(s.path, MAX_PATH, path);
  const bool wasSeekable = source->IsSeekable(source) != 0;
  ScanAsfHeader(source, path, s.title, s.artist, MAX_PATH, nullptr, nullptr);
  if (source->Open(source, path) < 0) return -1;
  auto fail = [&] {
    source->Close(source);
    return -1;
  };
  if (!OpenLibrary(d, s)) return fail();
  const WmaFormatInfo& format = d->format;
  s.rate = kWmaRates[format.rateIndex];
  s.channels = format.channels;
  s.lengthMs = format.durationMs;
  const int latency = out->Open(static_cast<int>(s.rate), static_cast<int>(s.channels), 16);
  if (latency < 0) return fail();
  if (!wasSeekable && source->IsSeekable(source)) PushStreamProperties(s, format);
  s.chunk = ChunkSize(s.rate);
  if (m.HostStatusUpdate)
    m.HostStatusUpdate(static_cast<int>(format.bitRate / 1000), static_cast<int>(s.rate / 1000),
                       static_cast<int>(s.channels));
  if (m.HostVisInit)
    m.HostVisInit(static_cast<int>(static_cast<long long>(latency) * 1000 / (s.channels * s.rate * 2)),
                  static_cast<int>(s.rate));
  if (m.HostVisSetInfo) m.HostVisSetInfo(static_cast<int>(s.rate), static_cast<int>(s.channels));
  out->SetVolume(OUTPUT_STORED_VALUE);
  out->SetPan(OUTPUT_STORED_VALUE);
  s.thread = CreateThread(nullptr, 0, WmaDecodeThread, &s, 0, nullptr);
  if (!s.thread) {
    out->Close();
    return fail();
  }
  return 0;
}
