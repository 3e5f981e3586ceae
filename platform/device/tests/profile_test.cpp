// The device profile: defaults (and the file written with them), a profile that changes the
// screen and takes the card out, and faulty profiles that keep what they can and say why.
#include "device/profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "device/device.h"
#include "device/profile_file.h"
#include "device/text.h"
#include "device/user_dirs.h"
#include "testing/env_scope.h"
#include "testing/test_device.h"

namespace zb::device {
namespace {

namespace fs = std::filesystem;

using zb::testing::EnvScope;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// The figures of a device that most tests look at together.
struct DeviceKind {
  uint32_t width, height, dpi, depth;
  std::u16string_view platform;
  uint32_t major, minor;
};

void ExpectKind(const Profile& p, const DeviceKind& k) {
  EXPECT_EQ(p.screenWidth, k.width);
  EXPECT_EQ(p.screenHeight, k.height);
  EXPECT_EQ(p.dpi, k.dpi);
  EXPECT_EQ(p.colorDepth, k.depth);
  EXPECT_EQ(p.platformType, k.platform);
  EXPECT_EQ(p.osMajor, k.major);
  EXPECT_EQ(p.osMinor, k.minor);
}

class ProfileTest : public ::testing::Test {
 protected:
  std::string DebugLogText() { return ReadAll(StateFolder() / "debug.log"); }

  testing::TestDevice device_;
};

// A device with no profile at all, in a home whose music folder is known.
class DefaultProfileTest : public ProfileTest {
 protected:
  void SetUp() override {
    fs::remove(ProfilePath());
    UseRoot(device_.root());
  }
  fs::path home_ = device_.root().parent_path() / (device_.root().filename().string() + "-home");
  EnvScope homeEnv_{"HOME", home_.string()};
  EnvScope configEnv_{"XDG_CONFIG_HOME", nullptr};

