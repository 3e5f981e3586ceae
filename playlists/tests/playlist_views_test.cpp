// The view protocol as views see it: batches that hold insert notices back, several views in
// registration order, dead windows skipped, filling one view, queries answered by the views.
#include <vector>

#include "playlist.h"
#include "playlist_view_sink.h"
#include "script_case.h"

namespace {

TEST(PlaylistViews, Batching) {
  ExpectScripts({
      {"ten insertions are held back and sent in order when the batch ends",
       R"(insert \a.mp3
current 0
view 1
batch on
insert \1.mp3
insert \2.mp3
insert \3.mp3
insert \4.mp3
insert \5.mp3 0
insert \6.mp3
insert \7.mp3
insert \8.mp3
insert \9.mp3
insert \10.mp3
batch off
list
)",
       R"(> insert \a.mp3
  -> 0
> current 0
> view 1
> batch on
> insert \1.mp3
  -> 1
> insert \2.mp3
  -> 2
> insert \3.mp3
  -> 3
> insert \4.mp3
  -> 4
> insert \5.mp3 0
  1: PLM_CURRENT 1 0
  -> 0
> insert \6.mp3
  -> 6
> insert \7.mp3
  -> 7
> insert \8.mp3
  -> 8
> insert \9.mp3
  -> 9
> insert \10.mp3
  -> 10
> batch off
  1: PLM_ITEMCHANGED 1 1
  1: PLM_ITEMCHANGED 2 2
  1: PLM_ITEMCHANGED 3 3
  1: PLM_ITEMCHANGED 4 4
  1: PLM_ITEMCHANGED 0 0
  1: PLM_ITEMCHANGED 6 6
  1: PLM_ITEMCHANGED 7 7
  1: PLM_ITEMCHANGED 8 8
  1: PLM_ITEMCHANGED 9 9
  1: PLM_ITEMCHANGED 10 10
  1: PLM_CURRENT 1 0
> list
    0 \5.mp3 "5.mp3" -2 1
  * 1 \a.mp3 "a.mp3" -2 1
    2 \1.mp3 "1.mp3" -2 1
    3 \2.mp3 "2.mp3" -2 1
    4 \3.mp3 "3.mp3" -2 1
    5 \4.mp3 "4.mp3" -2 1
    6 \6.mp3 "6.mp3" -2 1
    7 \7.mp3 "7.mp3" -2 1
    8 \8.mp3 "8.mp3" -2 1
    9 \9.mp3 "9.mp3" -2 1
    10 \10.mp3 "10.mp3" -2 1
  current 1, history, position 0
)"},
      {"ending a batch that was never begun starts none",
       R"(view 1
batch off
insert \a.mp3
batch on
batch on
insert \b.mp3
batch off
batch off
insert \c.mp3
)",
       R"(> view 1
> batch off
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> batch on
> batch on
> insert \b.mp3
  -> 1
> batch off
  1: PLM_ITEMCHANGED 1 1
  1: PLM_CURRENT -1 0
> batch off
> insert \c.mp3
  1: PLM_ITEMCHANGED 2 2
  -> 2
)"},
  });
}

TEST(PlaylistViews, Delivery) {
  ExpectScripts({
      {"every view in order, dead windows skipped, removal takes the first registration",
       R"(view 1
view 2
view 1
insert \a.mp3
dead 2
title Mix
unview 1
current 0
)",
       R"(> view 1
> view 2
> view 1
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  2: PLM_ITEMCHANGED 0 0
  1: PLM_ITEMCHANGED 0 0
  -> 0
> dead 2
> title Mix
  1: PLM_TITLE 0 0
  1: PLM_TITLE 0 0
> unview 1
> current 0
  1: PLM_CURRENT 0 0
)"},
      {"fill lists every entry to one window",
       R"(insert \a.mp3
insert \b.mp3
view 1
view 2
fill 2
fill 3
)",
       R"(> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> view 1
> view 2
> fill 2
  2: PLM_BATCH 0 0
  2: PLM_ITEMCHANGED -1 0
  2: PLM_ITEMCHANGED -1 1
  2: PLM_BATCH 1 0
> fill 3
  3: PLM_BATCH 0 0
  3: PLM_ITEMCHANGED -1 0
  3: PLM_ITEMCHANGED -1 1
  3: PLM_BATCH 1 0
)"},
  });
}

