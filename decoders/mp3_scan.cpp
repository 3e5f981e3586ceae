// ScanMp3Stream: the first audio frame a decoder can trust. A leading ID3v2 tag is stepped over
// by its size, junk before the first frame is skipped for up to 64 KiB, and a Xing/Info frame is
// read and passed over. A frame counts only when the next one follows where its length ends, of
// the same stream: a sync word alone turns up in any picture, WAVE or Ogg file. The bytes behind
// the accepted frame go to the player's input buffer.
#include <algorithm>
#include <cstring>
#include <vector>

#include "id3_frames.h"
#include "id3_reader.h"
#include "mp3_play_state.h"
#include "playing_item.h"

namespace {

constexpr int kScanBuffer = 3000;
constexpr DWORD kScanLimit = 65536;

struct MadScan {
  mad_stream stream;
  mad_frame frame;
  MadScan() {
    mad_stream_init(&stream);
    mad_stream_options(&stream, MAD_OPTION_IGNORECRC);
    mad_frame_init(&frame);
  }
  ~MadScan() {
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
  }
};

// Tops the buffer up to kScanBuffer bytes; false when nothing more came.
bool Fill(InputSource* source, BYTE* buffer, int* fill) {
  const int before = *fill;
  while (*fill < kScanBuffer) {
    const int got = source->Read(source, buffer + *fill, 1, kScanBuffer - *fill);
    if (got < 1) break;
    *fill += got;
  }
  return *fill > before;
}

// Steps over `size` bytes of a tag at the start: by a seek when the source can, else by reading.
bool SkipTag(InputSource* source, DWORD size, int inBuffer) {
  if (source->IsSeekable(source)) return source->Seek(source, INPUT_SEEK_SET, static_cast<int>(size)) == 0;
  std::vector<BYTE> discard(4096);
  for (DWORD left = size - static_cast<DWORD>(inBuffer); left > 0;) {
    const int got = source->Read(source, discard.data(), 1, static_cast<int>(std::min<DWORD>(left, 4096)));
    if (got < 1) return false;
    left -= static_cast<DWORD>(got);
  }
  return true;
}

// A stream's leading tag, read as it goes by (from the bytes already read on), goes into the item
// that plays; its pictures cannot be found in the file again, so they are kept whole.
bool MergeStreamTag(InputSource* source, const BYTE* read, int fill, int tag) {
  std::vector<BYTE> whole(read, read + std::min(fill, tag));
  whole.resize(static_cast<size_t>(tag));
  for (size_t have = static_cast<size_t>(std::min(fill, tag)); have < whole.size();) {
    const int got = source->Read(source, whole.data() + have, 1, static_cast<int>(whole.size() - have));
    if (got < 1) return false;
    have += static_cast<size_t>(got);
  }
  MergeIntoPlayingItem(Mp3Decoder, [&](IMediaItem* item) { return ParseId3v2Frames(whole.data(), tag, -1, item) != 0; });
  return true;
}

// Where a tag lies from the point where sync was lost: right there (an ID3v2 tag or a 128-byte
// ID3v1 block, as between frames), or an ID3v2 tag further on in junk, which libmad's own search
// for the next frame would pass over and read its pictures for frames. -1 when there is none.
long FindTag(const BYTE* from, long left, int* size) {
  *size = GetId3v2Size(from, static_cast<int>(left));
  if (*size > 0) return 0;
  Id3Header header;
  if (left < 10 || !FindId3Header(from, static_cast<size_t>(left), &header)) return -1;
  *size = GetId3v2Size(from + header.offset, static_cast<int>(left - static_cast<long>(header.offset)));
  return *size > 0 ? static_cast<long>(header.offset) : -1;
}

// Whether four bytes are a frame header libmad can decode: the sync word, and no reserved version,
// layer, bit rate or sample rate.
bool IsFrameHeader(const BYTE* h) {
  return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && (h[1] & 0x18) != 0x08 && (h[1] & 0x06) != 0 &&
         (h[2] & 0xF0) != 0xF0 && (h[2] & 0x0C) != 0x0C;
}

// Whether the frame libmad just decoded is followed, where its length ends, by a header of the
// same stream: the same version, layer and sample rate. libmad decodes a frame only with eight
// bytes behind it in the buffer, so that header is always there to see; a free-format frame's
// length is the one libmad measured to the next header of its layer and rate.
// At the end of the file, `end` is where its data ends: a frame that ends there is its last, with
// none behind it to agree.
bool NextFrameAgrees(const mad_stream& stream, const BYTE* end) {
  const BYTE* frame = stream.this_frame;
  const BYTE* next = stream.next_frame;
  if (next && next == end) return true;
  if (!next || stream.bufend - next < 4) return false;
  return IsFrameHeader(next) && (next[1] & 0x1E) == (frame[1] & 0x1E) && (next[2] & 0x0C) == (frame[2] & 0x0C);
}

// A free-format frame has no length of its own: libmad measures it to the next header of its
// layer and rate, so the check above always holds for it. Quiet PCM is full of such pairs (FF FF
// 00 reads as a free-format layer I header, and the pattern comes back with the waveform), so a
// free-format frame counts only where a real file's audio begins: at the start of the data.
bool IsFreeFormat(const BYTE* h) { return (h[2] & 0xF0) == 0; }

// Whether the frame libmad decoded `at` bytes into the data begins a stream of frames.
bool IsStreamFrame(const mad_stream& stream, DWORD at, const BYTE* end) {
  return NextFrameAgrees(stream, end) && (!IsFreeFormat(stream.this_frame) || at == 0);
}

// Drops a frame that proved false: libmad searches for a sync word again from its second byte.
void Resync(mad_stream* stream) {
  stream->next_frame = stream->this_frame + 1;
  stream->sync = 0;
}

}  // namespace