 public:
  ~DefaultProfileTest() override { fs::remove_all(home_); }
};

TEST_F(DefaultProfileTest, MissingProfileGivesTheDefaultDevice) {
  fs::create_directories(home_ / "Music");
  auto p = CurrentProfile();
  ExpectKind(*p, {240, 320, 96, 16, u"PocketPC", 5, 1});
  EXPECT_EQ(p->ansiCodePage, 1252u);
  EXPECT_EQ(p->programFolder, u"\\Program Files\\Zonbrel");
  EXPECT_EQ(p->programHost, fs::read_symlink("/proc/self/exe").parent_path());
  EXPECT_LE(p->availablePhysical, p->totalPhysical);
  EXPECT_LE(p->freeStore, p->storeSize);
  ASSERT_EQ(p->storageCards.size(), 1u);
  EXPECT_EQ(p->storageCards[0].name, u"Storage Card");
  EXPECT_EQ(p->storageCards[0].host, home_ / "Music");
  for (const char16_t* lib : {u"coredll", u"aygshell", u"commctrl", u"ole32", u"oleaut32", u"ws2", u"cellcore",
                              u"phone", u"ceshell", u"note_prj", u"imgdecmp"}) {
    EXPECT_TRUE(p->HasLibrary(lib)) << ToUtf8(lib);
  }
  EXPECT_FALSE(p->HasLibrary(u"nosuchlib"));
}

TEST_F(DefaultProfileTest, MissingProfileIsWrittenWithTheDefaultsAndReadsBackCleanly) {
  auto p = CurrentProfile();
  ASSERT_TRUE(fs::exists(ProfilePath()));
  std::string text = ReadAll(ProfilePath());
  EXPECT_NE(text.find("width = 240"), std::string::npos);
  EXPECT_NE(text.find("platform = PocketPC"), std::string::npos);

  Profile reread;
  reread.libraries.clear();
  std::vector<std::string> messages;
  ReadProfileText(text, "profile.ini", reread, messages);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(reread.libraries, p->libraries);
  EXPECT_EQ(reread.oemInfo, p->oemInfo);
  EXPECT_EQ(reread.totalPhysical, p->totalPhysical);
  EXPECT_EQ(DebugLogText().find("profile.ini"), std::string::npos);
}

TEST_F(DefaultProfileTest, NoMusicFolderMeansTheDefaultCardIsAbsentFromTheMounts) {
  auto p = CurrentProfile();
  ASSERT_FALSE(fs::exists(home_ / "Music"));
  for (const auto& card : p->storageCards) EXPECT_FALSE(fs::is_directory(card.host));
}

struct MusicCase {
  const char* name;
  const char* userDirs;  // nullptr: no user-dirs.dirs file
  const char* expected;  // relative to the home; "" for none; "/..." absolute
};

const MusicCase kMusicCases[] = {
    {"no file", nullptr, "Music"},
    {"home relative", "XDG_MUSIC_DIR=\"$HOME/Musik\"\n", "Musik"},
    {"absolute", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"/srv/tunes\"\n", "/srv/tunes"},
    {"last entry wins", "XDG_MUSIC_DIR=\"$HOME/A\"\nXDG_MUSIC_DIR=\"$HOME/B\"\n", "B"},
    {"comment ignored", "# XDG_MUSIC_DIR=\"$HOME/Old\"\nXDG_MUSIC_DIR=\"$HOME/New\"\n", "New"},
    {"switched off", "XDG_MUSIC_DIR=\"$HOME/\"\n", ""},
    {"escaped quote", "XDG_MUSIC_DIR=\"$HOME/My \\\"Music\\\"\"\n", "My \"Music\""},
    {"other entries only", "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n", "Music"},
};

TEST_F(DefaultProfileTest, MusicFolderFollowsUserDirs) {
  for (const MusicCase& c : kMusicCases) {
    fs::remove_all(home_);
    if (c.userDirs) WriteAll(home_ / ".config" / "user-dirs.dirs", c.userDirs);
    fs::path expected = std::string(c.expected).empty()       ? fs::path()
                        : c.expected[0] == '/' ? fs::path(c.expected)
                                                              : home_ / c.expected;
    EXPECT_EQ(UserMusicFolder(), expected) << c.name;
  }
}

TEST_F(DefaultProfileTest, MusicFolderHonoursXdgConfigHome) {
  WriteAll(home_ / "elsewhere" / "user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Songs\"\n");
  EnvScope config("XDG_CONFIG_HOME", (home_ / "elsewhere").string());
  EXPECT_EQ(UserMusicFolder(), home_ / "Songs");
}

TEST_F(ProfileTest, CustomScreenAndNoStorageCard) {
  device_.WriteProfile(
      "[os]\nplatform = smartphone\nmajor = 6\nminor = 0\n"
      "[screen]\nwidth = 480\nheight = 640\ndpi = 192\ndepth = 32\n"
      "[storage cards]\n");
  auto p = CurrentProfile();
  ExpectKind(*p, {480, 640, 192, 32, u"SmartPhone", 6, 0});
  EXPECT_TRUE(p->storageCards.empty());
  EXPECT_EQ(p->ansiCodePage, 1252u);  // untouched keys keep their defaults
  EXPECT_EQ(DebugLogText().find("profile.ini"), std::string::npos);
}

TEST_F(ProfileTest, CardsProgramFolderAndLibrariesFromTheProfile) {
  device_.WriteProfile(
      "[storage cards]\nSD Card = /media/sd\nCF = ~/cf\n"
      "[program]\nfolder = /Apps//Player/\nhost = /opt/player\n"
      "[libraries]\nphone = absent\nCellCore.dll = no\nextra = present\n");
  auto p = CurrentProfile();
  ASSERT_EQ(p->storageCards.size(), 2u);
  EXPECT_EQ(p->storageCards[0].name, u"SD Card");
  EXPECT_EQ(p->storageCards[0].host, "/media/sd");
  EXPECT_EQ(p->storageCards[1].host, fs::path(std::getenv("HOME")) / "cf");
  EXPECT_EQ(p->programFolder, u"\\Apps\\Player");
  EXPECT_EQ(p->programHost, "/opt/player");
  EXPECT_FALSE(p->HasLibrary(u"phone"));
  EXPECT_FALSE(p->HasLibrary(u"\\Windows\\cellcore.dll"));
  EXPECT_TRUE(p->HasLibrary(u"EXTRA.DLL"));
  EXPECT_TRUE(p->HasLibrary(u"\\Windows\\AYGSHELL.DLL"));
}

// Each faulty line with what its message must say; the good lines around them must survive.
struct BadLine {
  const char* line;
  const char* message;
};

const BadLine kBadLines[] = {
    {"this line has no equals sign", "not a \"key = value\" line"},
    {"colour = blue", "unknown key \"colour\""},
    {"width = wide", "\"width\" needs a number"},
    {"height = 99999", "\"height\" needs a number"},
    {"dpi = -5", "\"dpi\" needs a number"},
    {"depth = 15", "\"depth\" must be"},
    {"[gadgets", "must end with \"]\""},
    {"[gadgets]", "unknown section [gadgets]"},
    {"[os]", nullptr},
    {"platform = Toaster", "platform must be PocketPC or SmartPhone"},
    {"major = 5.1", "\"major\" needs a number"},
    {"= 7", "a line without a key"},
    {"[memory]", nullptr},
    {"available physical = 0x7FFFFFFFF", "needs a number"},
    {"[program]", nullptr},
    {"folder = Program Files", "must be a device path"},
    {"folder = \\", "cannot be the device root"},
    {"folder = \\Pro*gram", "a name the device does not allow"},
    {"host = relative/bin", "absolute path"},
    {"[storage cards]", nullptr},
    {"Bad:Name = /tmp", "cannot be a storage card's name"},
    {"Card = relative", "needs an absolute host folder"},
    {"Card = /one", nullptr},
    {"card = /two", "is listed twice"},
    {"[libraries]", nullptr},
    {"phone = maybe", "needs \"present\" or \"absent\""},
    {"[audio]", nullptr},
    {"rates = 22050, fast", "needs sample rates from 1000 to 192000, not \"fast\""},
    {"rates = 500", "not \"500\""},
    {"rates = ,", "at least one sample rate"},
    {"[network]", nullptr},
    {"proxy = my proxy:80", "\"host\" or \"host:port\""},
};

TEST_F(ProfileTest, CorruptProfileKeepsReadableLinesAndReportsEachBadOne) {
  std::string text = "[screen]\nwidth = 320\n";  // lines 1-2 are good
  for (const BadLine& b : kBadLines) text += std::string(b.line) + "\n";
  text += "[os]\noem = Still Read\n";
  device_.WriteProfile(text);
  auto p = CurrentProfile();

  ExpectKind(*p, {320, 320, 96, 16, u"PocketPC", 5, 1});
  EXPECT_EQ(p->oemInfo, u"Still Read");
  EXPECT_EQ(p->programFolder, u"\\Program Files\\Zonbrel");
  ASSERT_EQ(p->storageCards.size(), 1u);
  EXPECT_EQ(p->storageCards[0].host, "/one");
  EXPECT_TRUE(p->HasLibrary(u"phone"));

  std::string log = DebugLogText();
  for (size_t i = 0; i < std::size(kBadLines); ++i) {
    if (!kBadLines[i].message) continue;
    std::string where = ProfilePath().string() + ":" + std::to_string(i + 3) + ": ";
    size_t at = log.find(where);
    ASSERT_NE(at, std::string::npos) << "no message for line " << i + 3 << ": " << kBadLines[i].line << "\n" << log;
    std::string message = log.substr(at, log.find('\n', at) - at);
    EXPECT_NE(message.find(kBadLines[i].message), std::string::npos) << message;
  }
}

TEST_F(ProfileTest, SoundRatesAndProxyFromTheProfile) {
  auto defaults = CurrentProfile();
  EXPECT_EQ(defaults->audioRates, (std::vector<uint32_t>{8000, 11025, 16000, 22050, 32000, 44100, 48000}));
  EXPECT_EQ(defaults->proxy, u"");

  device_.WriteProfile("[audio]\nrates = 44100 22050,8000, 44100\n[network]\nproxy = cache.example:3128\n");
  auto p = CurrentProfile();
  EXPECT_EQ(p->audioRates, (std::vector<uint32_t>{44100, 22050, 8000}));
  EXPECT_EQ(p->proxy, u"cache.example:3128");
  EXPECT_EQ(DebugLogText().find("profile.ini:"), std::string::npos) << DebugLogText();
}

TEST_F(ProfileTest, LinesOfAnUnknownSectionAreReportedOnceAtItsHeader) {
  device_.WriteProfile("[gadgets]\nspeed = 3\ncolour = red\n[screen]\ndpi = 120\n");
  EXPECT_EQ(CurrentProfile()->dpi, 120u);
  std::string log = DebugLogText();
  EXPECT_NE(log.find(":1: unknown section [gadgets]"), std::string::npos) << log;
  EXPECT_EQ(log.find(":2:"), std::string::npos) << log;
  EXPECT_EQ(log.find(":3:"), std::string::npos) << log;
}

TEST_F(ProfileTest, PartLargerThanItsWholeIsTakenAsTheWhole) {
  device_.WriteProfile("[memory]\ntotal physical = 1000\navailable physical = 5000\n[store]\nsize = 10\nfree = 11\n");
  auto p = CurrentProfile();
  EXPECT_EQ(p->availablePhysical, 1000u);
  EXPECT_EQ(p->freeStore, 10u);
  EXPECT_NE(DebugLogText().find("free store is larger than the total"), std::string::npos);
}

TEST_F(ProfileTest, BinaryGarbageGivesDefaultsWithoutCrashing) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  junk += "\n[screen]\r\nheight = 400\r\n";  // CRLF lines still read
  device_.WriteProfile(junk);
  auto p = CurrentProfile();
  EXPECT_EQ(p->screenWidth, 240u);
  EXPECT_EQ(p->screenHeight, 400u);
  EXPECT_NE(DebugLogText().find("profile.ini:1:"), std::string::npos);
}

TEST_F(ProfileTest, ProfileIsReadOncePerDeviceGeneration) {
  device_.WriteProfile("[screen]\nwidth = 300\n");
  EXPECT_EQ(CurrentProfile()->screenWidth, 300u);
  std::ofstream(ProfilePath(), std::ios::trunc) << "[screen]\nwidth = 400\n";
  EXPECT_EQ(CurrentProfile()->screenWidth, 300u);
  UseRoot(device_.root());
  EXPECT_EQ(CurrentProfile()->screenWidth, 400u);
}

}  // namespace
}  // namespace zb::device
