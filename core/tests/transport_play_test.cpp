// The play worker, pause, stop, seeks and volume over the scripted decoder on the device clock:
// what the decoder is asked, the state word, the events the hooks are offered (and what a hook
// that takes one prevents), the probe answers' retry as Windows Media, and a failed play that
// passes the item over and says why in the debug log.
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/window/command_target.h"
#include "playlist_probe.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

using Lines = std::vector<std::string>;

class Transport : public TransportTest {};

// A one-entry .pls on the device, in the \\Music folder.
void WritePls(LPCWSTR path, const std::string& entry) {
  CreateDirectoryW(u"\\Music", nullptr);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const std::string text = "[playlist]\nFile1=" + entry + "\nNumberOfEntries=1\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

TEST_F(Transport, PlayOpensTheCurrentItemAndOffersEachStepToTheHooks) {
  AddItems({u"\\Music\\a.fake", u"\\Music\\b.fake"});
  const DWORD eqOn = static_cast<DWORD>(core_->GetEqValue(-2));
  core_->Play(FALSE);
  EXPECT_EQ(Script().TakeCalls(), (Lines{"SetVolume " + std::to_string(core_->GetVolume()), "Play \\Music\\a.fake"}));
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(core_->GetState() & (CORE_STATE_OPEN | CORE_STATE_STOPPED | CORE_STATE_OPENING), DWORD(CORE_STATE_OPEN));
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_EQ(core_->GetCurrentIndex(), 0);
  EXPECT_EQ(core_->GetDecoder(), &ScriptedRecord());
  // Before the item is taken, the equaliser, the resume mode, then the state word after Play.
  EXPECT_EQ(TransportEvents(), (Lines{"event 4", "event 20 out", "event 21 in " + std::to_string(eqOn) + " out",
                                      "event 10 out", "event 4 in 4"}));
  // No resume was asked for: the decoder starts at the beginning, not paused.
  EXPECT_EQ(Script().flagsSeen, 0u);
}

TEST_F(Transport, PlayWhilePausedResumesTheItemInsteadOfRestartingIt) {
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  PlayFor(3000);
  core_->TogglePause();
  EXPECT_EQ(core_->IsPaused(), 1);
  Script().TakeCalls();
  core_->Play(FALSE);
  EXPECT_EQ(Script().TakeCalls(), Lines{"UnPause"});
  EXPECT_EQ(core_->IsPaused(), 0);
  PlayFor(1000);
  EXPECT_EQ(core_->GetLastPosition(), 4000);
}

TEST_F(Transport, AHookThatTakesTheFirstPlayEventLeavesThePlayerStopped) {
  AddItems({u"\\Music\\a.fake"});
  ScriptedHooks().takes[PLAYER_EVENT_PLAY] = 0;
  core_->Play(FALSE);
  EXPECT_TRUE(Script().TakeCalls().empty());
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_NE(core_->GetState() & CORE_STATE_STOPPED, 0u);
  EXPECT_TRUE(Current().empty());
}

TEST_F(Transport, NothingOpensWithAnEmptyPlaylist) {
  core_->Play(FALSE);
  EXPECT_TRUE(Script().TakeCalls().empty());
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_TRUE(Current().empty());
}

TEST_F(Transport, PauseAndUnpauseGoToTheDecoderUnlessAHookTakesThem) {
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  Script().TakeCalls();
  TransportEvents();
  core_->TogglePause();
  core_->TogglePause();
  EXPECT_EQ(Script().TakeCalls(), (Lines{"Pause", "UnPause"}));
  EXPECT_EQ(TransportEvents(), (Lines{"event 5", "event 6"}));
  ScriptedHooks().takes[PLAYER_EVENT_PAUSE] = 0;
  core_->TogglePause();
  EXPECT_TRUE(Script().TakeCalls().empty());
  EXPECT_EQ(core_->IsPaused(), 0);
  core_->Stop(FALSE);
  Script().TakeCalls();
  core_->TogglePause();  // nothing open: nothing to pause
  EXPECT_TRUE(Script().TakeCalls().empty());
}

TEST_F(Transport, StopOffersItselfBeforeAndAfterAndAUserStopSilencesFirst) {
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  Script().TakeCalls();
  TransportEvents();
  core_->Stop(TRUE);
  EXPECT_EQ(Script().TakeCalls(), (Lines{"Pause", "Stop"}));
  // The idle now-playing display asks the plug-ins for the resume mode (10) of the stopped item.
  EXPECT_EQ(TransportEvents(), (Lines{"event 3 in 0", "event 5", "event 10 out", "event 3 in 1"}));
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_NE(core_->GetState() & CORE_STATE_STOPPED, 0u);

  core_->Play(FALSE);
  Script().TakeCalls();
  TransportEvents();
  core_->Stop(FALSE);
  EXPECT_EQ(Script().TakeCalls(), Lines{"Stop"});

  // A hook that takes the stop keeps the item playing.
  core_->Play(FALSE);
  Script().TakeCalls();
  ScriptedHooks().takes[PLAYER_EVENT_STOP] = 0;
  core_->Stop(TRUE);
  EXPECT_TRUE(Script().TakeCalls().empty());
  EXPECT_TRUE(core_->IsPlaying());
}

TEST_F(Transport, SeeksGoToTheDecoderOnlyWhenItsRecordSaysItCanSeek) {
  AddItems({u"\\Music\\a.fake"});
  Script().lengths[u"\\Music\\a.fake"] = 10000;
  core_->Play(FALSE);
  Script().TakeCalls();
  TransportEvents();

  EXPECT_EQ(core_->SeekTo(5000, 0), 1);  // a position
  EXPECT_EQ(core_->SeekTo(1, 4), 1);     // a quarter of the length
  EXPECT_EQ(Script().TakeCalls(), (Lines{"SetOutputTime 5000", "SetOutputTime 2500"}));
  EXPECT_EQ(TransportEvents(), (Lines{"event 7", "event 14 in 5000", "event 7", "event 14 in 2500"}));
  EXPECT_EQ(WindowWord(MAIN_WORD_POSITION), 2500);

  core_->SeekRelative(100000);  // past the end: the last millisecond
  core_->SeekRelative(-100000);  // before the start: the start
  EXPECT_EQ(Script().TakeCalls(), (Lines{"SetOutputTime 9999", "SetOutputTime 0"}));

  ScriptedHooks().takes[PLAYER_EVENT_SEEK] = 0;
  EXPECT_EQ(core_->SeekTo(3000, 0), 0);
  ScriptedHooks().takes.clear();
  EXPECT_TRUE(Script().TakeCalls().empty());

  // A live stream: the record's seek bit is clear, and the core says so before it refuses.
  ScriptedRecord().flags = DEC_FLAG_LIVE;
  EXPECT_EQ(core_->IsSeekable(), 0);
  EXPECT_EQ(core_->SeekTo(3000, 0), 0);
  EXPECT_TRUE(Script().TakeCalls().empty());
  // Seekable and live: seekable, and the seek goes through.
  ScriptedRecord().flags = DEC_FLAG_SEEKABLE | DEC_FLAG_LIVE;
  EXPECT_EQ(core_->IsSeekable(), 1);
  EXPECT_EQ(core_->SeekTo(3000, 0), 1);
  EXPECT_EQ(Script().TakeCalls(), Lines{"SetOutputTime 3000"});

  core_->Stop(FALSE);
  EXPECT_EQ(core_->IsSeekable(), 0);
  EXPECT_EQ(core_->SeekTo(3000, 0), 0);
}

TEST_F(Transport, AProbeAnswerRetriesOnceAsWindowsMedia) {
  AddItems({u"\\Music\\clip.fake", u"\\Music\\next.fake"});
  Script().results[u"\\Music\\clip.fake"] = {static_cast<int>(0x80808000), 0};
  core_->Play(FALSE);
  // The suffix steers the second choice to the module that lists WMA; the path stays as it was.
  const std::string volume = "SetVolume " + std::to_string(core_->GetVolume());
  EXPECT_EQ(Script().TakeCalls(), (Lines{volume, "Play \\Music\\clip.fake", volume, "Play \\Music\\clip.fake"}));
  EXPECT_EQ(core_->GetDecoder(), &ScriptedWmaRecord());
  EXPECT_EQ(core_->GetOpenSuffix(), u"?ext=.wma");
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Music\\clip.fake");
}

TEST_F(Transport, ProbeAnswersAfterTheRetryStopWithoutPassingTheItemOver) {
  const struct {
    const char* what;
    std::deque<int> answers;
  } cases[] = {
      {"a second retry request", {static_cast<int>(0x80808000), static_cast<int>(0x80808000)}},
      {"a playlist after the retry", {static_cast<int>(0x80808000), static_cast<int>(0x8080C000)}},
      {"a playlist", {static_cast<int>(0x80804000)}},
  };
  for (const auto& c : cases) {
    Playlist().Clear();
    AddItems({u"\\Music\\list.fake", u"\\Music\\next.fake"});
    Script().results[u"\\Music\\list.fake"] = c.answers;
    core_->Play(FALSE);
    EXPECT_FALSE(core_->IsPlaying()) << c.what;
    EXPECT_EQ(core_->GetState() & (CORE_STATE_STOPPED | CORE_STATE_OPENING), DWORD(CORE_STATE_STOPPED)) << c.what;
    RunTimers();
    // No failure timer: the item stays current and nothing else starts.
    EXPECT_EQ(Current(), u"\\Music\\list.fake") << c.what;
    EXPECT_EQ(core_->GetCurrentIndex(), 0) << c.what;
    EXPECT_TRUE(Timers().empty()) << c.what;
    Script().TakeCalls();
  }
}

TEST_F(Transport, AnUnclaimedPlaylistFileGoesToTheProbeWhichAsksForItsExpansion) {
  WritePls(u"\\Music\\radio.pls", "\\Music\\a.fake");
  AddItems({u"\\Music\\radio.pls", u"\\Music\\next.fake"});
  core_->Play(FALSE);
  // No module claims ".pls": the playlist probe is bound and answers "expand as a playlist"; the
  // list's entry takes its place and plays.
  EXPECT_EQ(Script().TakeCalls(), (Lines{"SetVolume " + std::to_string(core_->GetVolume()), "Play \\Music\\a.fake"}));
  EXPECT_EQ(core_->GetDecoder(), &ScriptedRecord());
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  EXPECT_EQ(core_->GetCurrentIndex(), 0);
  EXPECT_EQ(Playlist().GetCount(), 2);
  RunTimers();
  EXPECT_TRUE(Timers().empty());
  core_->Stop(TRUE);
  Script().TakeCalls();
  // A missing file is no playlist: the probe's failure passes the item over.
  Playlist().Clear();
  AddItems({u"\\Music\\gone.pls", u"\\Music\\next.fake"});
  core_->Play(FALSE);
  RunTimers();
  EXPECT_EQ(Timers(), std::vector<UINT_PTR>{MAIN_TIMER_PLAY_FAILED});
  EXPECT_EQ(Current(), u"\\Music\\next.fake");
  EXPECT_TRUE(core_->IsPlaying());
}

TEST_F(Transport, AListNamingItselfIsFollowedOnlySoDeepAndLeavesThePlayerStopped) {
  WritePls(u"\\Music\\self.pls", "\\Music\\self.pls");
  AddItems({u"\\Music\\self.pls", u"\\Music\\next.fake"});
  core_->Play(FALSE);
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_EQ(core_->GetState() & (CORE_STATE_STOPPED | CORE_STATE_OPENING), DWORD(CORE_STATE_STOPPED));
  EXPECT_EQ(Current(), u"\\Music\\self.pls");
  EXPECT_EQ(Playlist().GetCount(), 2);
  EXPECT_TRUE(Script().TakeCalls().empty());
}

TEST_F(Transport, AFailedPlayPassesTheItemOverAndKeepsItsResumeEntry) {
  AddItems({u"\\Music\\bad.fake", u"\\Music\\good.fake"});
  core_->GetBookmarkList()->Set(u"\\Music\\bad.fake", 30000);
  Script().results[u"\\Music\\bad.fake"] = {-1};
  core_->Play(FALSE);
  // Open until the main window's timer passes it over.
  EXPECT_TRUE(core_->IsPlaying());
  Script().TakeCalls();
  TransportEvents();
  RunTimers();
  EXPECT_EQ(Current(), u"\\Music\\good.fake");
  EXPECT_TRUE(core_->IsPlaying());
  // The failed item is stopped at the end of its stream and again as the next one starts.
  EXPECT_EQ(Script().TakeCalls(), (Lines{"Stop", "Stop", "SetVolume " + std::to_string(core_->GetVolume()),
                                         "Play \\Music\\good.fake"}));
  EXPECT_EQ(Resume(u"\\Music\\bad.fake"), 30000);
  EXPECT_EQ(Timers(), std::vector<UINT_PTR>{MAIN_TIMER_PLAY_FAILED});
  EXPECT_EQ(TransportEvents().back(), "event 9 in 1");
}

TEST_F(Transport, AnItemThatCannotOpenSaysWhyInTheDebugLog) {
  CreateDirectoryW(u"\\Music", nullptr);
  CloseHandle(CreateFileW(u"\\Music\\bad.fake", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  AddItems({u"\\Music\\bad.fake", u"\\Music\\gone.fake", u"\\Music\\good.fake"});
  Script().results[u"\\Music\\bad.fake"] = {-1};
  Script().results[u"\\Music\\gone.fake"] = {-1};
  core_->Play(FALSE);
  RunTimers();
  RunTimers();
  EXPECT_EQ(Current(), u"\\Music\\good.fake");
  std::ifstream in(device_.root() / ".zonbrel" / "debug.log", std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* line : {"Cannot play \"\\Music\\bad.fake\": its decoder refused it (result -1)\r\n",
                           "Cannot play \"\\Music\\gone.fake\": there is no such file on the device (error 2)\r\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  EXPECT_EQ(log.find("good.fake"), std::string::npos) << "what plays is not reported";
}

TEST_F(Transport, ThePlayStartsWhereTheResumeEntryAndTheHooksSay) {
  AddItems({u"\\Music\\a.fake", u"\\Music\\b.fake"});
  CSettings* settings = GetSettings();
  Script().lengths[u"\\Music\\a.fake"] = 60000;
  // b's entry is the newest; a stop before any refresh removes a's entry, so it is set anew.
  auto storeEntries = [this] {
    core_->GetBookmarkList()->Set(u"\\Music\\a.fake", 30000);
    core_->GetBookmarkList()->Set(u"\\Music\\b.fake", 20000);
  };

  storeEntries();
  settings->autoResume = 1;  // only the item that stopped last resumes
  core_->Play(FALSE);
  EXPECT_EQ(Script().flagsSeen, 0u);
  core_->Stop(FALSE);

  storeEntries();
  settings->autoResume = 2;
  core_->Play(FALSE);
  EXPECT_EQ(Script().flagsSeen, DWORD(DEC_PLAY_START_AT_POSITION));
  EXPECT_EQ(Script().startSeen, 30000);
  EXPECT_EQ(core_->GetOutputTime(), 30000);  // the decoder honoured it
  core_->Stop(FALSE);

  // A decoder that leaves the flags set gets the seek and the pause from the core.
  Script().honoursStart = false;
  Script().TakeCalls();
  ScriptedHooks().takes[PLAYER_EVENT_RESUME_POSITION] = 0;
  ScriptedHooks().outs[PLAYER_EVENT_RESUME_POSITION] = 4000;
  core_->Play(TRUE);
  EXPECT_EQ(Script().flagsSeen, DWORD(DEC_PLAY_START_AT_POSITION | DEC_PLAY_START_PAUSED));
  const Lines calls = Script().TakeCalls();
  EXPECT_EQ(Lines(calls.end() - 2, calls.end()), (Lines{"SetOutputTime 4000", "Pause"}));
  EXPECT_EQ(core_->IsPaused(), 1);

  // A hook answering the resume mode with 0 keeps the item at its start.
  core_->Stop(FALSE);
  ScriptedHooks().takes[PLAYER_EVENT_RESUME_MODE] = 0;
  ScriptedHooks().outs[PLAYER_EVENT_RESUME_MODE] = 0;
  core_->Play(FALSE);
  EXPECT_EQ(Script().flagsSeen, 0u);
}

int g_nestedPlays = 0;
int ReplayingHook(UINT event, void* data, UINT, void*, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return (event & ~PLAYER_EVENT_QUERY) == PLAYER_EVENT_PLAY ? 0 : -1;
  if (event == PLAYER_EVENT_PLAY && !data && g_nestedPlays++ == 0) PeekPlayerCore()->Play(FALSE);
  return -1;
}

TEST_F(Transport, APlayStartedWhileAPlayRunsIsDropped) {
  AddItems({u"\\Music\\a.fake"});
  g_nestedPlays = 0;
  core_->AddEventHook(ReplayingHook);
  core_->Play(FALSE);
  const Lines calls = Script().TakeCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Play \\Music\\a.fake"), 1);
  EXPECT_EQ(g_nestedPlays, 1);
}

int ThrowingHook(UINT event, void* data, UINT, void*, UINT*) {
  if (event & PLAYER_EVENT_QUERY) return (event & ~PLAYER_EVENT_QUERY) == PLAYER_EVENT_PLAY ? 0 : -1;
  if (event == PLAYER_EVENT_PLAY && !data) throw std::runtime_error("hook failed");
  return -1;
}

TEST_F(Transport, AnExceptionInThePlayIsCaughtAndTheNextPlayStillRuns) {
  AddItems({u"\\Music\\a.fake"});
  core_->AddEventHook(ThrowingHook);
  core_->Play(FALSE);
  EXPECT_FALSE(core_->IsPlaying());
  core_->RemoveEventHook(ThrowingHook);
  core_->Play(FALSE);
  EXPECT_TRUE(core_->IsPlaying());
}

TEST_F(Transport, VolumeAndBalanceAreClampedStoredAndPassedToTheDecoder) {
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  Script().TakeCalls();
  const struct {
    int asked;
    int stored;
  } volumes[] = {{300, 255}, {-5, 0}, {128, 128}};
  for (const auto& v : volumes) {
    core_->SetVolume(v.asked);
    EXPECT_EQ(core_->GetVolume(), v.stored);
    EXPECT_EQ(GetSettings()->ourVolume, DWORD(v.stored));
  }
  core_->ChangeVolume(10);
  EXPECT_EQ(core_->GetVolume(), 138);
  core_->SetMute(TRUE);
  core_->SetVolume(-666);  // muted: the stored volume stays, the decoder hears nothing new
  EXPECT_EQ(core_->GetVolume(), 138);
  core_->SetMute(FALSE);
  EXPECT_EQ(Script().TakeCalls(), (Lines{"SetVolume 255", "SetVolume 0", "SetVolume 128", "SetVolume 138",
                                         "SetVolume 0", "SetVolume 138"}));
  const struct {
    int asked;
    int stored;
  } pans[] = {{-200, -128}, {200, 128}, {-3, -3}};
  for (const auto& p : pans) {
    core_->SetPan(p.asked);
    EXPECT_EQ(core_->GetPanSetting(), p.stored);
  }
  core_->SetPan(-666);  // the stored balance again
  EXPECT_EQ(Script().TakeCalls(), (Lines{"SetPan -128", "SetPan 128", "SetPan -3", "SetPan -3"}));
}

TEST_F(Transport, TheMainWindowsCommandTargetDrivesTheTransport) {
  AddItems({u"\\Music\\a.fake", u"\\Music\\b.fake"});
  SetCommandTarget(nullptr);
  ICommandTarget* target = GetCommandTarget();
  EXPECT_EQ(target->GetLength(), -1);  // nothing open
  target->Play();
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(target->GetLength(), 10000);
  EXPECT_EQ(target->SeekTo(4000), 1);
  EXPECT_EQ(target->GetOutputTime(), 4000);
  target->NextItem();
  EXPECT_EQ(Current(), u"\\Music\\b.fake");
  EXPECT_EQ(target->GetCurrentIndex(), 1);
  target->SetShuffle(TRUE);
  EXPECT_TRUE(core_->GetShuffle());
  target->SetVolume(300);
  EXPECT_EQ(target->GetVolume(), 255);
  target->OnStreamEnded(STREAM_ENDED_NORMAL);  // the round's other item comes next
  EXPECT_EQ(Current(), u"\\Music\\a.fake");
  target->Stop(TRUE);
  EXPECT_FALSE(target->IsPlaying());
  EXPECT_EQ(target->IsPaused(), 1);
}

TEST_F(Transport, DestroyingTheCoreStopsTheDecoderThatPlays) {
  AddItems({u"\\Music\\a.fake"});
  core_->Play(FALSE);
  Script().TakeCalls();
  core_.reset();
  EXPECT_EQ(Script().TakeCalls(), Lines{"Stop"});
  EXPECT_TRUE(Script().playing.empty());
}

}  // namespace
}  // namespace zb::testing
