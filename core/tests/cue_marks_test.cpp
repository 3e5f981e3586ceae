// Cue marks: a plug-in sets a position through the player callback and gets a cookie; the
// now-playing refresh offers each mark to the hooks as event 13, once, when playback passes it,
// and never after the mark was removed.
#include "transport_fixture.h"

#include "core/interface/player_messages.h"

namespace zb::testing {
namespace {

class CueMarks : public TransportTest {
 protected:
  DWORD AddMark(LONG position) {
    DWORD cookie = 0;
    EXPECT_EQ(PlayerCallback(PLAYER_MSG_ADD_COOKIE, &position, sizeof position, &cookie, sizeof cookie), 0);
    return cookie;
  }
  std::vector<std::string> Passed() {
    std::vector<std::string> out;
    for (std::string& line : TransportEvents())
      if (line.rfind("event 13", 0) == 0) out.push_back(std::move(line));
    return out;
  }
};

TEST_F(CueMarks, EachMarkIsOfferedOnceWhenPlaybackPassesIt) {
  Script().lengths[u"\\Music\\a.fake"] = 60000;
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  ASSERT_TRUE(core_->IsPlaying());
  const DWORD early = AddMark(5000);
  const DWORD removed = AddMark(20000);
  const DWORD late = AddMark(30000);
  EXPECT_EQ(early, 2u);
  EXPECT_EQ(removed, 3u);
  EXPECT_EQ(late, 4u);
  EXPECT_EQ(PlayerCallback(PLAYER_MSG_REMOVE_COOKIE, const_cast<DWORD*>(&removed), sizeof removed, nullptr, 0), 0);
  TransportEvents();

  const struct {
    uint64_t play;
    std::vector<std::string> passed;
  } steps[] = {
      {3000, {}},
      {2000, {"event 13 in 2"}},  // exactly at the mark
      {1000, {}},                 // passed once only
      {19000, {}},                // 25000: the removed mark at 20000 says nothing
      {10000, {"event 13 in 4"}},
      {10000, {}},
  };
  for (const auto& s : steps) {
    PlayFor(s.play);
    EXPECT_EQ(Passed(), s.passed) << "at " << core_->GetLastPosition();
  }
}

TEST_F(CueMarks, MarksPassedBetweenTwoRefreshesComeInTheOrderTheyWereSet) {
  Script().lengths[u"\\Music\\a.fake"] = 60000;
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  const DWORD second = AddMark(8000);
  const DWORD first = AddMark(4000);
  AddMark(50000);
  TransportEvents();
  PlayFor(9000);
  EXPECT_EQ(Passed(), (std::vector<std::string>{"event 13 in " + std::to_string(second), "event 13 in " + std::to_string(first)}));
  // The position the hooks see is already the new one.
  EXPECT_EQ(core_->GetLastPosition(), 9000);
}

TEST_F(CueMarks, NothingIsOfferedWhileNothingPlays) {
  AddMark(0);
  AddMark(100);
  AddItems({u"\\Music\\a.fake"});
  TransportEvents();
  AdvanceClock(5000);
  core_->RefreshNowPlaying();
  EXPECT_TRUE(Passed().empty());
}

}  // namespace
}  // namespace zb::testing
