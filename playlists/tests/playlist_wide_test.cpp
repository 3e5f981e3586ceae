// Playlists beyond 65,535 entries: moves whose indices do not fit the packed 16-bit form reach
// the views in full, and a view that mirrors the list from the notices alone stays equal to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "playlist.h"
#include "playlist_view_sink.h"
#include "testing/test_device.h"

namespace {

constexpr int kEntries = 70000;

// A view that keeps its own copy of the list from the notices it receives, as a duplicator does.
class MirrorView : public IPlaylistViewSink {
 public:
  explicit MirrorView(const CPlaylist& playlist) : playlist_(playlist) {}

  std::vector<std::u16string> rows;
  std::vector<std::pair<WPARAM, LPARAM>> moves;  // as received
  int current = -1;

  BOOL IsViewWindow(HWND) override { return TRUE; }
  LRESULT SendViewMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case PLM_ITEMCHANGED:
        rows.insert(rows.begin() + static_cast<LONG>(lParam), playlist_.GetItemPath(static_cast<int>(lParam)));
        break;
      case PLM_REMOVED:
        rows.erase(rows.begin() + static_cast<LONG>(wParam));
        break;
      case PLM_CURRENT:
        current = static_cast<int>(static_cast<LONG>(wParam));
        break;
      case PLM_MOVED: {
        moves.emplace_back(wParam, lParam);
        LONG from = 0, to = 0;
        BOOL shift = FALSE;
        CrackPlaylistMove(wParam, lParam, &from, &to, &shift);
        if (!shift) {
          std::swap(rows[static_cast<size_t>(from)], rows[static_cast<size_t>(to)]);
        } else if (from < to) {
          std::rotate(rows.begin() + from, rows.begin() + from + 1, rows.begin() + to + 1);
        } else {
          std::rotate(rows.begin() + to, rows.begin() + from, rows.begin() + from + 1);
        }
        break;
      }
    }
    return 0;
  }

 private:
  const CPlaylist& playlist_;
};

std::vector<std::u16string> Paths(const CPlaylist& playlist) {
  std::vector<std::u16string> paths;
  for (int i = 0; i < playlist.GetCount(); ++i) paths.push_back(playlist.GetItemPath(i));
  return paths;
}

class WidePlaylist : public ::testing::Test {
 protected:
  WidePlaylist() {
    SetPlaylistViewSink(&mirror);
    playlist.AddView(reinterpret_cast<HWND>(1));
    for (int i = 0; i < kEntries; ++i) playlist.InsertItem((u"\\" + Number(i) + u".mp3").c_str(), -1, nullptr, -2);
  }
  ~WidePlaylist() override { SetPlaylistViewSink(nullptr); }

  static std::u16string Number(int i) {
    std::string digits = std::to_string(i);
    return std::u16string(digits.begin(), digits.end());
  }

  zb::testing::TestDevice device;
  CPlaylist playlist{nullptr};
  MirrorView mirror{playlist};
};

TEST_F(WidePlaylist, MovesBeyondSixteenBitsCarryTheirFullIndices) {
  playlist.SetCurrentIndex(69999);
  playlist.MoveItems(69999, 3, TRUE);
  EXPECT_EQ(playlist.GetItemPath(3), u"\\69999.mp3");
  EXPECT_EQ(playlist.GetItemPath(4), u"\\3.mp3");
  EXPECT_EQ(playlist.GetCurrentIndex(), 3);
  EXPECT_EQ(mirror.current, 3);
  ASSERT_EQ(mirror.moves.size(), 1u);
  EXPECT_EQ(mirror.moves[0].first, static_cast<WPARAM>(PLM_MOVED_SHIFT | PLM_MOVED_WIDE));

  playlist.MoveItems(65536, 69000, FALSE);
  EXPECT_EQ(playlist.GetItemPath(65536), u"\\68999.mp3");
  EXPECT_EQ(playlist.GetItemPath(69000), u"\\65535.mp3");
  playlist.MoveItems(65535, 65534, TRUE);  // fits: the packed form callers rely on
  ASSERT_EQ(mirror.moves.size(), 3u);
  EXPECT_EQ(mirror.moves[2].first, static_cast<WPARAM>(PLM_MOVED_SHIFT));
  EXPECT_EQ(static_cast<DWORD>(mirror.moves[2].second), 0xFFFEFFFFu);

  EXPECT_EQ(mirror.rows, Paths(playlist));
}

TEST_F(WidePlaylist, ARemovedEntryAndInsertsKeepTheMirrorEqual) {
  playlist.RemoveItem(68000);
  playlist.InsertItem(u"\\new.mp3", 66000, nullptr, -2);
  playlist.MoveItems(66000, 69998, TRUE);
  playlist.Reorder(4, 0, -1);
  EXPECT_EQ(playlist.GetItemPath(0), u"\\69999.mp3");
  EXPECT_EQ(mirror.rows, Paths(playlist));
}

TEST_F(WidePlaylist, TheHistoryFollowsWideMoves) {
  // A history naming entries far apart, as a long shuffle leaves it.
  playlist.SetCurrentIndex(69990);
  playlist.ClearHistory();
  ASSERT_EQ(playlist.GetHistory(), std::vector<int>{69990});
  playlist.MoveItems(69990, 1, TRUE);
  EXPECT_EQ(playlist.GetHistory(), std::vector<int>{1});
  playlist.MoveItems(1, 65600, FALSE);
  EXPECT_EQ(playlist.GetHistory(), std::vector<int>{65600});
  EXPECT_EQ(playlist.GetItemPath(65600), u"\\69990.mp3");
}

}  // namespace
