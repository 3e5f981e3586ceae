// The download cache in a device folder: numbered files, keys cut at the first line break, time
// to live, the size bound (a download that reaches it is never stored), making room by deleting
// older copies, replacing a key's copy, and clearing leftovers up to the first gap.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cache_file_set.h"
#include "testing/test_device.h"

namespace {

namespace fs = std::filesystem;

class CacheFileSetTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(device_.Host("Cache")); }

  fs::path Host(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "Cache/zbcache%04X.tmp", number);
    return device_.Host(name);
  }
  // A download of `size` bytes as an open file, read from its start.
  HANDLE Download(size_t size, char fill = 'd') {
    const fs::path host = device_.Host("download.bin");
    std::ofstream(host, std::ios::binary) << std::string(size, fill);
    HANDLE file = CreateFileW(u"\\download.bin", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    return file;
  }
  BOOL StoreDownload(CCacheFileSet& set, LPCWSTR key, size_t size, const FILETIME* expiry = nullptr, char fill = 'd') {
    HANDLE file = Download(size, fill);
    const BOOL stored = set.Store(key, file, static_cast<DWORD>(size), expiry);
    CloseHandle(file);
    return stored;
  }
  std::string CopiedOut(CCacheFileSet& set, LPCWSTR key, BOOL* result) {
    HANDLE out = CreateFileW(u"\\out.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    *result = set.CopyTo(key, out);
    CloseHandle(out);
    std::ifstream in(device_.Host("out.bin"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  zb::testing::TestDevice device_;
};

TEST_F(CacheFileSetTest, CopiesAreNumberedFilesThatComeBackWhole) {
  CCacheFileSet set(nullptr, 100000, u"\\Cache");
  EXPECT_EQ(set.GetCacheFileName(10), u"\\Cache\\zbcache000A.tmp");
  EXPECT_EQ(set.GetCacheFileName(0x12345), u"\\Cache\\zbcache12345.tmp");
  ASSERT_TRUE(set.CanStore(u"http://a/1", 5000));
  ASSERT_TRUE(StoreDownload(set, u"http://a/1", 5000, nullptr, 'x'));
  ASSERT_TRUE(StoreDownload(set, u"http://a/2", 10, nullptr, 'y'));
  EXPECT_TRUE(fs::exists(Host(0)));
  EXPECT_TRUE(fs::exists(Host(1)));
  EXPECT_EQ(set.GetCacheFileName(-1), u"\\Cache\\zbcache0002.tmp");
  BOOL copied = FALSE;
  EXPECT_EQ(CopiedOut(set, u"http://a/1", &copied), std::string(5000, 'x')) << "more than one block";
  EXPECT_TRUE(copied);
  EXPECT_EQ(set.Total(), 5010u);
  CopiedOut(set, u"http://a/none", &copied);
  EXPECT_FALSE(copied);
}

TEST_F(CacheFileSetTest, AKeyIsCutAtItsFirstLineBreak) {
  CCacheFileSet set(nullptr, 100000, u"\\Cache");
  ASSERT_TRUE(StoreDownload(set, u"http://a/1\r\nHost: x", 10));
  EXPECT_TRUE(set.IsCached(u"http://a/1", nullptr));
  EXPECT_TRUE(set.IsCached(u"http://a/1\nmore", nullptr));
  EXPECT_FALSE(set.IsCached(u"http://a/", nullptr));
}

TEST_F(CacheFileSetTest, ACopyServesUntilItExpires) {
  CCacheFileSet set(nullptr, 100000, u"\\Cache");
  const FILETIME expiry{1000, 5};
  ASSERT_TRUE(StoreDownload(set, u"http://a/1", 10, &expiry));
  ASSERT_TRUE(StoreDownload(set, u"http://a/forever", 10));
  const FILETIME before{999, 5}, at{1000, 5}, after{1001, 5}, far{0xFFFFFFFF, 0x7FFFFFFE};
  EXPECT_TRUE(set.IsCached(u"http://a/1", &before));
  EXPECT_TRUE(set.IsCached(u"http://a/1", &at));
  EXPECT_FALSE(set.IsCached(u"http://a/1", &after));
  EXPECT_TRUE(set.IsCached(u"http://a/1", nullptr));
  EXPECT_TRUE(set.IsCached(u"http://a/forever", &far));
}

TEST_F(CacheFileSetTest, ADownloadThatReachesTheBoundIsNeverStored) {
  constexpr DWORD kBound = 2 * 1024 * 1024;
  CCacheFileSet set(nullptr, kBound, u"\\Cache");
  ASSERT_TRUE(StoreDownload(set, u"http://a/small", 1000));
  EXPECT_FALSE(set.CanStore(u"http://a/big", 3 * 1024 * 1024));
  EXPECT_FALSE(set.CanStore(u"http://a/big", kBound));
  EXPECT_TRUE(set.IsCached(u"http://a/small", nullptr)) << "nothing was evicted for it";
  EXPECT_FALSE(StoreDownload(set, u"http://a/big", 3 * 1024 * 1024)) << "not even when asked directly";
  EXPECT_FALSE(fs::exists(Host(1)));
  EXPECT_EQ(set.Total(), 1000u);
}

TEST_F(CacheFileSetTest, RoomIsMadeFromTheOldestOrABigEnoughCopy) {
  CCacheFileSet set(nullptr, 1000, u"\\Cache");
  ASSERT_TRUE(StoreDownload(set, u"k1", 100));
  ASSERT_TRUE(StoreDownload(set, u"k2", 500));
  ASSERT_TRUE(StoreDownload(set, u"k3", 300));
  ASSERT_TRUE(set.CanStore(u"k4", 400));  // needs 300: k2 is big enough and larger than k1
  EXPECT_TRUE(set.IsCached(u"k1", nullptr));
  EXPECT_FALSE(set.IsCached(u"k2", nullptr));
  EXPECT_FALSE(fs::exists(Host(1)));
  EXPECT_EQ(set.Total(), 400u);
  ASSERT_TRUE(StoreDownload(set, u"k4", 400));
  // Needs 50: the first copy is k1, but a later one that is big enough and larger replaces it.
  ASSERT_TRUE(set.CanStore(u"k5", 250));
  EXPECT_TRUE(set.IsCached(u"k1", nullptr));
  EXPECT_TRUE(set.IsCached(u"k3", nullptr));
  EXPECT_FALSE(set.IsCached(u"k4", nullptr));
  EXPECT_EQ(set.Total(), 400u);
  // A copy whose file went is dropped rather than counted against the room.
  fs::remove(Host(2));
  ASSERT_TRUE(set.CanStore(u"k6", 650));
  EXPECT_FALSE(set.IsCached(u"k3", nullptr));
  EXPECT_TRUE(set.IsCached(u"k1", nullptr));
  EXPECT_EQ(set.Total(), 100u);
  EXPECT_FALSE(set.CanStore(u"\\download.bin", 1)) << "a local file is not cached";
}

TEST_F(CacheFileSetTest, StoringAKeyAgainReplacesItsCopy) {
  CCacheFileSet set(nullptr, 100000, u"\\Cache");
  ASSERT_TRUE(StoreDownload(set, u"k", 100, nullptr, 'a'));
  ASSERT_TRUE(StoreDownload(set, u"k", 30, nullptr, 'b'));
  EXPECT_EQ(set.Total(), 30u);
  EXPECT_EQ(set.Count(), 1u);
  EXPECT_FALSE(fs::exists(Host(0)));
  BOOL copied = FALSE;
  EXPECT_EQ(CopiedOut(set, u"k", &copied), std::string(30, 'b'));
  HANDLE file = Download(10);
  EXPECT_FALSE(set.Store(u"k", file, 11, nullptr)) << "a short copy is not kept";
  CloseHandle(file);
  EXPECT_FALSE(fs::exists(Host(0)));
  EXPECT_EQ(set.Total(), 30u);
}

TEST_F(CacheFileSetTest, LeftoversGoUpToTheFirstGapAndTheSetLeavesNothing) {
  for (int number : {0, 1, 2, 3, 5}) std::ofstream(Host(number)) << "old";
  {
    CCacheFileSet set(nullptr, 100000, u"\\Cache");
    for (int number : {0, 1, 2, 3}) EXPECT_FALSE(fs::exists(Host(number))) << number;
    EXPECT_TRUE(fs::exists(Host(5))) << "after the gap at 4";
    ASSERT_TRUE(StoreDownload(set, u"k", 10));
    EXPECT_TRUE(fs::exists(Host(0)));
  }
  EXPECT_FALSE(fs::exists(Host(0))) << "the set clears its files at its end";
}

}  // namespace
