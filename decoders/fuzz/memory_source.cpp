// The in-memory stream object of the fuzz targets.
#include "memory_source.h"

#include <algorithm>
#include <cstring>

namespace {

struct Memory {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

Memory* Of(InputSource* s) { return static_cast<Memory*>(s->state); }
int Open(InputSource*, LPCWSTR) { return 0; }
void Close(InputSource*) {}
int Read(InputSource* s, void* buffer, int size, int count) {
  Memory* m = Of(s);
  if (size <= 0 || count <= 0 || !buffer) return 0;
  const size_t want = static_cast<size_t>(size) * static_cast<size_t>(count);
  const size_t n = m->pos >= m->size ? 0 : std::min(want, m->size - m->pos);
  std::memcpy(buffer, m->data + m->pos, n);
  m->pos += n;
  return static_cast<int>(n / static_cast<size_t>(size));
}
int Seek(InputSource* s, int origin, int offset) {
  Memory* m = Of(s);
  const long long base = origin == 1 ? static_cast<long long>(m->pos) : origin == 2 ? static_cast<long long>(m->size) : 0;
  const long long to = origin == 0 ? static_cast<DWORD>(offset) : base + offset;
  if (to < 0) return -1;
  m->pos = static_cast<size_t>(to);
  return 0;
}
DWORD Length(InputSource* s) { return static_cast<DWORD>(Of(s)->size); }
int Tell(InputSource* s) { return static_cast<int>(Of(s)->pos); }
int Seekable(InputSource*) { return 1; }

thread_local Memory g_memory;

}  // namespace

InputSource MakeMemorySource(const uint8_t* data, size_t size) {
  g_memory = {data, size, 0};
  InputSource s{};
  s.version = INPUT_SOURCE_VERSION;
  s.Open = Open;
  s.Close = Close;
  s.Read = Read;
  s.Seek = Seek;
  s.GetLength = Length;
  s.Tell = Tell;
  s.IsSeekable = Seekable;
  s.state = &g_memory;
  return s;
}
