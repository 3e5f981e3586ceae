// Device paths to host paths and back: case-insensitive lookup, both separators, "." and "..",
// storage cards as mounts, the program folder as the device's own with the binaries' programs
// showing through it read-only, and the state folder out of reach.
#include "device/paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <winerror.h>

#include "device/device.h"
#include "device/profile.h"
#include "device/text.h"
#include "testing/test_device.h"

namespace zb::device {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"Music/Album One/Track.MP3", "Docs/readme.txt", "\xC3\x9Cn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9/Stra\xC3\x9F" "e.txt"}) {
      Touch(device_.Host(file));
    }
    Touch(device_.card() / "Artist" / "song.ogg");
    Touch(program_ / "zonbrel");  // a program, and what else lies in the binaries' folder
    fs::permissions(program_ / "zonbrel", fs::perms::owner_exec, fs::perm_options::add);
    Touch(program_ / "stale.db");
    Touch(program_ / "sub" / "inner");
    device_.WriteProfile("[program]\nhost = " + program_.string() + "\n");
  }
  void TearDown() override { fs::remove_all(program_); }

  // "root/...", "card/..." and "program/..." name host paths below those folders.
  fs::path Expand(const std::string& h) const {
    if (h.starts_with("card")) return device_.card().string() + h.substr(4);
    if (h.starts_with("program")) return program_.string() + h.substr(7);
    if (h.starts_with("root")) return device_.root().string() + h.substr(4);
    return h;
  }

  static void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
  }

  testing::TestDevice device_;
  fs::path program_ = device_.root().string() + "-program";
};

// Expected host: "root/..." for the device folder, "card/..." and "program/..." for the mounts.
struct Lookup {
  const char16_t* device;
  const char* host;     // nullptr when the lookup fails
  uint32_t error;
};

const Lookup kLookups[] = {
    {u"\\Music\\Album One\\Track.MP3", "root/Music/Album One/Track.MP3", 0},
    {u"\\music\\ALBUM ONE\\track.mp3", "root/Music/Album One/Track.MP3", 0},
    {u"/MUSIC/album one/TRACK.mp3", "root/Music/Album One/Track.MP3", 0},
    {u"\\Music/Album One\\\\track.mp3", "root/Music/Album One/Track.MP3", 0},
    {u"Music\\Album One", "root/Music/Album One", 0},
    {u"\\\u00DCN\u00CFC\u00D6D\u00C9\\stra\u00DFe.TXT", "root/\xC3\x9Cn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9/Stra\xC3\x9F" "e.txt", 0},
    {u"\\Music\\New Song.mp3", "root/Music/New Song.mp3", 0},
    {u"\\MUSIC\\Album One\\NEW.mp3", "root/Music/Album One/NEW.mp3", 0},
    {u"\\", "root", 0},
    {u"", "root", 0},
    {u"\\Music\\..\\Docs\\README.TXT", "root/Docs/readme.txt", 0},
    {u"\\..\\..\\Docs", "root/Docs", 0},
    {u"\\.\\Docs\\.\\readme.txt", "root/Docs/readme.txt", 0},
    {u"\\Missing\\file.txt", nullptr, ERROR_PATH_NOT_FOUND},
    {u"\\Music\\Missing\\Deeper\\file.txt", nullptr, ERROR_PATH_NOT_FOUND},
    {u"\\Docs\\readme.txt\\inside", nullptr, ERROR_PATH_NOT_FOUND},
    {u"\\storage card\\ARTIST\\Song.OGG", "card/Artist/song.ogg", 0},
    {u"/Storage Card", "card", 0},
    {u"\\Storage Card\\..\\Docs", "root/Docs", 0},
    {u"\\Storage Card\\new.txt", "card/new.txt", 0},
    {u"\\Storage Card\\Nope\\new.txt", nullptr, ERROR_PATH_NOT_FOUND},
    {u"\\program files\\ZONBREL\\Zonbrel", "program/zonbrel", 0},
    {u"\\Program Files\\Zonbrel", "root/Program Files/Zonbrel", 0},
    {u"\\Program Files\\Zonbrel\\stale.db", "root/Program Files/Zonbrel/stale.db", 0},  // only programs show
    {u"\\Program Files\\Zonbrel\\metadata.db", "root/Program Files/Zonbrel/metadata.db", 0},
    {u"\\Program Files\\Zonbrel\\sub\\inner", nullptr, ERROR_PATH_NOT_FOUND},
    {u"\\Program Files", "root/Program Files", 0},
    {u"\\.zonbrel", nullptr, ERROR_ACCESS_DENIED},
    {u"\\.ZonBrel", nullptr, ERROR_ACCESS_DENIED},
    {u"\\.zonbrel\\profile.ini", nullptr, ERROR_PATH_NOT_FOUND},
    {u"\\Docs\\..\\.ZONBREL\\profile.ini", nullptr, ERROR_PATH_NOT_FOUND},
};

