// The playlist probe and the content-type lookup: small text files that begin like XML or an INI
// section are claimed as playlists; categories come from the registry's file types first and
// then from whole extensions the player knows.
#include <cstring>

#include "decoder_test_support.h"
#include "mp3_decoder.h"
#include "playlist_probe.h"

namespace {

using namespace zbtest;

constexpr int kExpand = static_cast<int>(DEC_PLAY_PROBE | DEC_PLAY_EXPAND_AS_PLAYLIST);

class PlaylistProbeTest : public DeviceTest {};

TEST_F(PlaylistProbeTest, SmallFilesThatBeginLikeMarkupOrASectionAreClaimed) {
  const struct {
    const char* name;
    std::string head;
    size_t size;
    int result;
  } kCases[] = {
      {"spaces_then_xml.txt", "   <?xml version", 200 * 1024, kExpand},
      {"too_big.txt", "   <?xml version", 300 * 1024, -1},
      {"just_below_the_bound.txt", "<asx version=3>", 0x40000 - 1, kExpand},
      {"at_the_bound.txt", "<asx version=3>", 0x40000, -1},
      {"section.pls", "[playlist]\nFile1=", 1000, kExpand},
      {"fifteen_bytes.txt", "<fifteen bytes>", 15, -1},
      {"line_break_first.txt", "\n<?xml version=1", 1000, -1},
      {"tab_first.txt", "\t<?xml version=1", 1000, -1},
      {"all_spaces.txt", std::string(16, ' '), 1000, -1},
      {"audio.mp3", "\xFF\xFB\x90\x64", 1000, -1},
  };
  for (const auto& c : kCases) {
    std::vector<uint8_t> bytes(c.size, 'x');
    std::memcpy(bytes.data(), c.head.data(), std::min(c.head.size(), c.size));
    WriteHostFile(device_.Host(c.name), bytes);
    EXPECT_EQ(PlaylistProbe.Play(DevicePath(c.name).c_str()), c.result) << c.name;
  }
  EXPECT_EQ(PlaylistProbe.Play(u"\\missing.txt"), -1);
  std::filesystem::create_directories(device_.Host("folder.txt"));
  EXPECT_EQ(PlaylistProbe.Play(u"\\folder.txt"), -1);
}

TEST_F(PlaylistProbeTest, EveryOtherSlotIsNeutral) {
  DecModule& p = PlaylistProbe;
  EXPECT_EQ(p.version, 1);
  EXPECT_EQ(std::u16string(p.description), u"");
  EXPECT_EQ(std::u16string(p.fileExtensions), u"");
  EXPECT_EQ(p.flags, 1);
  EXPECT_EQ(p.IsOurFile(u"\\a.m3u"), 0);
  EXPECT_EQ(p.IsPaused(), 0);
  EXPECT_EQ(p.GetLength(), 0);
  EXPECT_EQ(p.GetOutputTime(), 0);
  EXPECT_EQ(p.SetEqualizer(1, 11, nullptr, 0, 0), 0);
  EXPECT_EQ(p.Command(1, nullptr, 0, nullptr, 0), -1);
  EXPECT_EQ(p.Slot19(), static_cast<LONG>(E_FAIL));
  WCHAR mime[32];
  EXPECT_EQ(p.GetMimeType(0, mime, 32), 0);
  InputSource source{};
  EXPECT_EQ(p.ReadStreamInfo(&source, u"\\a.m3u", nullptr), 0);
  EXPECT_EQ(p.ReadStreamInfo(nullptr, u"\\a.m3u", nullptr), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(p.ReadStreamInfo(&source, u"", nullptr), static_cast<LONG>(E_FAIL));
  EXPECT_EQ(p.ReadStreamInfo(&source, nullptr, nullptr), static_cast<LONG>(E_FAIL));
  p.SetVolume(100);  // without an output module nothing is forwarded
  p.SetPan(0);
}

constexpr GUID kAudio = {0xD21EF878, 0x87BC, 0x4277, {0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9}};
constexpr GUID kVideo = {0x35B405E5, 0x6DB6, 0x457E, {0xB7, 0x9F, 0xBB, 0x24, 0xEE, 0xC5, 0xC9, 0xF4}};
constexpr GUID kImage = {0x5BB20836, 0xDC29, 0x4391, {0xB0, 0x36, 0x41, 0x7F, 0x56, 0xD7, 0xF3, 0xC7}};
constexpr GUID kUnclassified = {0x647CDAF5, 0xCD5E, 0x4BE1, {0xBC, 0x86, 0xF3, 0x74, 0x95, 0x3C, 0x66, 0x6E}};
constexpr GUID kPlaylist = {0xF1BCF888, 0x07D3, 0x404D, {0xBC, 0xDE, 0x4F, 0x9F, 0xAD, 0x68, 0x42, 0x4C}};

void RegisterType(const char16_t* extension, const char16_t* name, const char16_t* value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, extension, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
  const DWORD bytes = static_cast<DWORD>((std::u16string(value).size() + 1) * sizeof(WCHAR));
  ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(PlaylistProbeTest, CategoriesComeFromTheRegistryThenFromWholeExtensions) {
  RegisterType(u".xyz", u"PerceivedType", u"Audio");
  RegisterType(u".xyz", u"Content Type", u"video/x-xyz");  // the perceived type wins
  RegisterType(u".pic", u"Content Type", u"IMAGE/x-pic");
  RegisterType(u".vid", u"Content Type", u"video/x-vid");
  RegisterType(u".odd", u"Content Type", u"text/plain");
  RegisterType(u".m3u", u"PerceivedType", u"video");  // the registry comes first
  const struct {
    const char16_t* path;
    int found;
    const GUID* type;
  } kCases[] = {
      {u"\\a.xyz", 1, &kAudio},         {u"\\a.pic", 1, &kImage},        {u"\\a.vid", 1, &kVideo},
      {u"\\a.odd", 0, &kUnclassified},  {u"\\a.m3u", 1, &kVideo},        {u"\\a.M3U8", 1, &kPlaylist},
      {u"\\a.pls", 1, &kPlaylist},      {u"\\a.wmwebasx", 1, &kPlaylist}, {u"\\a.lst", 1, &kPlaylist},
      {u"\\a.ls", 0, &kUnclassified},   {u"\\a.m3", 0, &kUnclassified},  {u"\\a.web", 0, &kUnclassified},
      {u"\\a.MPEG", 1, &kVideo},        {u"\\a.m4v", 1, &kVideo},        {u"\\a.jpeg", 1, &kImage},
      {u"\\a.png", 1, &kImage},         {u"\\a.m4a", 1, &kAudio},        {u"\\a.mp3", 0, &kUnclassified},
      {u"\\no_extension", 0, &kUnclassified}, {u"\\dir.m3u\\file", 0, &kUnclassified},
  };
  for (const auto& c : kCases) {
    GUID type = kAudio;
    EXPECT_EQ(GetContentTypeFromRegistry(nullptr, c.path, &type, nullptr), c.found) << Narrow(c.path);
    EXPECT_EQ(std::memcmp(&type, c.type, sizeof type), 0) << Narrow(c.path);
  }
  GUID type = kAudio;
  EXPECT_EQ(GetContentTypeFromRegistry(nullptr, nullptr, &type, nullptr), 0);
  EXPECT_EQ(std::memcmp(&type, &kUnclassified, sizeof type), 0);
  EXPECT_EQ(PlaylistProbe.GetContentType, Mp3Decoder.GetContentType);
}

}  // namespace