// A view sink whose windows answer queries and may unregister while being told something.
class AnsweringViews : public IPlaylistViewSink {
 public:
  struct Received {
    HWND view;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  CPlaylist* playlist = nullptr;
  HWND leavesOnReset = nullptr;
  std::vector<Received> received;

  BOOL IsViewWindow(HWND) override { return TRUE; }
  LRESULT SendViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam) override {
    received.push_back({view, message, wParam, lParam});
    const LONG number = static_cast<LONG>(reinterpret_cast<INT_PTR>(view));
    if (message == PLM_GETTOPINDEX && number == 2) *reinterpret_cast<LONG*>(lParam) = 40;
    if (message == PLM_GETVISIBLECOUNT && number == 2) *reinterpret_cast<LONG*>(lParam) = 12;
    if (message == PLM_RESET && view == leavesOnReset) playlist->RemoveView(view);
    return number * 100;
  }
};

HWND Window(int number) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(number)); }

class PlaylistQueries : public ::testing::Test {
 protected:
  PlaylistQueries() {
    SetPlaylistViewSink(&views);
    views.playlist = &playlist;
  }
  ~PlaylistQueries() override { SetPlaylistViewSink(nullptr); }

  zb::testing::TestDevice device;
  AnsweringViews views;
  CPlaylist playlist{nullptr};
};

TEST_F(PlaylistQueries, AViewThatAnswersFillsTheResultAndNoViewLeavesMinusOne) {
  EXPECT_EQ(playlist.GetTopIndex(), -1);
  EXPECT_EQ(playlist.GetVisibleCount(), -1);
  playlist.AddView(Window(1));
  EXPECT_EQ(playlist.GetTopIndex(), -1);
  playlist.AddView(Window(2));
  EXPECT_EQ(playlist.GetTopIndex(), 40);
  EXPECT_EQ(playlist.GetVisibleCount(), 12);
}

TEST_F(PlaylistQueries, NotifyAnswersWithTheLastViewsAnswer) {
  playlist.AddView(Window(3));
  playlist.AddView(Window(1));
  EXPECT_EQ(playlist.Notify(1049, 0, 0), 100);
  playlist.RemoveView(Window(1));
  EXPECT_EQ(playlist.Notify(1049, 0, 0), 300);
  playlist.RemoveView(Window(3));
  EXPECT_EQ(playlist.Notify(1049, 0, 0), 0);
}

TEST_F(PlaylistQueries, ScrollCommandsAndTitleReachTheViews) {
  playlist.AddView(Window(1));
  playlist.ScrollTo(7, 3);
  playlist.SendCommand(0);  // no command
  playlist.SendCommand(5);
  playlist.SetTitle(nullptr);
  ASSERT_EQ(views.received.size(), 3u);
  EXPECT_EQ(views.received[0].message, static_cast<UINT>(PLM_SCROLL));
  EXPECT_EQ(views.received[0].wParam, 7u);
  EXPECT_EQ(views.received[0].lParam, 3);
  EXPECT_EQ(views.received[1].message, static_cast<UINT>(PLM_COMMAND));
  EXPECT_EQ(views.received[1].lParam, 5);
  EXPECT_EQ(views.received[2].message, static_cast<UINT>(PLM_TITLE));
  EXPECT_EQ(playlist.GetTitle(), u"");
}

TEST_F(PlaylistQueries, AViewLeavingWhileTold) {
  playlist.AddView(Window(1));
  playlist.AddView(Window(2));
  playlist.AddView(Window(3));
  views.leavesOnReset = Window(1);
  playlist.Clear();
  // Every view registered when the notice went out hears it; the leaver is gone afterwards.
  ASSERT_EQ(views.received.size(), 3u);
  EXPECT_EQ(views.received[2].view, Window(3));
  views.received.clear();
  playlist.Clear();
  ASSERT_EQ(views.received.size(), 2u);
  EXPECT_EQ(views.received[0].view, Window(2));
}

}  // namespace
