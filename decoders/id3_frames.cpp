// Splitting ID3v2 tags into frames, with the quirks of real files: version 2.4 tags written with
// plain sizes, padding, frames that claim more than the tag holds, unsynchronised bodies.
#include "id3_frames.h"

#include <algorithm>

namespace {

bool IsUpper(BYTE c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(BYTE c) { return c >= '0' && c <= '9'; }

bool IsZeroFill(const BYTE* b, size_t length) { return std::all_of(b, b + length, [](BYTE c) { return c == 0; }); }

// Whether a frame of `size` at `pos` ends where the next frame, padding or the end starts.
bool SizeFits(const BYTE* body, size_t length, size_t pos, size_t header, DWORD size, int version) {
  const size_t next = pos + header + size;
  if (next == length) return true;
  if (next > length) return false;
  if (IsZeroFill(body + next, length - next)) return true;
  return next + 4 <= length && IsId3FrameId(body + next, version);
}

}  // namespace

DWORD SyncsafeToInt(const BYTE* b) {
  return static_cast<DWORD>(b[0] & 0x7F) << 21 | static_cast<DWORD>(b[1] & 0x7F) << 14 |
         static_cast<DWORD>(b[2] & 0x7F) << 7 | (b[3] & 0x7F);
}

DWORD BigEndianToInt(const BYTE* b, int count) {
  DWORD value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | b[i];
  return value;
}

bool IsId3FrameId(const BYTE* b, int version) {
  if (version > 4) return false;
  const int n = version == 2 ? 3 : 4;
  if (!IsUpper(b[0])) return false;
  for (int i = 1; i < n; ++i)
    if (!IsUpper(b[i]) && !IsDigit(b[i])) return false;
  return true;
}

bool ReadId3Header(const BYTE* buffer, size_t length, size_t at, Id3Header* header) {
  if (at + 10 > length) return false;
  const BYTE* h = buffer + at;
  if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] > 4 || h[4] == 0xFF) return false;
  if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return false;
  header->offset = at;
  header->version = h[3] < 2 ? 4 : h[3];
  header->flags = h[5];
  header->size = SyncsafeToInt(h + 6);
  return true;
}

bool FindId3Header(const BYTE* buffer, size_t length, Id3Header* header) {
  for (size_t at = 0; at + 10 <= length; ++at)
    if (buffer[at] == 'I' && ReadId3Header(buffer, length, at, header)) return true;
  return false;
}

std::vector<BYTE> UndoUnsynchronisation(const BYTE* data, size_t length) {
  std::vector<BYTE> out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    out.push_back(data[i]);
    if (data[i] == 0xFF && i + 1 < length && data[i + 1] == 0x00) ++i;
  }
  return out;
}

std::vector<Id3Frame> SplitId3v2Frames(const BYTE* body, size_t length, int version, long long bodyPos, bool embed,
                                       bool tagUnsync) {
  std::vector<Id3Frame> frames;
  const size_t header = version == 2 ? 6 : 10;
  bool plainSizes = version == 3;
  size_t pos = 0;
  while (pos + header < length && IsUpper(body[pos]) && IsId3FrameId(body + pos, version)) {
    const BYTE* h = body + pos;
    DWORD size = 0;
    if (version == 2) {
      size = BigEndianToInt(h + 3, 3);
    } else if (plainSizes) {
      size = BigEndianToInt(h + 4, 4);
    } else {
      size = SyncsafeToInt(h + 4);
      const DWORD plain = BigEndianToInt(h + 4, 4);
      // Version 2.4 tags written with plain sizes: the size that leads to the next frame wins.
      if (plain != size && !SizeFits(body, length, pos, header, size, version) &&
          SizeFits(body, length, pos, header, plain, version)) {
        size = plain;
        plainSizes = true;
      }
    }
    const size_t start = pos + header;
    const size_t end = start + std::min<size_t>(size, length - start);
    Id3Frame frame;
    std::copy_n(reinterpret_cast<const char*>(h), version == 2 ? 3 : 4, frame.id);
    frame.embed = embed;
    const BYTE flags = version == 2 ? 0 : h[9];
    size_t skip = 0;
    bool usable = true, unsync = false;
    if (version == 3) {
      if (flags & 0x80) usable = false;  // compressed
      if (flags & 0x40) usable = false;  // encrypted
      if (flags & 0x20) skip += 1;       // group id
    } else if (version == 4) {
      if (flags & 0x40) skip += 1;            // group id
      if (flags & 0x0C) usable = false;       // compressed or encrypted
      if (flags & 0x01) skip += 4;            // data length indicator
      unsync = (flags & 0x02) || tagUnsync;
      if (flags & 0x0E) frame.embed = false;
    }
    if (usable && start + skip <= end) {
      const BYTE* data = body + start + skip;
      const size_t n = end - start - skip;
      if (unsync) {
        frame.data = UndoUnsynchronisation(data, n);
        frame.embed = false;
      } else {
        frame.data.assign(data, data + n);
      }
      frame.filePos = bodyPos < 0 ? -1 : bodyPos + static_cast<long long>(start + skip);
      frames.push_back(std::move(frame));
    }
    pos = end;
  }
  return frames;
}

std::vector<Id3Frame> ReadId3v2Frames(const BYTE* buffer, size_t length, const Id3Header& header, long long filePos) {
  size_t bodyStart = header.offset + 10;
  if (bodyStart > length) return {};
  size_t bodyLength = std::min<size_t>(header.size, length - bodyStart);
  long long bodyPos = filePos < 0 ? -1 : filePos + static_cast<long long>(bodyStart);
  bool embed = true;
  std::vector<BYTE> undone;
  const BYTE* body = buffer + bodyStart;
  // Before version 2.4 unsynchronisation covers the whole body: undone first, and file
  // positions no longer hold inside it.
  if (header.version < 4 && (header.flags & 0x80)) {
    undone = UndoUnsynchronisation(body, bodyLength);
    body = undone.data();
    bodyLength = undone.size();
    embed = false;
  }
  if (header.flags & 0x40) {
    size_t extended = 0;
    if (bodyLength >= 4) extended = header.version == 3 ? 4 + BigEndianToInt(body, 4) : SyncsafeToInt(body);
    extended = std::min(extended, bodyLength);
    body += extended;
    bodyLength -= extended;
    if (bodyPos >= 0) bodyPos += static_cast<long long>(extended);
  }
  if (!embed) bodyPos = -1;
  const bool tagUnsync = header.version == 4 && (header.flags & 0x80);
  std::vector<Id3Frame> frames = SplitId3v2Frames(body, bodyLength, header.version, bodyPos, embed, tagUnsync);
  return frames;
}

int GetId3v2Size(const BYTE* b, int length) {
  if (!b || length < 3) return 0;
  if (b[0] == 'T' && b[1] == 'A' && b[2] == 'G') return 128;
  if (length < 10) return 0;
  const bool header = b[0] == 'I' && b[1] == 'D' && b[2] == '3';
  const bool footer = b[0] == '3' && b[1] == 'D' && b[2] == 'I';
  if (!header && !footer) return 0;
  const long long size = static_cast<long long>(SyncsafeToInt(b + 6)) + 10 + ((b[5] & 0x10) ? 10 : 0);
  return static_cast<int>(footer ? -size : size);
}
