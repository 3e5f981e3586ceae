// Taking ICY metadata blocks out of a stream body (see icy_metadata.h). The length byte is found
// by counting audio since the last block, never by where a receive happened to end.
#include "icy_metadata.h"

#include <algorithm>
#include <cstring>

void CIcyMetadata::Reset(int interval) {
  interval_ = interval > 0 ? interval : 0;
  audioSinceBlock_ = expected_ = collected_ = 0;
  block_[0] = 0;
}

int CIcyMetadata::Strip(char* data, int size, const std::function<void(const char*)>& onTitle) {
  if (!interval_) return size;
  int audio = 0;
  for (int at = 0; at < size;) {
    if (collected_ < expected_) {
      const int take = std::min(expected_ - collected_, size - at);
      std::memcpy(block_ + collected_, data + at, static_cast<size_t>(take));
      collected_ += take;
      at += take;
      if (collected_ == expected_) FinishBlock(onTitle);
      continue;
    }
    if (audioSinceBlock_ == interval_) {
      expected_ = static_cast<unsigned char>(data[at++]) * 16;
      collected_ = 0;
      audioSinceBlock_ = 0;
      continue;
    }
    const int take = std::min(interval_ - audioSinceBlock_, size - at);
    std::memmove(data + audio, data + at, static_cast<size_t>(take));
    audio += take;
    at += take;
    audioSinceBlock_ += take;
  }
  return audio;
}

void CIcyMetadata::FinishBlock(const std::function<void(const char*)>& onTitle) {
  block_[collected_] = 0;
  expected_ = collected_ = 0;
  static constexpr char kKey[] = "StreamTitle='";
  const char* start = std::strstr(block_, kKey);
  if (!start) return;
  start += sizeof kKey - 1;
  // The title ends at "';"; a block cut short ends it at its zero padding.
  const char* end = std::strstr(start, "';");
  size_t length = end ? static_cast<size_t>(end - start) : std::strlen(start);
  if (!end && length && start[length - 1] == '\'') --length;
  if (std::strlen(title_) == length && std::memcmp(title_, start, length) == 0) return;
  std::memcpy(title_, start, length);
  title_[length] = 0;
  if (onTitle) onTitle(title_);
}
