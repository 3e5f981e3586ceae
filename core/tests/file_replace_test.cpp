// Whole-file replacement: new contents arrive whole or not at all, and a failure says so.
#include <gtest/gtest.h>

#include "core/common/file_replace.h"
#include "product_device.h"

namespace zb::testing {
namespace {

TEST(ReplaceFileContents, WritesNewAndReplacesExistingFiles) {
  ProductDevice device;
  EXPECT_TRUE(ReplaceFileContents(u"\\data.bin", "first", 5));
  EXPECT_EQ(ReadBytes(device.Host("data.bin")), (std::vector<BYTE>{'f', 'i', 'r', 's', 't'}));
  EXPECT_TRUE(ReplaceFileContents(u"\\DATA.bin", "2nd", 3));  // the device's names have no case
  EXPECT_EQ(ReadDeviceBytes(u"\\data.bin"), (std::vector<BYTE>{'2', 'n', 'd'}));
  EXPECT_TRUE(ReplaceFileContents(u"\\data.bin", nullptr, 0));
  EXPECT_EQ(GetFileAttributesW(u"\\data.bin") & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(ReadDeviceBytes(u"\\data.bin").empty());
  for (const char16_t* left : {u"\\data.bin.new", u"\\data.bin.old"}) {
    EXPECT_EQ(GetFileAttributesW(left), INVALID_FILE_ATTRIBUTES);
  }
}

TEST(ReplaceFileContents, AShortWriteLeavesTheEarlierContentsAndFails) {
  ProductDevice device;
  ASSERT_TRUE(ReplaceFileContents(u"\\data.bin", "keep me", 7));
  std::vector<char> big(4096, 'x');
  {
    FileSizeLimit limit(1000);
    EXPECT_FALSE(ReplaceFileContents(u"\\data.bin", big.data(), static_cast<DWORD>(big.size())));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  }
  EXPECT_EQ(ReadBytes(device.Host("data.bin")), (std::vector<BYTE>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
  EXPECT_FALSE(std::filesystem::exists(device.Host("data.bin.new")));
}

TEST(ReplaceFileContents, BadTargetsFail) {
  ProductDevice device;
  EXPECT_FALSE(ReplaceFileContents(u"\\No Such Folder\\x.bin", "x", 1));
  EXPECT_FALSE(ReplaceFileContents(nullptr, "x", 1));
  EXPECT_FALSE(ReplaceFileContents(u"", "x", 1));
  EXPECT_FALSE(ReplaceFileContents(u"\\x.bin", nullptr, 1));
  CreateDirectoryW(u"\\Folder", nullptr);
  EXPECT_FALSE(ReplaceFileContents(u"\\Folder", "x", 1));  // a folder is not replaced by a file
  EXPECT_TRUE(std::filesystem::is_directory(device.Host("Folder")));
}

}  // namespace
}  // namespace zb::testing
