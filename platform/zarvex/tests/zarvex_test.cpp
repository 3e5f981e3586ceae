// zarvex through its ordinals, as the skin loads it: listing names at any depth, extracting one
// entry under its file-name part, hostile names kept inside the destination, and damaged or
// missing archives refused without leaving a file behind.
#include <gtest/gtest.h>
#include <zarvex.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "testing/test_device.h"

namespace zb::testing {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class Zarvex : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(u"zarvex.dll");
    ASSERT_NE(module_, nullptr);
    list_ = reinterpret_cast<ZARVEX_LIST_FN>(At(ZARVEX_ORDINAL_LIST));
    extract_ = reinterpret_cast<ZARVEX_EXTRACT_FN>(At(ZARVEX_ORDINAL_EXTRACT));
    begin_ = reinterpret_cast<ZARVEX_COUNT_FN>(At(ZARVEX_ORDINAL_BEGIN_COUNT));
    end_ = reinterpret_cast<ZARVEX_COUNT_FN>(At(ZARVEX_ORDINAL_END_COUNT));
    ASSERT_TRUE(list_ && extract_ && begin_ && end_ && At(ZARVEX_ORDINAL_SETUP));
    std::filesystem::create_directories(device_.Host("out"));
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  void (*At(int ordinal))() {
    return reinterpret_cast<void (*)()>(GetProcAddressW(module_, MAKEINTRESOURCEW(ordinal)));
  }
  // Writes "\<name>" with the entries, stored uncompressed so that tests can damage their bytes.
  std::u16string Archive(const std::string& name, const Entries& entries) {
    const std::string host = device_.Host(name).string();
    int error = 0;
    zip_t* z = zip_open(host.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(z, nullptr);
    for (const auto& [entry, bytes] : entries) {
      zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
      const zip_int64_t index = zip_file_add(z, entry.c_str(), src, ZIP_FL_ENC_UTF_8);
      EXPECT_GE(index, 0) << entry;
      zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    EXPECT_EQ(zip_close(z), 0);
    return u"\\" + std::u16string(name.begin(), name.end());
  }
  std::vector<std::u16string> List(const std::u16string& archive, int capacity, int* count, int* result) {
    std::vector<ZARVEX_ENTRY> entries(static_cast<size_t>(capacity));
    *count = capacity;
    *result = list_(archive.c_str(), entries.data(), count);
    std::vector<std::u16string> names;
    for (int i = 0; i < std::min(*count, capacity); ++i) names.emplace_back(entries[i].name);
    return names;
  }
  std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
      names.push_back(std::filesystem::relative(e.path(), folder).generic_string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Read(const std::filesystem::path& host) {
    std::ifstream in(host, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TestDevice device_;
  HMODULE module_ = nullptr;
  ZARVEX_LIST_FN list_ = nullptr;
  ZARVEX_EXTRACT_FN extract_ = nullptr;
  ZARVEX_COUNT_FN begin_ = nullptr, end_ = nullptr;
};

TEST_F(Zarvex, ListsEveryNameWithItsFoldersAndTheTrueCount) {
  const std::u16string a = Archive("skin.zsz", {{"script.txt", "A"}, {"img/main.bmp", "B"}, {"x/y/\xC3\xA9t\xC3\xA9.png", "C"}});
  int count = 0, result = 0;
  EXPECT_EQ(List(a, 65, &count, &result), (std::vector<std::u16string>{u"script.txt", u"img/main.bmp", u"x/y/\u00E9t\u00E9.png"}));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(count, 3);
  // A table too small gets what fits; the count still tells how many there are.
  EXPECT_EQ(List(a, 2, &count, &result).size(), 2u);
  EXPECT_EQ(count, 3);
}

TEST_F(Zarvex, ExtractsOneEntryUnderItsFileNamePartAndCountsIt) {
  const std::u16string a = Archive("skin.zsz", {{"script.txt", "A"}, {"img/main.bmp", "BITMAP BYTES"}});
  begin_(0);
  EXPECT_EQ(extract_(a.c_str(), u"\\out", 17, 2), 1);
  EXPECT_EQ(end_(0), 1);
  EXPECT_EQ(FilesIn(device_.Host("out")), (std::vector<std::string>{"main.bmp"}));
  EXPECT_EQ(Read(device_.Host("out/main.bmp")), "BITMAP BYTES");
  // Indices outside the archive write nothing.
  begin_(0);
  for (int index : {0, 3, -1}) EXPECT_EQ(extract_(a.c_str(), u"\\out", 17, index), 0) << index;
  EXPECT_EQ(end_(0), 0);
}

TEST_F(Zarvex, HostileNamesStayInsideTheDestination) {
  const std::u16string a = Archive("evil.zsz", {{"../../escape.txt", "1"}, {"..\\..\\back.txt", "2"}, {"/abs/root.txt", "3"},
                                                {"dir/..", "4"}, {"folder/", ""}});
  for (int index = 1; index <= 5; ++index) extract_(a.c_str(), u"\\out", 17, index);
  EXPECT_EQ(FilesIn(device_.Host("out")), (std::vector<std::string>{"back.txt", "escape.txt", "root.txt"}));
  EXPECT_EQ(Read(device_.Host("out/escape.txt")), "1");
  // Nothing landed beside the destination or at the device root.
  for (const char* outside : {"escape.txt", "back.txt", "abs/root.txt", "root.txt"})
    EXPECT_FALSE(std::filesystem::exists(device_.Host(outside))) << outside;
}

TEST_F(Zarvex, DamagedOrMissingArchivesAreRefusedAndLeaveNoFile) {
  const std::string payload(4000, 'p');
  const std::u16string a = Archive("bad.zsz", {{"data.bin", payload}});
  // Flip a byte of the stored data: the entry's checksum no longer holds.
  std::string bytes = Read(device_.Host("bad.zsz"));
  const size_t at = bytes.find(payload.substr(0, 64));
  ASSERT_NE(at, std::string::npos);
  bytes[at + 2000] = 'q';
  std::ofstream(device_.Host("bad.zsz"), std::ios::binary | std::ios::trunc) << bytes;
  begin_(0);
  EXPECT_EQ(extract_(a.c_str(), u"\\out", 17, 1), 0);
  EXPECT_EQ(end_(0), 0);
  EXPECT_TRUE(FilesIn(device_.Host("out")).empty()) << "a half-written entry is removed";

  // A cut archive has no central directory to list.
  std::ofstream(device_.Host("cut.zsz"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  std::ofstream(device_.Host("junk.zsz"), std::ios::binary) << "PK\x03\x04 not an archive";
  int count = 0, result = 0;
  for (const char16_t* name : {u"\\cut.zsz", u"\\junk.zsz", u"\\missing.zsz"}) {
    EXPECT_TRUE(List(name, 65, &count, &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(extract_(name, u"\\out", 17, 1), 0);
  }
  EXPECT_TRUE(FilesIn(device_.Host("out")).empty());
}

}  // namespace
}  // namespace zb::testing
