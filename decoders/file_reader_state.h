// FileReaderState: what one open of the file source keeps. The ring holds file data from
// filePos - kept up to filePos; readPos marks the next byte handed out, so the part behind it
// serves short backward seeks. Positions are 64-bit: files of 4 GiB and more read to the end.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

struct InputSource;

struct FileReaderState {
  HANDLE file = INVALID_HANDLE_VALUE;
  std::u16string path;
  BYTE* buffer = nullptr;
  int bufferSize = 0;  // ring size; one byte always stays free
  int readPos = 0;     // ring index of the next byte to hand out
  int writePos = 0;    // ring index where the next file data goes
  int kept = 0;        // valid bytes before writePos (buffered ones included), at most bufferSize - 1
  ULONGLONG filePos = 0;   // file offset of the byte that belongs at writePos
  ULONGLONG fileSize = 0;  // the length at open
  int fillCalls = 0;
  DWORD lastBurstTick = 0;
  int burstPeriod = 32;
  bool atEnd = false;
  bool firstFill = true;
  bool network = false;
  bool sharedBuffer = false;  // the buffer is the one kept between opens
  CRITICAL_SECTION lock;      // recursive: Seek asks Tell under it
  HANDLE wakeEvent = nullptr;  // set by Close: the read-ahead thread stops at its next test
  HANDLE thread = nullptr;
  std::atomic<bool> stopping{false};

  int Buffered() const { return writePos >= readPos ? writePos - readPos : bufferSize - readPos + writePos; }
  int Free() const { return bufferSize - 1 - Buffered(); }
  ULONGLONG Tell() const { return filePos - static_cast<ULONGLONG>(Buffered()); }
};

FileReaderState* StateOf(InputSource* source);

// The fill-and-hand-out step under the lock: reads ahead as the request and the ring's level
// call for, then copies up to `total` bytes to `destination` (none for a prefetch of
// `prefetch` bytes). Returns the bytes copied.
int FillAndHandOut(FileReaderState* state, BYTE* destination, int total, int prefetch);
// Waits `ms` between retries; false when Close wants the source stopped meanwhile.
bool PauseForRetry(FileReaderState* state, DWORD ms);

// The ring buffer: sized from the settings, taken over from the shared buffer or allocated with
// halving sizes, and given back by Close.
bool AllocateRing(FileReaderState* state, DWORD openFlags);
void ReleaseRing(FileReaderState* state);

// The read-ahead thread: started by Open when the settings ask for it, stopped by Close.
void StartReadAhead(InputSource* source, FileReaderState* state, DWORD openFlags);
void StopReadAhead(FileReaderState* state);
