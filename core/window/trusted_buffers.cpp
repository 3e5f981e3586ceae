// The table of buffers this process hands to its main window (see trusted_buffers.h). Senders
// may be any thread of the process, so the table has a lock of its own; a buffer registered
// twice (a nested send of the same text) stays until its last registration goes.
#include "core/window/trusted_buffers.h"

#include <map>
#include <mutex>
#include <utility>

namespace {

std::mutex g_lock;
std::multimap<LPARAM, size_t> g_buffers;

LPARAM Key(const WCHAR* buffer) { return reinterpret_cast<LPARAM>(buffer); }

}  // namespace

CTrustedBuffer::CTrustedBuffer(const WCHAR* buffer, size_t chars) : key_(Key(buffer)) { TrustBuffer(buffer, chars); }

CTrustedBuffer::~CTrustedBuffer() { ForgetBuffer(reinterpret_cast<const WCHAR*>(key_)); }

void TrustBuffer(const WCHAR* buffer, size_t chars) {
  if (!buffer || chars == 0) return;
  std::lock_guard<std::mutex> hold(g_lock);
  g_buffers.emplace(Key(buffer), chars);
}

void ForgetBuffer(const WCHAR* buffer) {
  std::lock_guard<std::mutex> hold(g_lock);
  auto found = g_buffers.find(Key(buffer));
  if (found != g_buffers.end()) g_buffers.erase(found);
}

size_t TrustedBufferChars(LPARAM value) {
  std::lock_guard<std::mutex> hold(g_lock);
  auto found = g_buffers.find(value);
  return found == g_buffers.end() ? 0 : found->second;
}

std::u16string TrustedText(LPARAM value) {
  const size_t chars = TrustedBufferChars(value);
  const WCHAR* text = reinterpret_cast<const WCHAR*>(value);
  size_t length = 0;
  while (length < chars && text[length]) ++length;
  return chars ? std::u16string(text, length) : std::u16string();
}
