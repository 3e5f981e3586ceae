// The ring's fill-and-hand-out step: decoders ask for many small pieces, and this turns them
// into few large file reads, sized by how full the ring is and how large the request. A card
// or share that vanishes for a moment gets its retries and one reopen before the data ends.
#include <algorithm>

#include "core/settings/settings.h"
#include "file_reader_state.h"
#include "file_source_io.h"

namespace {

constexpr int kRetries = 4;
constexpr DWORD kRetryMs = 500;

bool Aggressive() {
  const CSettings* settings = GetSettings();
  return settings && settings->agressiveBuffers != 0;
}

bool FillWhole() {
  const CSettings* settings = GetSettings();
  return settings && settings->fillBuffers != 0;
}

long long RoundUp4096(long long n) { return n > 4096 ? (n + 4095) / 4096 * 4096 : n; }

// How many file bytes to read ahead for a request of `total` bytes with `buffered` in the ring.
long long ChooseWant(FileReaderState* s, long long total, int buffered, int prefetch) {
  const long long size = s->bufferSize;
  long long want = 0;
  if (buffered < size / 8) {
    want = std::max(2 * total, buffered < size / 16 ? 8192ll : 16384ll);
    if (total > 2048) want = total < 16384 ? 16384 : 32768;
  } else if (buffered <= size * 7 / 8) {
    if (size >= 524288 && Aggressive()) want = 0;
    else want = total < 1024 ? 0 : total < 4096 ? 4096 : total <= 32768 ? 32768 : total;
  }
  if (total > buffered) want = std::max(want, total - buffered);
  bool round = true;
  if (total < 8) {
    if (prefetch > 0) want = prefetch;
    else {
      want = total > buffered ? 1024 : 0;
      round = false;
    }
  } else if (total < 128) {
    if (total <= buffered) want = 0;
  } else if (total < 1024) {
    const DWORD now = GetTickCount();
    const bool burst = buffered < 1024 || (now - s->lastBurstTick > 500 && s->fillCalls % s->burstPeriod == 0);
    if (!burst) {
      want = total <= buffered ? 0 : 2 * (total - buffered);
    } else {
      s->lastBurstTick = now;
      if (buffered < 1024) want = 131072;
      else if (buffered <= 65536) {
        want = 1024;
        round = false;
      } else want = 65536;
    }
  }
  if (round) want = RoundUp4096(want);
  if (s->firstFill && FillWhole()) want = s->Free();
  return want;
}

bool IsDeviceError(DWORD error) {
  return error == ERROR_DEVICE_NOT_AVAILABLE || error == ERROR_MEDIA_NOT_AVAILABLE || error == ERROR_DEVICE_REMOVED;
}

// One read of `bytes` at the ring's write position. A zero-byte read before the known end
// means the medium went away.
bool ReadOnce(FileReaderState* s, BYTE* to, DWORD bytes, DWORD* got, DWORD* error) {
  *got = 0;
  if (s->file == INVALID_HANDLE_VALUE) {
    *error = ERROR_INVALID_HANDLE;
    return false;
  }
  SetLastError(0);
  if (!FileIo().Read(s->file, to, bytes, got)) {
    *error = GetLastError();
    *got = 0;
    return false;
  }
  *got = std::min(*got, bytes);
  if (*got == 0 && bytes > 0 && s->filePos < s->fileSize) {
    *error = ERROR_DEVICE_REMOVED;
    return false;
  }
  return true;
}

// Closes and opens the file again at the position reached; false leaves no usable handle.
bool Reopen(FileReaderState* s, ULONGLONG position) {
  const FileSourceIo& io = FileIo();
  io.Close(s->file);
  s->file = INVALID_HANDLE_VALUE;
  if (!PauseForRetry(s, kRetryMs)) return false;
  HANDLE file = io.Open(s->path.c_str());
  if (file == INVALID_HANDLE_VALUE) return false;
  if (!PauseForRetry(s, kRetryMs) || !io.SetPosition(file, position)) {
    io.Close(file);
    return false;
  }
  s->file = file;
  return true;
}

// Reads n bytes into the ring with the device retries; returns the bytes got.
DWORD ReadWithRetries(FileReaderState* s, BYTE* to, DWORD n) {
  DWORD got = 0, error = 0;
  bool ok = ReadOnce(s, to, n, &got, &error);
  if (ok || got >= n || !IsDeviceError(error)) {
    if (!ok) SetLastError(0);
    return got;
  }
  DWORD total = got;
  for (int attempt = 0; attempt < kRetries && total < n; ++attempt) {
    if (!PauseForRetry(s, kRetryMs)) break;
    DWORD more = 0;
    const bool back = ReadOnce(s, to + total, n - total, &more, &error);
    total += more;
    if (back || !IsDeviceError(error)) break;  // the medium answers again, or fails for good
  }
  if (total == 0 && error == ERROR_DEVICE_REMOVED && Reopen(s, s->filePos)) {
    DWORD first = 0;
    if (ReadOnce(s, to, 1, &first, &error) && first == 1) {
      DWORD rest = 0;
      ReadOnce(s, to + 1, n - 1, &rest, &error);
      total = 1 + rest;
    }
  }
  SetLastError(0);
  return total;
}

void ReadAhead(FileReaderState* s, long long want) {
  while (want > 0 && s->Free() > 0 && !s->atEnd) {
    const DWORD n = static_cast<DWORD>(std::min<long long>({want, s->Free(), s->bufferSize - s->writePos}));
    const DWORD got = ReadWithRetries(s, s->buffer + s->writePos, n);
    if (got == 0) {
      s->atEnd = true;
      break;
    }
    s->filePos += got;
    want -= got;
    s->writePos = static_cast<int>((s->writePos + got) % static_cast<DWORD>(s->bufferSize));
    s->kept = std::min(s->kept + static_cast<int>(got), s->bufferSize - 1);
  }
}

}  // namespace

bool PauseForRetry(FileReaderState* state, DWORD ms) {
  if (state->stopping) return false;
  // With a read-ahead thread the wait is on its stop event, so Close never waits out a retry.
  if (state->wakeEvent) return WaitForSingleObject(state->wakeEvent, ms) == WAIT_TIMEOUT && !state->stopping;
  FileIo().Pause(ms);
  return true;
}

int FillAndHandOut(FileReaderState* s, BYTE* destination, int total, int prefetch) {
  int buffered = s->Buffered();
  ReadAhead(s, ChooseWant(s, total, buffered, prefetch));
  s->fillCalls += 1;
  if (s->bufferSize > 16384) s->firstFill = false;
  buffered = s->Buffered();
  if (buffered == 0 || !destination) return 0;
  int copied = 0;
  while (copied < total && buffered > 0) {
    const int n = std::min({total - copied, s->bufferSize - s->readPos, buffered});
    std::copy_n(s->buffer + s->readPos, n, destination + copied);
    copied += n;
    buffered -= n;
    s->readPos = (s->readPos + n) % s->bufferSize;
  }
  return copied;
}
