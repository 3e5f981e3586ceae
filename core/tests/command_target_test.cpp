// The main window's own command target on a real core: storing a bookmark keeps one per item at
// the last refreshed position, and resuming seeks the item that plays to its bookmark, or leaves
// an item without one where it is.
#include "core/window/command_target.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

class CoreTarget : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    Script().lengths[kSong] = 120000;
    AddItems({kSong, kOther});
    SetCommandTarget(nullptr);
  }
  static constexpr const char16_t* kSong = u"\\Music\\song.fake";
  static constexpr const char16_t* kOther = u"\\Music\\other.fake";
  ICommandTarget* target = GetCommandTarget();
};

TEST_F(CoreTarget, StoringABookmarkKeepsOnePerItemAndResumingSeeksToIt) {
  target->Play();
  PlayFor(30000);
  target->StoreBookmark();
  PlayFor(20000);
  target->StoreBookmark();
  LONG position = -1;
  EXPECT_EQ(core_->GetBookmarkText(0, &position), kSong);
  EXPECT_EQ(position, 50000) << "the second replaced the first";
  EXPECT_TRUE(core_->GetBookmarkText(1, nullptr).empty());

  ASSERT_EQ(target->SeekTo(90000), 1);
  target->ResumeFromBookmark();
  EXPECT_EQ(target->GetOutputTime(), 50000);

  target->NextItem();
  ASSERT_EQ(Current(), kOther);
  PlayFor(4000);
  const int before = target->GetOutputTime();
  target->ResumeFromBookmark();
  EXPECT_EQ(target->GetOutputTime(), before) << "no bookmark of its own: left where it is";
}

}  // namespace
}  // namespace zb::testing
