// SQLite's temporary files: names in the temporary folder that tell apart the storage volume
// (by the identity file in its root, made once) and the folder they were proposed in, and the
// leftovers of an earlier run deleted at start.
#include <gtest/gtest.h>

#include <cstring>

#include "library_fixture.h"
#include "library_temp_names.h"
#include "tag_value.h"

namespace {

using namespace libtest;

constexpr GUID kCardId = {0x11223344, 0x5566, 0x7788, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00}};

std::string Named(const std::string& proposed, int size = 260) {
  std::vector<char> buffer(static_cast<size_t>(size), '\0');
  std::memcpy(buffer.data(), proposed.c_str(), std::min<size_t>(proposed.size() + 1, buffer.size()));
  NameTempFile(buffer.data(), size);
  return std::string(buffer.data());
}

// The seed as the naming rule computes it, for checking by hand.
DWORD Fold(DWORD seed, const std::string& folder) {
  for (char c : folder) {
    seed ^= static_cast<DWORD>(static_cast<int>(static_cast<signed char>(c)));
    seed = (seed << 3) | (seed >> 29);
  }
  return seed;
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return text;
}

void WriteIdentity(const fs::path& file, const std::u16string& text) {
  std::ofstream out(file, std::ios::binary);
  const std::u16string withMark = u"\xFEFF" + text;
  out.write(reinterpret_cast<const char*>(withMark.data()), static_cast<std::streamsize>(withMark.size() * 2));
}

std::u16string ReadUtf16(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
}

class TempNamesTest : public LibraryTest {};

TEST_F(TempNamesTest, APathOffAnyVolumeIsSeededWithOne) {
  EXPECT_EQ(Named("\\Library\\etilqs_abc"), "\\Temp\\etilqs_abc-" + Hex(Fold(1, "\\Library\\")));
  EXPECT_EQ(Named("no folder at all"), "no folder at all") << "left alone";
}

TEST_F(TempNamesTest, ACardIsSeededWithTheIdentityItWritesOnce) {
  const std::string first = Named("\\Storage Card\\Music\\kstrzb_x");
  const fs::path identity = device_.card() / "ZBInfo.xml";
  ASSERT_TRUE(fs::exists(identity));
  const std::u16string text = ReadUtf16(identity);
  ASSERT_EQ(text.size(), 96u) << WideToUtf8(text);
  EXPECT_EQ(text.substr(0, 38), u"\xFEFF<DeviceInfo>\r\n    <Zonbrel DeviceID=\"");
  EXPECT_EQ(text.substr(76), u"\"/>\r\n</DeviceInfo>\r\n");
  GUID id{};
  ASSERT_TRUE(TextToGuid(text.substr(38, 38), &id));
  EXPECT_EQ(GuidToText(id), text.substr(38, 38)) << "registry form, upper case";
  DWORD words[4];
  std::memcpy(words, &id, sizeof words);
  EXPECT_EQ(first, "\\Temp\\kstrzb_x-" + Hex(Fold(words[0] ^ words[1] ^ words[2] ^ words[3], "\\Storage Card\\Music\\")));
  // The same volume and folder give the same name; another folder another one.
  EXPECT_EQ(Named("\\Storage Card\\Music\\kstrzb_x"), first);
  EXPECT_NE(Named("\\Storage Card\\Video\\kstrzb_x"), first);
  EXPECT_EQ(ReadUtf16(identity), text) << "written once, then read";
}

TEST_F(TempNamesTest, ThePlatformPlayersIdentityFileIsReadFirst) {
  WriteIdentity(device_.card() / "ZBInfo.xml", u"<DeviceInfo><Zonbrel DeviceID=\"{00000000-0000-0000-0000-000000000001}\"/></DeviceInfo>");
  WriteIdentity(device_.card() / "WMPInfo.xml", u"<x DeviceID=\"" + GuidToText(kCardId) + u"\"/>");
  DWORD words[4];
  std::memcpy(words, &kCardId, sizeof words);
  EXPECT_EQ(Named("\\Storage Card\\a"), "\\Temp\\a-" + Hex(Fold(words[0] ^ words[1] ^ words[2] ^ words[3], "\\Storage Card\\")));
}

TEST_F(TempNamesTest, AnUnreadableIdentityIsReplaced) {
  std::ofstream(device_.card() / "ZBInfo.xml") << "DeviceID=\"not utf-16\"";
  GUID id{};
  EXPECT_FALSE(VolumeIdentity(u"\\Storage Card", &id));
  GUID again{};
  EXPECT_TRUE(VolumeIdentity(u"\\Storage Card", &again));
  EXPECT_EQ(again, id);
}

TEST_F(TempNamesTest, ANameThatWouldNotFitStaysAsProposed) {
  EXPECT_EQ(Named("\\Library\\etilqs_abc", 24), "\\Library\\etilqs_abc");
}

TEST_F(TempNamesTest, LeftoversOfAnEarlierRunAreDeletedAtStart) {
  fs::create_directories(device_.Host("Temp"));
  std::ofstream(device_.Host("Temp/kstrzb_old-1A2B")) << "x";
  std::ofstream(device_.Host("Temp/kstrzb_other.tmp")) << "x";
  std::ofstream(device_.Host("Temp/keep.tmp")) << "x";
  OpenLibrary();
  EXPECT_FALSE(fs::exists(device_.Host("Temp/kstrzb_old-1A2B")));
  EXPECT_FALSE(fs::exists(device_.Host("Temp/kstrzb_other.tmp")));
  EXPECT_TRUE(fs::exists(device_.Host("Temp/keep.tmp")));
}

// A temporary database too big for memory spills to a file: SQLite opens it under the library's
// name in the device's temporary folder, already deleted so nothing stays behind.
TEST_F(TempNamesTest, SqlitesTemporaryFilesLandInTheTemporaryFolder) {
  OpenLibrary();
  Exec("PRAGMA temp_store = FILE; PRAGMA cache_size = 10;");
  Exec("create temporary table big (x); insert into big select randomblob(1000) from "
       "(with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) select i from n);");
  EXPECT_EQ(Scalar(u"select count(*) from big;"), 3000);
  const std::string folder = fs::canonical(device_.Host("Temp")).string() + "/kstrzb_";
  std::vector<std::string> open;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const std::string target = fs::read_symlink(entry.path(), ec).string();
    if (target.rfind(folder, 0) == 0) open.push_back(target);
  }
  ASSERT_EQ(open.size(), 1u);
  EXPECT_NE(open[0].find(" (deleted)"), std::string::npos) << open[0];
  // "kstrzb_" and sixteen random characters, then "-" and the folder's seed in hexadecimal.
  const std::string name = open[0].substr(folder.size() - 7, open[0].find(" (deleted)") - (folder.size() - 7));
  EXPECT_EQ(name.size(), 7u + 16u + 1u + Hex(Fold(1, "\\Library\\")).size()) << name;
  EXPECT_EQ(name.substr(23), "-" + Hex(Fold(1, "\\Library\\")));
}

}  // namespace
