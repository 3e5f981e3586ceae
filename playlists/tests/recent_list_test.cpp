// The recent list: pairs by id with duplicates moved to the newest end, the bound on all ids
// together, bounded copies of names, and the file beside the program that survives a restart,
// keeps its whole records when cut short, and stays below 256 KB.
#include <string>
#include <vector>

#include "product_device.h"
#include "reader_device.h"
#include "recent_list.h"

namespace zb::testing {
namespace {

constexpr char16_t kFile[] = u"\\Program Files\\Zonbrel\\mrulist.dat";

std::u16string Name(int n) { return u"http://radio/" + FromUtf8(std::to_string(n)); }

std::vector<BYTE> Record(DWORD id, std::u16string_view name) {
  std::vector<BYTE> bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(id >> shift));
  for (char16_t c : name) {
    bytes.push_back(static_cast<BYTE>(c & 0xFF));
    bytes.push_back(static_cast<BYTE>(c >> 8));
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

TEST(RecentList, PairsByIdNewestLastWithinTheBound) {
  ReaderDevice device;
  CRecentList list(nullptr, u"mrulist.dat");
  list.Add(1, u"a");
  list.Add(2, u"a");
  list.Add(1, u"b");
  list.Add(1, u"a");  // moves to the newest end, once
  list.Add(1, u"");   // nothing
  EXPECT_EQ(list.Find(1, 0), 1);
  EXPECT_EQ(list.Find(1, 1), 2);
  EXPECT_EQ(list.Find(1, 2), -1);
  EXPECT_EQ(list.Find(3, 0), -1);
  WCHAR buffer[3];
  EXPECT_EQ(list.GetName(1, buffer, 3, 0), 1);
  EXPECT_EQ(std::u16string(buffer), u"b");
  list.Add(1, u"a long name");
  EXPECT_EQ(list.GetName(1, buffer, 3, 2), 1);
  EXPECT_EQ(std::u16string(buffer), u"a ");  // cut to the buffer, terminated
  EXPECT_EQ(list.GetName(1, buffer, 3, 9), 0);
  list.Remove(2, u"a");
  EXPECT_EQ(list.Find(2, 0), -1);
  for (int i = 0; i < 301; ++i) list.Add(static_cast<DWORD>(i % 3), Name(i).c_str());
  ASSERT_EQ(list.Entries().size(), 300u);
  EXPECT_EQ(list.Entries().front().name, Name(1));
  EXPECT_EQ(list.Entries().back().name, Name(300));
}

TEST(RecentList, SurvivesARestartWithTheBound) {
  ReaderDevice device;
  {
    CRecentList list(nullptr, u"mrulist.dat");
    for (int i = 0; i < 310; ++i) list.Add(7, Name(i).c_str());
    list.Add(8, u"\u266B typed");
    ASSERT_TRUE(list.Save());
  }
  CRecentList next(nullptr, u"mrulist.dat");
  next.Load();
  ASSERT_EQ(next.Entries().size(), 300u);
  EXPECT_EQ(next.Entries().front().name, Name(11));
  EXPECT_EQ(next.Entries().back().name, u"\u266B typed");
  EXPECT_EQ(next.Entries().back().id, 8u);
}

TEST(RecentList, ATruncatedFileReadsItsWholeRecords) {
  ReaderDevice device;
  std::vector<BYTE> bytes = Record(1, u"first");
  const std::vector<BYTE> second = Record(2, u"second");
  bytes.insert(bytes.end(), second.begin(), second.end());
  const std::vector<BYTE> third = Record(3, u"cut short");
  bytes.insert(bytes.end(), third.begin(), third.begin() + 9);
  for (size_t cut : {bytes.size(), size_t{3}, size_t{0}}) {
    WriteBytes(device.Host(u"\\Program Files\\Zonbrel\\mrulist.dat"), std::vector<BYTE>(bytes.begin(), bytes.begin() + cut));
    CRecentList list(nullptr, u"mrulist.dat");
    list.Load();
    const size_t expected = cut == bytes.size() ? 2 : 0;
    ASSERT_EQ(list.Entries().size(), expected) << cut;
    if (expected) {
      EXPECT_EQ(list.Entries()[1].name, u"second");
      EXPECT_EQ(list.Entries()[1].id, 2u);
    }
  }
}

TEST(RecentList, TheFileStaysBelowItsBoundAndAFailedSaveKeepsTheOldOne) {
  ReaderDevice device;
  CRecentList list(nullptr, u"mrulist.dat");
  const std::u16string longName(2000, u'x');
  for (int i = 0; i < 100; ++i) list.Add(1, (longName + Name(i)).c_str());
  ASSERT_TRUE(list.Save());
  const std::vector<BYTE> saved = ReadDeviceBytes(kFile);
  EXPECT_LT(saved.size(), 0x40000u);
  CRecentList next(nullptr, u"mrulist.dat");
  next.Load();
  EXPECT_EQ(next.Entries().back().name, longName + Name(99));
  EXPECT_EQ(next.Entries().size(), saved.size() / Record(1, longName + Name(99)).size());
  {
    FileSizeLimit limit(1000);
    EXPECT_FALSE(list.Save());
  }
  EXPECT_EQ(ReadDeviceBytes(kFile), saved);
}

}  // namespace
}  // namespace zb::testing
