// A device whose storage card holds real music (MP3 with ID3v2 made by lame, Ogg Vorbis made by
// oggenc), the library opened on it as the player core opens it, with the built-in decoders
// reading the tags, and helpers that pump the user-interface thread's messages.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/player/media_library_link.h"
#include "core/player/player_core_neighbours.h"
#include "core/settings/settings.h"
#include "library_location.h"
#include "local_content.h"
#include "media_library.h"
#include "playlist_neighbours.h"
#include "tagids.h"
#include "testing/test_device.h"

namespace lctest {

namespace fs = std::filesystem;

// Encoded once per process: a short tone as MP3 and as Ogg Vorbis, each with its tags.
struct Music {
  fs::path folder;
  fs::path mp3, ogg;
  fs::path other;  // another MP3 ("Gamma"), longer
};

inline bool Run(const std::string& command) { return std::system((command + " > /dev/null 2>&1").c_str()) == 0; }

inline fs::path Encode(const fs::path& folder, const std::string& name, const std::string& title, double seconds = 0.3) {
  const fs::path wav = folder / (std::to_string(seconds) + ".wav");
  if (!fs::exists(wav)) Run("sox -n -r 8000 -c 1 -b 16 '" + wav.string() + "' synth " + std::to_string(seconds) + " sine 440");
  const fs::path out = folder / name;
  if (out.extension() == ".mp3") {
    Run("lame --quiet -b 32 --id3v2-only --tt '" + title + "' --ta 'The Band' --tl 'First Album' '" + wav.string() +
        "' '" + out.string() + "'");
  } else {
    Run("oggenc -Q -t '" + title + "' -a 'The Band' -l 'First Album' -o '" + out.string() + "' '" + wav.string() + "'");
  }
  return out;
}

inline const Music& TestMusic() {
  static Music music = [] {
    Music m;
    m.folder = fs::temp_directory_path() / ("zblc-music-" + std::to_string(::getpid()));
    fs::create_directories(m.folder);
    m.mp3 = Encode(m.folder, "alpha.mp3", "Alpha");
    m.ogg = Encode(m.folder, "beta.ogg", "Beta");
    m.other = Encode(m.folder, "gamma.mp3", "Gamma", 0.6);
    return m;
  }();
  return music;
}

// Pumps the thread's messages until `done` or `maxMs` passed; whether `done` came true.
template <class Done>
bool PumpUntil(Done done, DWORD maxMs) {
  const DWORD began = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (GetTickCount() - began > maxMs) return false;
    Sleep(5);
  }
}

class LocalContentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(TestMusic().mp3)) << "lame did not encode the fixture";
    ASSERT_TRUE(fs::exists(TestMusic().ogg)) << "oggenc did not encode the fixture";
    static const bool registered = [] {
      RegisterBuiltInModules(GetModuleHandleW(nullptr), nullptr);
      return true;
    }();
    (void)registered;
    settings_ = GetSettings();
    ASSERT_NE(settings_, nullptr);
    settings_->minimumSizeAudioFile = 0;  // the fixtures are small
    settings_->disableLocalContent = 0;
    link_ = CreateCoreMediaLibrary(GetModuleHandleW(nullptr));
    ASSERT_NE(link_, nullptr);
    library_ = link_->Object();
    ASSERT_EQ(OpenLibrary(library_, settings_, nullptr, nullptr, 0), S_OK);
  }
  void TearDown() override {
    DestroyLocalContentLists();
    if (link_) link_->Release();
  }

  // Puts a fixture on the card under `relative` (folders made as needed); its device path.
  std::u16string OnCard(const fs::path& fixture, const std::string& relative) {
    const fs::path host = device_.card() / relative;
    fs::create_directories(host.parent_path());
    fs::copy_file(fixture, host, fs::copy_options::overwrite_existing);
    std::u16string path = u"\\Storage Card\\";
    for (char c : relative) path += c == '/' ? u'\\' : static_cast<char16_t>(c);
    return path;
  }

  // The string tag of the source's library entry, "" when there is no entry or tag.
  std::u16string Stored(const std::u16string& source, DWORD tag) {
    IMediaItem* item = nullptr;
    if (FAILED(library_->FindItem(source.c_str(), &item, 0)) || !item) return u"(no entry)";
    BSTR text = nullptr;
    std::u16string value;
    if (SUCCEEDED(item->GetString(tag, &text)) && text) value = text;
    SysFreeString(text);
    item->Release();
    return value;
  }

  // The entry's `valid` column; -1000 without an entry.
  int Valid(const std::u16string& source) {
    CLibraryLock lock(library_);
    CSqlStatement find = library_->Database()->CompileStatement(u"select valid from media where source=?;");
    find.BindText(1, source.c_str());
    CSqlQuery row = find.ExecQuery();
    return row.Eof() ? -1000 : row.GetInt(0, 0);
  }

  zb::testing::TestDevice device_;
  CSettings* settings_ = nullptr;
  IMediaLibraryLink* link_ = nullptr;
  CMediaLibrary* library_ = nullptr;
};

}  // namespace lctest
