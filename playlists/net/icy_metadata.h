// ICY metadata in a stream body: after every `icy-metaint` bytes of audio comes one length byte
// L and L x 16 bytes of metadata. CIcyMetadata takes them out of received bytes in place, counting
// the audio since the last block across receives, and tells of each new StreamTitle.
#pragma once

#include <functional>

constexpr int kIcyBlockBytes = 255 * 16;
constexpr int kIcyLargestInterval = 1 << 20;  // a larger interval is a server's error, not a stream

class CIcyMetadata {
 public:
  // 0: the stream carries no metadata.
  void Reset(int interval);
  int Interval() const { return interval_; }
  // Removes the length bytes and metadata from data[0..size) and returns the audio bytes, which
  // are left at the front in their order. `onTitle` hears every title that differs from the last
  // (an empty or shorter one too), in the order they came.
  int Strip(char* data, int size, const std::function<void(const char*)>& onTitle);
  const char* Title() const { return title_; }

 private:
  void FinishBlock(const std::function<void(const char*)>& onTitle);

  int interval_ = 0;
  int audioSinceBlock_ = 0;
  int expected_ = 0;
  int collected_ = 0;
  char block_[kIcyBlockBytes + 1] = {};
  char title_[kIcyBlockBytes + 1] = {};
};
