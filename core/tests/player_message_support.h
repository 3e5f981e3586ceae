// Test support for the player callback's messages: out buffers with guard bytes behind the size
// the call is given, wide and byte texts read back from them, small image files in memory, and
// a core with two playlist entries, the scripted decoder and a started media library.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/interface/player_messages.h"
#include "core/player/open_library.h"
#include "transport_fixture.h"

namespace zb::testing {

constexpr BYTE kGuard = 0xCD;
constexpr size_t kGuardBytes = 32;

// `size` bytes for the callee, then guard bytes it must not touch; all of it starts as guards.
class GuardedOut {
 public:
  explicit GuardedOut(size_t size) : size_(size), bytes_(size + kGuardBytes, kGuard) {}
  void* get() { return bytes_.data(); }
  UINT size() const { return static_cast<UINT>(size_); }
  bool GuardsIntact() const {
    for (size_t i = size_; i < bytes_.size(); ++i)
      if (bytes_[i] != kGuard) return false;
    return true;
  }
  // Nothing at all was written.
  bool Untouched() const {
    for (BYTE b : bytes_)
      if (b != kGuard) return false;
    return true;
  }
  std::u16string Wide() const {
    std::u16string text;
    for (size_t i = 0; i + 1 < size_; i += 2) {
      char16_t c;
      memcpy(&c, &bytes_[i], sizeof c);
      if (!c) return text;
      text += c;
    }
    return u"(unterminated)";
  }
  std::string Bytes() const { return std::string(reinterpret_cast<const char*>(bytes_.data()), strnlen(reinterpret_cast<const char*>(bytes_.data()), size_)); }
  template <class T>
  T As() const {
    T value;
    memcpy(&value, bytes_.data(), sizeof value);
    return value;
  }

 private:
  size_t size_;
  std::vector<BYTE> bytes_;
};

// A 24-bit bottom-up BMP file of the given size, one colour.
inline std::vector<BYTE> BmpFile(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  const DWORD pixels = static_cast<DWORD>(stride * height);
  std::vector<BYTE> file(54 + pixels, 0x40);
  auto put16 = [&](size_t at, WORD v) { memcpy(&file[at], &v, 2); };
  auto put32 = [&](size_t at, DWORD v) { memcpy(&file[at], &v, 4); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<DWORD>(file.size()));
  put32(6, 0);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<DWORD>(width));
  put32(22, static_cast<DWORD>(height));
  put16(26, 1);
  put16(28, 24);
  put32(30, 0);
  put32(34, pixels);
  put32(38, 2835);
  put32(42, 2835);
  put32(46, 0);
  put32(50, 0);
  return file;
}

inline void WriteDeviceFile(const WCHAR* path, const std::string& text) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

inline std::u16string SourceOf(IMediaItem* item) {
  if (!item) return u"(none)";
  BSTR text = nullptr;
  item->GetSource(&text);
  std::u16string source = text ? text : u"";
  SysFreeString(text);
  return source;
}

inline std::u16string StringTag(IMediaItem* item, DWORD tag) {
  BSTR text = nullptr;
  if (!item || FAILED(item->GetString(tag, &text)) || !text) return u"(missing)";
  std::u16string value = text;
  SysFreeString(text);
  return value;
}

// Every message a recording window got, oldest first; the windows behave as the stand-ins do.
inline std::vector<WindowMessage>& RecordedMessages() {
  static std::vector<WindowMessage> recorded;
  return recorded;
}
inline LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RecordedMessages().push_back({window, message, wParam, lParam, 0});
  return StandInProc(window, message, wParam, lParam);
}
inline void RecordMessagesOf(HWND window) {
  SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc));
}
// The messages of the given range a window got since the last call.
inline std::vector<UINT> RecordedFor(HWND window, UINT from, UINT to) {
  std::vector<UINT> seen;
  for (const WindowMessage& m : std::exchange(RecordedMessages(), {}))
    if (m.window == window && m.message >= from && m.message <= to) seen.push_back(m.message);
  return seen;
}

class MessageTest : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    CreateDirectoryW(u"\\Music", nullptr);
    CreateDirectoryW(u"\\Library", nullptr);
    wcscpy(GetSettings()->metadataLocation, u"\\Library");
    OpenLibrary(core_.get());
    Playlist().Clear();
    AddItems({u"\\Music\\one.fake", u"\\Music\\two.fake"});
    Playlist().SetCurrentIndex(0);
  }
  int Send(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
    return PlayerCallback(id, in, inSize, out, outSize);
  }
};

}  // namespace zb::testing
