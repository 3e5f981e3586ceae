// Resources from files (bitmaps without their file header, icons split into images and their
// group directory, custom types taken as they are) and raw data written in the script.
#include "compile_support.h"

namespace zb::rc::testing {
namespace {

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A 2x1 24-bit BMP file.
std::string BmpFile() {
  std::string dib = Le(40, 4) + Le(2, 4) + Le(1, 4) + Le(1, 2) + Le(24, 2) + Le(0, 4) + Le(8, 4) + Le(2835, 4) +
                    Le(2835, 4) + Le(0, 4) + Le(0, 4) + std::string("\x01\x02\x03\x04\x05\x06\x00\x00", 8);
  return "BM" + Le(14 + dib.size(), 4) + Le(0, 4) + Le(54, 4) + dib;
}

TEST(FilesTest, BitmapIsTheFileWithoutItsFileHeader) {
  ScriptFolder folder;
  folder.Write("art/logo.bmp", BmpFile());
  auto all = Compile(folder, "#define IDB_LOGO 139\nIDB_LOGO BITMAP \"art\\\\logo.bmp\"\n");
  const Resource* r = Find(all, NumberId(kRtBitmap), NumberId(139));
  ASSERT_NE(r, nullptr);
  std::string file = BmpFile();
  EXPECT_EQ(std::string(r->data.begin(), r->data.end()), file.substr(14));
}

TEST(FilesTest, IconBecomesImagesAndAGroupDirectory) {
  ScriptFolder folder;
  std::string image16(40, 'a'), image32(72, 'b');
  std::string ico = Le(0, 2) + Le(1, 2) + Le(2, 2);
  ico += std::string("\x10\x10\x00\x00", 4) + Le(1, 2) + Le(32, 2) + Le(40, 4) + Le(6 + 32, 4);
  ico += std::string("\x20\x20\x00\x00", 4) + Le(1, 2) + Le(32, 2) + Le(72, 4) + Le(6 + 32 + 40, 4);
  ico += image16 + image32;
  folder.Write("app.ico", ico);
  folder.Write("other.ico", ico);
  auto all = Compile(folder, "105 ICON \"app.ico\"\n111 ICON \"other.ico\"\n");
  const Resource* group = Find(all, NumberId(kRtGroupIcon), NumberId(105));
  ASSERT_NE(group, nullptr);
  Expect e;
  e.W(0).W(1).W(2);
  e.Raw("\x10\x10\x00\x00", 4);
  e.W(1).W(32).D(40).W(1);
  e.Raw("\x20\x20\x00\x00", 4);
  e.W(1).W(32).D(72).W(2);
  EXPECT_EQ(group->data, e.data());
  const Resource* second = Find(all, NumberId(kRtGroupIcon), NumberId(111));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->data[6 + 12] | second->data[6 + 13] << 8, 3) << "image ids go on across icons";
  const Resource* big = Find(all, NumberId(kRtIcon), NumberId(2));
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(std::string(big->data.begin(), big->data.end()), image32);
  EXPECT_NE(Find(all, NumberId(kRtIcon), NumberId(4)), nullptr);
}

TEST(FilesTest, CustomTypesByNameAndNumberFromFilesAndScript) {
  ScriptFolder folder;
  folder.Write("skin.zsz", std::string("PK\x03\x04\x00zip", 8));
  auto all = Compile(folder, "140 SKIN \"skin.zsz\"\nhelper WakeupApps \"skin.zsz\"\n600 REGISTRY { \"HKLM\" }\n"
                             "7 300 BEGIN 1, 2L, L\"A\", \"b\" END\n");
  const Resource* skin = Find(all, Named(u"SKIN"), NumberId(140));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->data.size(), 8u);
  EXPECT_NE(Find(all, Named(u"WAKEUPAPPS"), Named(u"HELPER")), nullptr) << "names and types are upper-cased";
  const Resource* reg = Find(all, Named(u"REGISTRY"), NumberId(600));
  ASSERT_NE(reg, nullptr);
  EXPECT_EQ(std::string(reg->data.begin(), reg->data.end()), "HKLM");
  const Resource* raw = Find(all, NumberId(300), NumberId(7));
  ASSERT_NE(raw, nullptr);
  Expect e;
  e.W(1).D(2).W(u'A');
  e.U8('b');
  EXPECT_EQ(raw->data, e.data());
}

TEST(FilesTest, MenuBarDataIsRawData) {
  ScriptFolder folder;
  auto all = Compile(folder, "168 SHMENUBAR DISCARDABLE\nBEGIN\n 168, 2,\n I_IMAGENONE, IDOK, TBSTATE_ENABLED, "
                             "TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE, 40107, 0, NOMENU,\nEND\n");
  const Resource* bar = Find(all, NumberId(kRtRcData), NumberId(168));
  ASSERT_NE(bar, nullptr);
  Expect e;
  e.W(168).W(2).W(0xFFFE).W(1).W(4).W(0x10).W(40107).W(0).W(0xFFFF);
  EXPECT_EQ(bar->data, e.data());
}

}  // namespace
}  // namespace zb::rc::testing
