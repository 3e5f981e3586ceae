// The player's "add to favourites": the playing entry goes in with the decoder's title and
// length, another path bare, and a main playlist showing the favourites keeps its current entry
// through the addition and across a restart.
#include "core/player/favorites_entry.h"
#include "core/player/open_library.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

constexpr char16_t kFavorites[] = u"\\Program Files\\Zonbrel\\Favorites.dat";

class FavoritesEntry : public TransportTest {};

TEST_F(FavoritesEntry, ThePlayingEntryTakesTheDecodersTitleAndLength) {
  EXPECT_FALSE(AddToFavorites(core_.get(), nullptr));  // nothing open, nothing given
  Script().lengths[u"\\Music\\a.fake"] = 200500;
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  ASSERT_TRUE(core_->IsPlaying());
  EXPECT_TRUE(AddToFavorites(core_.get(), nullptr));
  EXPECT_TRUE(AddToFavorites(core_.get(), u"\\Music\\not playing.fake"));
  EXPECT_EQ(ReadDeviceText(kFavorites),
            "[playlist]\r\nFile1=\\Music\\a.fake\r\nTitle1=Title of \\Music\\a.fake\r\nLength1=200\r\n"
            "File2=\\Music\\not playing.fake\r\n");
}

TEST_F(FavoritesEntry, AShownFavoritesPlaylistKeepsItsCurrentEntryAndComesBackBound) {
  AddToFavorites(core_.get(), u"\\Music\\one.fake");
  AddToFavorites(core_.get(), u"\\Music\\two.fake");
  ASSERT_EQ(Playlist().LoadFile(kFavorites, nullptr), 0);
  Playlist().SetFileName(kFavorites);
  Playlist().SetCurrentIndex(1);
  EXPECT_TRUE(AddToFavorites(core_.get(), u"\\Music\\three.fake"));
  ASSERT_EQ(Playlist().GetCount(), 3);
  EXPECT_EQ(Playlist().GetItemPath(2), u"\\Music\\three.fake");
  EXPECT_EQ(Playlist().GetCurrentIndex(), 1);

  core_.reset();
  core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
  OpenLibrary(core_.get());
  EXPECT_EQ(Playlist().GetFileName(), kFavorites);
  EXPECT_EQ(Playlist().GetCount(), 3);
  EXPECT_EQ(Playlist().GetCurrentIndex(), 1);
}

}  // namespace
}  // namespace zb::testing
