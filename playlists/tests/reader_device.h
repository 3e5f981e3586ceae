// Test support for the playlist reader: a fresh device with the program in a folder of its own
// (the reader's temporary files land there), playlist files written as byte images, the setting
// playlistDefEncoding, and a scripted playlist whose view trace and listing the tests read.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings.h"
#include "playlist_script.h"
#include "script_text.h"
#include "testing/test_device.h"

namespace zb::testing {

// UTF-16 little-endian with its byte-order mark.
inline std::string Utf16Bom(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

class ReaderDevice {
 public:
  explicit ReaderDevice(int defaultEncoding = 0) {
    device_.WriteProfile("[program]\nhost = /nonexistent/zonbrel-test-program\n");
    CreateDirectoryW(u"\\Program Files", nullptr);
    CreateDirectoryW(u"\\Program Files\\Zonbrel", nullptr);
    // Read by the settings object when the reader first asks for it.
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    const DWORD value = static_cast<DWORD>(defaultEncoding);
    RegSetValueExW(key, u"playlistDefEncoding", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    DestroySettings();
  }
  ~ReaderDevice() { DestroySettings(); }
  ReaderDevice(const ReaderDevice&) = delete;
  ReaderDevice& operator=(const ReaderDevice&) = delete;

  // Writes the bytes to a device file, making its folders.
  void Write(std::u16string_view devicePath, const std::string& bytes) {
    const std::filesystem::path file = Host(devicePath);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  bool Exists(std::u16string_view devicePath) const { return std::filesystem::exists(Host(devicePath)); }
  std::filesystem::path Host(std::u16string_view devicePath) const {
    std::string relative = ToUtf8(std::u16string(devicePath.substr(devicePath.starts_with(u"\\") ? 1 : 0)));
    for (char& c : relative) c = c == '\\' ? '/' : c;
    return device_.Host(relative);
  }
  // The temporary files beside the program, by name.
  std::vector<std::string> ProgramFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Host(u"\\Program Files\\Zonbrel")))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  CPlaylist& Playlist() { return script_.Playlist(); }
  CScriptCore& Core() { return script_.Core(); }
  // Registers view 1, whose messages the trace then holds.
  void AddView() {
    EXPECT_TRUE(script_.Run("view 1")) << script_.Error();
    TakeTrace();
  }
  // What the views and the core saw since the last call.
  std::string TakeTrace() {
    std::string trace = script_.Output().substr(taken_);
    taken_ = script_.Output().size();
    return trace;
  }
  std::string Listing() const { return script_.Listing(); }

 private:
  TestDevice device_;
  CPlaylistScript script_;
  size_t taken_ = 0;
};

}  // namespace zb::testing