TEST_F(PathsTest, DevicePathsResolveToHostPaths) {
  for (const Lookup& c : kLookups) {
    std::string name = ToUtf8(c.device);
    uint32_t error = 12345;
    std::optional<fs::path> host = ToHost(c.device, &error);
    if (!c.host) {
      EXPECT_FALSE(host) << name << " -> " << host->string();
      EXPECT_EQ(error, c.error) << name;
      continue;
    }
    ASSERT_TRUE(host) << name << " failed with " << error;
    EXPECT_EQ(*host, Expand(c.host)) << name;
    EXPECT_EQ(error, 0u) << name;
  }
}

TEST_F(PathsTest, ExactSpellingWinsOverOtherCases) {
  Touch(device_.Host("Twins/abc"));
  Touch(device_.Host("Twins/ABC"));
  EXPECT_EQ(ToHost(u"\\Twins\\abc"), device_.Host("Twins/abc"));
  EXPECT_EQ(ToHost(u"\\Twins\\ABC"), device_.Host("Twins/ABC"));
  EXPECT_EQ(ToHost(u"\\Twins\\Abc"), device_.Host("Twins/ABC"));  // first in byte order, every time
}

TEST_F(PathsTest, ProgramFolderIsTheProfilesDevicePath) {
  EXPECT_EQ(ProgramFolder(), u"\\Program Files\\Zonbrel");
  device_.WriteProfile("[program]\nfolder = /Apps/Player/\nhost = " + program_.string() + "\n");
  EXPECT_EQ(ProgramFolder(), u"\\Apps\\Player");
  EXPECT_EQ(ToHost(u"\\apps\\player\\zonbrel"), program_ / "zonbrel");
}

TEST_F(PathsTest, TheProgramFolderIsAFolderOfTheDeviceOverTheBinariesFolder) {
  ToHost(u"\\");
  EXPECT_TRUE(fs::is_directory(device_.Host("Program Files/Zonbrel")));
  auto inside = MountsInside(u"\\PROGRAM FILES");
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0].device, u"\\Program Files\\Zonbrel");
  EXPECT_EQ(inside[0].host, device_.Host("Program Files/Zonbrel"));
  EXPECT_EQ(inside[0].image, program_);
  EXPECT_FALSE(inside[0].storageCard);
  auto top = MountsInside(u"\\");
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].device, u"\\Storage Card");
  EXPECT_TRUE(top[0].storageCard);
}

TEST_F(PathsTest, TheBinariesShowThroughReadOnlyWhereTheDevicesOwnFolderLacksTheName) {
  EXPECT_EQ(ImagesShownIn(u"\\program files\\zonbrel"), std::vector<fs::path>{program_ / "zonbrel"});
  EXPECT_EQ(ImagesShownIn(u"\\Program Files"), std::vector<fs::path>{});
  EXPECT_TRUE(IsReadOnlyHost(program_ / "zonbrel"));
  EXPECT_TRUE(IsReadOnlyHost(program_ / "new.dll")) << "nothing is made there either";
  EXPECT_FALSE(IsReadOnlyHost(device_.Host("Program Files/Zonbrel/metadata.db")));
  EXPECT_FALSE(IsReadOnlyHost(device_.card() / "Artist"));
  // The device's own file of that name, in any case, is the one the device sees.
  Touch(device_.Host("Program Files/Zonbrel/ZONBREL"));
  EXPECT_EQ(ToHost(u"\\Program Files\\Zonbrel\\zonbrel"), device_.Host("Program Files/Zonbrel/ZONBREL"));
  EXPECT_EQ(ImagesShownIn(u"\\Program Files\\Zonbrel"), std::vector<fs::path>{});
}

TEST_F(PathsTest, ADeviceFolderInsideTheBinariesFolderIsStillTheDevicesToWrite) {
  testing::TestDevice inner;
  const fs::path binaries = inner.root().parent_path();
  inner.WriteProfile("[program]\nhost = " + binaries.string() + "\n");
  EXPECT_FALSE(IsReadOnlyHost(inner.Host("Program Files/Zonbrel/metadata.db")));
  EXPECT_TRUE(IsReadOnlyHost(binaries / "elsewhere"));
}