BOOL ScanMp3Stream(InputSource* source, struct mad_header* header, XingInfo* xing, DWORD* id3Size, bool playSource,
                   DWORD* audioStart) {
  std::vector<BYTE> buffer(kScanBuffer + MAD_BUFFER_GUARD, 0);
  int fill = 0;
  if (!Fill(source, buffer.data(), &fill)) return FALSE;
  const DWORD length = source->GetLength(source);
  const int tag = GetId3v2Size(buffer.data(), fill);
  if (tag > 0 && static_cast<DWORD>(tag) < length) {
    *id3Size = static_cast<DWORD>(tag);
    if (playSource && !source->IsSeekable(source) && tag < ID3_MAX_TAG) {
      if (!MergeStreamTag(source, buffer.data(), fill, tag)) return FALSE;
    } else if (tag >= fill && !SkipTag(source, static_cast<DWORD>(tag), fill)) {
      return FALSE;
    }
    if (tag >= fill) {
      fill = 0;
    } else {
      std::memmove(buffer.data(), buffer.data() + tag, static_cast<size_t>(fill - tag));
      fill -= tag;
    }
    Fill(source, buffer.data(), &fill);
  }
  MadScan mad;
  DWORD scanned = 0;
  bool xingSeen = false, distrusted = false, atEnd = false;
  std::memset(xing, 0, sizeof *xing);
  for (;;) {
    std::memset(buffer.data() + fill, 0, MAD_BUFFER_GUARD);
    // libmad decodes a frame only with a guard's worth of bytes behind it: at the end of the file
    // the guard is given as data, so that a last frame decodes too.
    const BYTE* end = atEnd ? buffer.data() + fill : nullptr;
    mad_stream_buffer(&mad.stream, buffer.data(), static_cast<unsigned long>(fill + (atEnd ? MAD_BUFFER_GUARD : 0)));
    const DWORD scannedBefore = scanned;
    scanned += static_cast<DWORD>(fill);
    for (;;) {
      const bool decoded = mad_frame_decode(&mad.frame, &mad.stream) == 0;
      const mad_error error = mad.stream.error;
      if (decoded || error == MAD_ERROR_BADCRC) {
        const DWORD at = scannedBefore + static_cast<DWORD>(mad.stream.this_frame - buffer.data());
        if (decoded && !xingSeen && !IsStreamFrame(mad.stream, at, end)) {
          Resync(&mad.stream);
          continue;
        }
        if (decoded && xingSeen) {
          *header = mad.frame.header;
          goto accepted;
        }
        if (decoded && !xingSeen && ParseXingHeader(xing, mad.stream.anc_ptr, mad.stream.anc_bitlen)) {
          xingSeen = true;
          continue;
        }
        std::memset(xing, 0, sizeof *xing);
        // The first frame found beyond the first 3000 bytes, and one with a bad CRC, may be junk
        // that looks like a frame: the next one decides.
        const bool deep = at >= kScanBuffer && !distrusted;
        if (deep) distrusted = true;
        if (decoded && !deep) {
          *header = mad.frame.header;
          goto accepted;
        }
        continue;
      }
      if (MAD_RECOVERABLE(error)) {
        if (error == MAD_ERROR_LOSTSYNC && source->IsSeekable(source)) {
          const long left = mad.stream.bufend - mad.stream.this_frame;
          int inner = 0;
          const long skipped = FindTag(mad.stream.this_frame, left, &inner);
          // The tag's own position in the file plus its size, not its size from the start; a
          // size that reaches past the file makes it junk, which is scanned through.
          const DWORD at = static_cast<DWORD>(source->Tell(source)) - static_cast<DWORD>(left - skipped);
          if (skipped >= 0 && static_cast<unsigned long long>(at) + static_cast<DWORD>(inner) < length) {
            if (source->Seek(source, INPUT_SEEK_SET, static_cast<int>(at + static_cast<DWORD>(inner))) != 0) return FALSE;
            fill = 0;
            break;
          }
        }
        continue;
      }
      if (error != MAD_ERROR_BUFLEN || scanned > kScanLimit || atEnd) return FALSE;
      // Keep what libmad has not consumed, and enough of the end for a tag header cut by it,
      // and read on.
      const BYTE* keep = mad.stream.next_frame ? mad.stream.next_frame : buffer.data();
      const BYTE* start = buffer.data();
      keep = std::max(start, std::min(keep, start + fill - 9));
      const int kept = static_cast<int>(buffer.data() + fill - keep);
      std::memmove(buffer.data(), keep, static_cast<size_t>(kept));
      fill = kept;
      scanned -= static_cast<DWORD>(kept);
      break;
    }
    if (!Fill(source, buffer.data(), &fill)) atEnd = true;
  }
accepted:
  const BYTE* from = mad.stream.this_frame;
  const int rest = static_cast<int>(buffer.data() + fill - from);
  if (audioStart) {
    // Where the audio begins behind the tag: junk and the Xing/Info frame are not audio.
    const long long at = static_cast<long long>(static_cast<DWORD>(source->Tell(source))) - rest - *id3Size;
    *audioStart = at > 0 ? static_cast<DWORD>(at) : 0;
  }
  if (playSource) {
    Mp3PlayState& s = PlayState();
    if (rest >= 0 && rest <= kMp3InputSize) {
      std::memcpy(s.input, from, static_cast<size_t>(rest));
      s.inputFill = rest;
    }
  }
  return TRUE;
}
