// Reading a network stream: Read drains the ring the worker fills, waiting for data within a
// budget and resuming a body cut short; Seek moves inside the ring when it can and otherwise asks
// again with a byte range. Every wait for a new request phase has a time limit.
#include <algorithm>
#include <cstring>

#include "core/settings/settings.h"
#include "http_stream.h"
#include "net_input_source.h"

namespace {

constexpr int kConnectBudgetMs = 10000;

// Asks again from `position` with a range; true when the server resumed there.
bool Reopen(CHttpStream* stream, int position) {
  stream->urlEncode_ = 0;
  stream->rangeStart_ = position;
  stream->Open(nullptr);
  if (!stream->WaitForData(stream->RequestPhaseBound())) {
    stream->SetError("the server did not answer the range request in time");
    stream->Close();
    stream->state_ = HTTPSTREAM_FAILED;
    return false;
  }
  return stream->state_ != HTTPSTREAM_FAILED;
}

void Reconnect(CHttpStream* stream) {
  if (!stream->thread_ || stream->state_ != HTTPSTREAM_ENDED || stream->contentLength_ < 1 ||
      stream->received_ >= stream->contentLength_)
    return;
  const int position = stream->readPosition_;
  // The old worker has ended; its handle goes before a new one starts.
  stream->Close();
  if (Reopen(stream, position) && stream->readPosition_ != position) {
    stream->SetError("the server did not resume the stream where it broke off");
    stream->Close();
    stream->state_ = HTTPSTREAM_ENDED;
  }
}

int MoveWithin(CHttpStream* stream, int delta) {
  int index = stream->readIndex_ + delta;
  if (index < 0) index += stream->ringSize_;
  stream->readIndex_ = index % stream->ringSize_;
  stream->MoveKeepMark();
  stream->readPosition_ += delta;
  return stream->readPosition_;
}

}  // namespace

int NetInputRead(InputSource* source, void* buffer, int size, int count) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream || !stream->thread_ || size <= 0 || count <= 0) return 0;
  int total = size * count, got = 0;
  int budget = kConnectBudgetMs;
  while (budget > 0 && stream->state_ == HTTPSTREAM_CONNECTING) {
    Sleep(200);
    budget -= 200;
  }
  switch (stream->state_) {
    case HTTPSTREAM_FAILED:
      return 0;
    case HTTPSTREAM_CONNECTING:
      stream->stop_ = 1;
      stream->SetError("the connection did not come up within 10 s");
      return 0;
    case HTTPSTREAM_ENDED: {
      if (const int resume = stream->reconnectRequest_.exchange(0)) {
        (void)resume;
        Reconnect(stream);
      } else {
        CSettings* settings = GetSettings();
        const int attempts = settings ? static_cast<int>(settings->httpReconnectAttempts) : 1;
        if (stream->contentLength_ > 0 && stream->received_ < stream->contentLength_ &&
            stream->reconnectAttempts_ < attempts) {
          ++stream->reconnectAttempts_;
          Reconnect(stream);
        }
      }
      if (stream->state_ == HTTPSTREAM_ENDED && stream->Buffered() == 0) {
        stream->stop_ = 1;
        return 0;
      }
      if (stream->state_ != HTTPSTREAM_ENDED) stream->reconnectAttempts_ = 0;
      break;
    }
    default:
      break;
  }
  const int threshold = std::max(1, stream->ringSize_ - 1024 <= 32768 ? stream->ringSize_ / 2 : 32768);
  if (!buffer) return 0;
  budget = std::max(budget, stream->receiveTimeout_ > 0 ? stream->receiveTimeout_ : 5000);
  bool draining = false;
  char* out = static_cast<char*>(buffer);
  while (got < total) {
    if (stream->stop_ && stream->Buffered() == 0) break;
    const int available = stream->Buffered();
    const int read = stream->readIndex_;
    const int contiguous = std::min(available, stream->ringSize_ - read);
    if (available >= threshold || stream->stop_ || draining || stream->state_ != HTTPSTREAM_STREAMING) {
      const int n = std::min(contiguous, total - got);
      std::memcpy(out + got, stream->ring_ + read, static_cast<size_t>(n));
      stream->readIndex_ = (read + n) % stream->ringSize_;
      stream->MoveKeepMark();
      got += n;
      if (draining) total = got;
      stream->SetBufferingPercent(0);
      if (n == 0 && stream->state_ != HTTPSTREAM_STREAMING) break;
      continue;
    }
    stream->SetBufferingPercent(100);
    Sleep(20);
    while (budget > 0 && !stream->stop_ && stream->state_ == HTTPSTREAM_STREAMING && stream->Buffered() < threshold) {
      Sleep(100);
      budget -= 100;
      const int now = stream->Buffered();
      stream->SetBufferingPercent(now >= threshold ? 0 : (threshold - now) * 100 / threshold);
    }
    stream->SetBufferingPercent(0);
    if (budget <= 0) draining = true;
  }
  stream->SetBufferingPercent(0);
  stream->readPosition_ += got;
  return got / size;
}

int NetInputSeek(InputSource* source, int origin, int offset) {
  CHttpStream* stream = NetStreamOf(source);
  if (!stream || stream->contentLength_ <= 0) return -1;
  const int position = stream->readPosition_;
  int target = offset;
  if (origin == INPUT_SEEK_CUR) target = position + offset;
  else if (origin == INPUT_SEEK_END) target = stream->contentLength_ + offset;
  if (target < 0) return -1;
  if (target == position) return position;
  if (target < position && stream->KeptBehind() >= position - target) return MoveWithin(stream, target - position);
  if (target > position && stream->Buffered() >= target - position) return MoveWithin(stream, target - position);
  stream->Close();
  if (!Reopen(stream, target)) return -1;
  return stream->readPosition_;
}