TEST_F(PathsTest, MountQueries) {
  EXPECT_TRUE(MountAt(u"\\storage card\\"));
  EXPECT_FALSE(MountAt(u"\\Storage Card\\Artist"));
  ASSERT_TRUE(MountOf(u"\\Storage Card\\Artist"));
  EXPECT_TRUE(MountOf(u"\\Storage Card\\Artist")->storageCard);
  EXPECT_FALSE(MountOf(u"\\Music"));
  EXPECT_FALSE(MountOf(u"\\Storage Cards"));
}

TEST_F(PathsTest, CardWhoseHostFolderIsGoneIsTakenOut) {
  fs::rename(device_.card(), device_.card().string() + "-out");
  uint32_t error = 0;
  EXPECT_FALSE(ToHost(u"\\Storage Card\\Artist\\song.ogg", &error));
  EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(MountAt(u"\\Storage Card"));
  fs::rename(device_.card().string() + "-out", device_.card());
  EXPECT_EQ(ToHost(u"\\Storage Card\\Artist\\song.ogg"), device_.card() / "Artist" / "song.ogg");
}

TEST_F(PathsTest, NoCardInTheProfileMeansNoCard) {
  device_.WriteProfile("[storage cards]\n");
  EXPECT_FALSE(MountAt(u"\\Storage Card"));
  EXPECT_EQ(ToHost(u"\\Storage Card"), device_.Host("Storage Card"));  // just a name, for creation
}

TEST_F(PathsTest, CardMountedOnTheDeviceFolderStillHidesTheStateFolder) {
  device_.WriteProfile("[storage cards]\nLoop = " + device_.root().string() + "\n");
  uint32_t error = 0;
  EXPECT_FALSE(ToHost(u"\\Loop\\.zonbrel\\profile.ini", &error));
  EXPECT_EQ(error, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ToHost(u"\\Loop\\.zonbrel", &error));
  EXPECT_EQ(ToHost(u"\\Loop\\Docs\\readme.txt"), device_.Host("Docs/readme.txt"));
}

struct Reverse {
  const char* host;  // "root/...", "card/...", "program/..." or an absolute host path
  const char16_t* device;  // nullptr: outside the device
};

const Reverse kReverse[] = {
    {"root/Music/Album One/Track.MP3", u"\\Music\\Album One\\Track.MP3"},
    {"root", u"\\"},
    {"root/\xC3\x9Cn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9", u"\\\u00DCn\u00EFc\u00F6d\u00E9"},
    {"root/Docs/../Music/", u"\\Music"},
    {"card/Artist/song.ogg", u"\\Storage Card\\Artist\\song.ogg"},
    {"card", u"\\Storage Card"},
    {"program/zonbrel", u"\\Program Files\\Zonbrel\\zonbrel"},
    {"program/stale.db", nullptr},  // the binaries' folder shows only its programs
    {"root/.zonbrel/profile.ini", nullptr},
    {"root/.zonbrel", nullptr},
    {"/etc/passwd", nullptr},
    {"/", nullptr},
};

TEST_F(PathsTest, HostPathsMapBackToDevicePaths) {
  for (const Reverse& c : kReverse) {
    std::string h = c.host;
    std::optional<std::u16string> device = ToDevice(Expand(h));
    if (!c.device) {
      EXPECT_FALSE(device) << h;
      continue;
    }
    ASSERT_TRUE(device) << h;
    EXPECT_EQ(*device, c.device) << h;
  }
}

TEST_F(PathsTest, HostPathsRoundTrip) {
  for (fs::path host : {device_.Host("Music/Album One/Track.MP3"), device_.card() / "Artist", program_ / "zonbrel"}) {
    std::optional<std::u16string> device = ToDevice(host);
    ASSERT_TRUE(device) << host;
    EXPECT_EQ(ToHost(*device), host);
  }
}

TEST(NormalizePathTest, PlainForms) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"", u"\\"}, {u"\\", u"\\"}, {u"//a//b/", u"\\a\\b"}, {u"a\\.\\b\\..\\c", u"\\a\\c"},
      {u"\\..\\x", u"\\x"}, {u"\\A b\\C", u"\\A b\\C"},
  };
  for (auto [in, out] : cases) EXPECT_EQ(NormalizePath(in), out) << ToUtf8(in);
}

}  // namespace
}  // namespace zb::device
