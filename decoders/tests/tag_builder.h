// Tags built in memory for the tag reader tests and the tag benchmark: ID3v2 frames and tags,
// genre lists of any length, APE items and ASF attribute objects, each laid out as the readers
// expect them in a file.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "asf_guids.h"

namespace zbtest {

using Bytes = std::vector<uint8_t>;

inline void PutBigEndian(Bytes& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
inline void PutLittleEndian(Bytes& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
inline void PutSyncsafe(Bytes& out, uint32_t value) {
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<uint8_t>(value >> shift & 0x7F));
}
inline void PutText(Bytes& out, std::string_view bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

// A version 2.3 or 2.4 frame: the 4-character id, its size (syncsafe in 2.4), no flags, the payload.
inline Bytes Id3v2Frame(std::string_view id, std::string_view payload, int version = 4) {
  Bytes frame(id.begin(), id.end());
  if (version == 4) PutSyncsafe(frame, static_cast<uint32_t>(payload.size()));
  else PutBigEndian(frame, static_cast<uint32_t>(payload.size()), 4);
  frame.push_back(0), frame.push_back(0);
  PutText(frame, payload);
  return frame;
}

// A tag of the frames, with its header.
inline Bytes Id3v2Tag(const std::vector<Bytes>& frames, int version = 4) {
  size_t body = 0;
  for (const Bytes& f : frames) body += f.size();
  Bytes tag{'I', 'D', '3', static_cast<uint8_t>(version), 0, 0};
  PutSyncsafe(tag, static_cast<uint32_t>(body));
  for (const Bytes& f : frames) tag.insert(tag.end(), f.begin(), f.end());
  return tag;
}

// A text frame's payload: the encoding byte (0, 8-bit text) and the text.
inline std::string Id3Text(std::string_view text) { return std::string(1, '\0') + std::string(text); }

// "(1)(2)(1)(2)...": `count` numbered genres, Classic Rock and Country in turn.
inline std::string NumberedGenres(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += i % 2 ? "(2)" : "(1)";
  return text;
}

// A COMM frame in English with no description.
inline Bytes Id3Comment(std::string_view text) {
  return Id3v2Frame("COMM", std::string("\0eng\0", 5) + std::string(text));
}

// One APE item: value length, flags (bits 1-2 the type), key, zero, value.
inline Bytes ApeItem(std::string_view key, std::string_view value, uint32_t type = 0) {
  Bytes item;
  PutLittleEndian(item, value.size(), 4);
  PutLittleEndian(item, type << 1, 4);
  PutText(item, key);
  item.push_back(0);
  PutText(item, value);
  return item;
}

// UTF-16 little-endian bytes of ASCII text, with a terminating zero when asked.
inline Bytes Utf16(std::string_view text, bool terminated = true) {
  Bytes out;
  for (char c : text) PutLittleEndian(out, static_cast<uint8_t>(c), 2);
  if (terminated) PutLittleEndian(out, 0, 2);
  return out;
}

// An Extended Content Description object of text attributes (name, value), as it stands among
// the header's objects.
inline Bytes AsfTextAttributes(const std::vector<std::pair<std::string, std::string>>& attributes) {
  Bytes body;
  PutLittleEndian(body, attributes.size(), 2);
  for (const auto& [name, value] : attributes) {
    const Bytes n = Utf16(name), v = Utf16(value);
    PutLittleEndian(body, n.size(), 2);
    body.insert(body.end(), n.begin(), n.end());
    PutLittleEndian(body, 0, 2);  // a string
    PutLittleEndian(body, v.size(), 2);
    body.insert(body.end(), v.begin(), v.end());
  }
  Bytes object(kAsfExtendedContent.bytes, kAsfExtendedContent.bytes + 16);
  PutLittleEndian(object, 24 + body.size(), 8);
  object.insert(object.end(), body.begin(), body.end());
  return object;
}

}  // namespace zbtest
