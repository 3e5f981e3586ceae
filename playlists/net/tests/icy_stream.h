// Test support: ICY stream bodies built from known audio bytes and a list of metadata blocks,
// so a test knows exactly what audio and which titles the client must hand back.
#pragma once
#include <string>
#include <vector>

namespace zb::testing {

// Audio bytes that make a shifted or dropped byte show: a long non-repeating pattern.
inline std::string AudioPattern(size_t size, unsigned seed = 1) {
  std::string audio(size, '\0');
  unsigned x = seed * 2654435761u + 12345u;
  for (char& c : audio) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 16);
  }
  return audio;
}

// One metadata block: its length byte and the text padded to whole 16-byte units; an empty
// text gives the length byte 0.
inline std::string IcyBlock(const std::string& text) {
  const size_t units = (text.size() + 15) / 16;
  std::string block(1, static_cast<char>(units));
  block += text;
  block.append(units * 16 - text.size(), '\0');
  return block;
}

inline std::string TitleBlock(const std::string& title) { return IcyBlock("StreamTitle='" + title + "';"); }

// The body: after every `interval` audio bytes the next block of `blocks` (cycling through
// them); `audio` need not be a multiple of the interval.
inline std::string IcyBody(const std::string& audio, size_t interval, const std::vector<std::string>& blocks) {
  std::string body;
  size_t k = 0;
  for (size_t at = 0; at < audio.size(); at += interval) {
    body += audio.substr(at, interval);
    if (at + interval <= audio.size()) body += blocks.empty() ? IcyBlock("") : blocks[k++ % blocks.size()];
  }
  return body;
}

}  // namespace zb::testing
