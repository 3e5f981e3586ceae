// The file source's record operations: open with the storage-card retry, read through the ring,
// seek inside the ring without file access when it can, and close after the read-ahead thread
// has stopped by itself.
#include "file_source.h"

#include <algorithm>
#include <climits>
#include <new>

#include "file_reader_state.h"
#include "file_source_io.h"

namespace {

constexpr int kOpenRetryBudget = 6;
constexpr DWORD kOpenRetryMs = 200;
constexpr DWORD kCardAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;

// A card or share that is mounted but slow to answer: its first folder carries the temporary
// attribute. Elsewhere a missing file stays missing.
DWORD VolumeAttributes(LPCWSTR path) {
  const size_t length = wcsnlen(path, MAX_PATH);
  if (length >= MAX_PATH || path[0] != u'\\' || path[1] == u'\\') return kCardAttributes;
  const WCHAR* second = wcschr(path + 1, u'\\');
  if (!second) return kCardAttributes;
  std::u16string volume(path, static_cast<size_t>(second - path));
  const DWORD attributes = FileIo().Attributes(volume.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
}

HANDLE OpenWithRetry(LPCWSTR path, DWORD openFlags) {
  const FileSourceIo& io = FileIo();
  HANDLE file = io.Open(path);
  if (file != INVALID_HANDLE_VALUE || (openFlags & INPUT_OPEN_SINGLE_SHOT)) return file;
  DWORD error = GetLastError();
  for (int budget = kOpenRetryBudget; budget > 0 && file == INVALID_HANDLE_VALUE;) {
    io.Pause(kOpenRetryMs);
    if ((VolumeAttributes(path) & kCardAttributes) == kCardAttributes) {
      file = io.Open(path);
      if (file == INVALID_HANDLE_VALUE) error = GetLastError();
      budget -= 1;
    } else {
      budget -= 2;
    }
  }
  SetLastError(error);
  return file;
}

void DestroyState(FileReaderState* state) {
  DeleteCriticalSection(&state->lock);
  delete state;
}

struct Locked {
  explicit Locked(FileReaderState* s) : state(s) { EnterCriticalSection(&state->lock); }
  ~Locked() { LeaveCriticalSection(&state->lock); }
  FileReaderState* state;
};

int DoNothing(InputSource*) { return 0; }
int NoStation(InputSource*, LPCWSTR, LPWSTR) { return 0; }

void Init(InputSource* source) {
  if (source) source->state = nullptr;
}

void Release(InputSource*) {}

int Open(InputSource* source, LPCWSTR path) {
  if (!source || !path || !path[0]) return -1;
  SetLastError(0);
  HANDLE file = OpenWithRetry(path, source->openFlags);
  if (file == INVALID_HANDLE_VALUE) {
    const LONG error = static_cast<LONG>(GetLastError());
    return error == 0 ? -1 : error < 0 ? error : -error;
  }
  auto* state = new (std::nothrow) FileReaderState;
  if (!state) {
    FileIo().Close(file);
    return -static_cast<int>(ERROR_NOT_ENOUGH_MEMORY);
  }
  state->file = file;
  state->path = path;
  if (!FileIo().Size(file, &state->fileSize)) state->fileSize = 0;
  state->network = IsNetworkPath(path, nullptr) != 0;
  InitializeCriticalSection(&state->lock);
  if (!AllocateRing(state, source->openFlags)) {
    FileIo().Close(file);
    DestroyState(state);
    return -static_cast<int>(ERROR_NOT_ENOUGH_MEMORY);
  }
  state->lastBurstTick = GetTickCount();
  source->state = state;
  StartReadAhead(source, state, source->openFlags);
  return 0;
}

void Close(InputSource* source) {
  FileReaderState* state = StateOf(source);
  if (!state) return;
  // The thread is asked to stop and waited for before the ring goes: it stops at its next
  // test, and a retry wait of its pass is cut short by the same event.
  StopReadAhead(state);
  {
    Locked hold(state);
    ReleaseRing(state);
    if (state->file != INVALID_HANDLE_VALUE) FileIo().Close(state->file);
    state->file = INVALID_HANDLE_VALUE;
    source->state = nullptr;
  }
  DestroyState(state);
}

int Read(InputSource* source, void* buffer, int size, int count) {
  FileReaderState* state = StateOf(source);
  if (!state) return 0;
  const long long total = static_cast<long long>(size) * count;
  if (!buffer && count == 0 && size < 0) {
    Locked hold(state);
    FillAndHandOut(state, nullptr, 0, size == INT_MIN ? INT_MAX : -size);
    return 0;
  }
  if (total <= 0 || size <= 0 || !buffer || total > INT_MAX) return 0;
  auto* out = static_cast<BYTE*>(buffer);
  int got = 0;
  while (got < total) {
    int step = 0;
    {
      Locked hold(state);
      step = FillAndHandOut(state, out + got, static_cast<int>(total) - got, 0);
    }
    if (step <= 0) break;
    got += step;
  }
  return got / size;
}

int Tell(InputSource* source) {
  FileReaderState* state = StateOf(source);
  if (!state) return -1;
  Locked hold(state);
  // Past 2 GiB callers read the word as unsigned.
  return static_cast<int>(static_cast<DWORD>(state->Tell()));
}

int Seek(InputSource* source, int origin, int offset) {
  FileReaderState* state = StateOf(source);
  if (!state) return -1;
  Locked hold(state);
  long long target = 0;
  switch (origin) {
    case INPUT_SEEK_CUR: target = static_cast<long long>(state->Tell()) + offset; break;
    case INPUT_SEEK_END: target = static_cast<long long>(state->fileSize) + offset; break;
    // From the start the word is an unsigned offset, so files up to 4 GiB can be reached.
    default: target = static_cast<DWORD>(offset); break;
  }
  if (target < 0) return -1;
  const ULONGLONG to = static_cast<ULONGLONG>(target);
  const ULONGLONG oldest = state->filePos - static_cast<ULONGLONG>(state->kept);
  if (to >= oldest && to < state->filePos) {
    const long long back = static_cast<long long>(state->filePos - to);
    state->readPos = static_cast<int>(((state->writePos - back) % state->bufferSize + state->bufferSize) % state->bufferSize);
    return 0;
  }
  if (state->file == INVALID_HANDLE_VALUE || !FileIo().SetPosition(state->file, to)) return -1;
  state->filePos = to;
  state->readPos = state->writePos = state->kept = 0;
  state->fillCalls = 0;
  state->lastBurstTick = GetTickCount();
  state->atEnd = false;
  return 0;
}

DWORD GetLength(InputSource* source) {
  FileReaderState* state = StateOf(source);
  if (!state) return 0;
  return static_cast<DWORD>(std::min<ULONGLONG>(state->fileSize, 0xFFFFFFFFull));
}

int IsSeekable(InputSource*) { return 1; }

WCHAR* GetTitle(InputSource* source, LPCWSTR path, LPWSTR buffer) {
  if (!buffer) return nullptr;
  if (!path || !path[0]) {
    FileReaderState* state = StateOf(source);
    if (!state) return nullptr;
    return TitleFromPath(state->path.c_str(), buffer, MAX_PATH);
  }
  return TitleFromPath(path, buffer, MAX_PATH);
}

int Control(InputSource*, UINT, void*, UINT, void*, UINT) { return 0; }

}  // namespace

FileReaderState* StateOf(InputSource* source) { return source ? static_cast<FileReaderState*>(source->state) : nullptr; }

WCHAR* TitleFromPath(LPCWSTR path, LPWSTR buffer, size_t chars) {
  if (!buffer || chars == 0) return buffer;
  const WCHAR* name = path ? wcsrchr(path, u'\\') : nullptr;
  name = name ? name + 1 : (path ? path : u"");
  const WCHAR* dot = wcsrchr(name, u'.');
  size_t length = dot && dot > name ? static_cast<size_t>(dot - name) : wcslen(name);
  length = std::min(length, chars - 1);
  for (size_t i = 0; i < length; ++i) buffer[i] = name[i];
  buffer[length] = 0;
  return buffer + length;
}

const InputSource FileReader = {
    INPUT_SOURCE_VERSION, 0, u"file reader", nullptr, nullptr, 0, DoNothing, DoNothing, Init, Release, Open,
    Close, Read, Seek, GetLength, Tell, IsSeekable, GetTitle, NoStation, nullptr, FileReaderReadInfo, Control,
    nullptr, nullptr, nullptr, FileReaderCheckItem, nullptr, {0, 0, 0, 0}};

InputSource MakeFileSource(DWORD openFlags) {
  InputSource copy = FileReader;
  copy.Init(&copy);
  copy.openFlags = openFlags;
  return copy;
}
