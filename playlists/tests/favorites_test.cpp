// The favourites file beside the program: additions keep what is there, a playlist showing the
// file is read again with its place and its own unsaved changes kept, and a failed write leaves
// the file as it was.
#include <string>
#include <vector>

#include "favorites.h"
#include "product_device.h"
#include "reader_device.h"

namespace zb::testing {
namespace {

constexpr char16_t kFavorites[] = u"\\Program Files\\Zonbrel\\Favorites.dat";

TEST(Favorites, AdditionsGoToTheFileBesideTheProgram) {
  ReaderDevice device;
  EXPECT_EQ(GetFavoritesPath(), kFavorites);
  EXPECT_FALSE(AppendToFavorites(u"", u"Nothing", -2, nullptr));
  EXPECT_FALSE(AppendToFavorites(nullptr, nullptr, -2, nullptr));
  EXPECT_FALSE(device.Exists(kFavorites));

  EXPECT_TRUE(AppendToFavorites(u"http://radio.example.net/live", u"Radio One", -1, nullptr));
  // An entry without a title is a bare path: its length is read again when it is shown.
  EXPECT_TRUE(AppendToFavorites(u"\\Music\\Caf\u00E9.mp3", u"", 200500, nullptr));
  EXPECT_TRUE(AppendToFavorites(u"\\Music\\plain.mp3", nullptr, -2, nullptr));
  EXPECT_EQ(ReadDeviceText(kFavorites),
            "[playlist]\r\nFile1=http://radio.example.net/live\r\nTitle1=Radio One\r\nLength1=-1\r\n"
            "File2=\\Music\\Caf\xC3\xA9.mp3\r\nFile3=\\Music\\plain.mp3\r\n");
}

TEST(Favorites, AShownFavoritesListKeepsItsPlaceAndItsChanges) {
  ReaderDevice device;
  for (const char16_t* path : {u"\\a.mp3", u"\\b.mp3", u"\\c.mp3"}) AppendToFavorites(path, nullptr, -2, nullptr);
  CPlaylist& shown = device.Playlist();
  ASSERT_EQ(shown.LoadFile(kFavorites, nullptr), 0);
  shown.SetFileName(kFavorites);
  shown.SetCurrentIndex(2);
  shown.RemoveItem(0);  // not yet in the file: it must not come back, nor undo the addition
  ASSERT_EQ(shown.GetCurrentIndex(), 1);

  EXPECT_TRUE(AppendToFavorites(u"\\d.mp3", u"Dee", 61000, &shown));
  EXPECT_EQ(shown.GetFileName(), kFavorites);
  EXPECT_EQ(shown.GetTitle(), u"Favorites");
  ASSERT_EQ(shown.GetCount(), 3);
  EXPECT_EQ(shown.GetItemPath(0), u"\\b.mp3");
  EXPECT_EQ(shown.GetItemDisplayName(2), u"Dee");
  EXPECT_EQ(shown.GetCurrentIndex(), 1);
  EXPECT_EQ(ReadDeviceText(kFavorites),
            "[playlist]\r\nFile1=\\b.mp3\r\nFile2=\\c.mp3\r\nFile3=\\d.mp3\r\nTitle3=Dee\r\nLength3=61\r\n");
}

TEST(Favorites, AFailedWriteLeavesTheFileAsItWas) {
  ReaderDevice device;
  AppendToFavorites(u"\\kept.mp3", nullptr, -2, nullptr);
  const std::string earlier = ReadDeviceText(kFavorites);
  {
    FileSizeLimit limit(20);
    EXPECT_FALSE(AppendToFavorites(u"\\Music\\a name too long for the disk.mp3", nullptr, -2, nullptr));
  }
  EXPECT_EQ(ReadDeviceText(kFavorites), earlier);
}

}  // namespace
}  // namespace zb::testing
