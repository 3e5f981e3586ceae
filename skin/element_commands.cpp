// The element command table: 76 rows from element name to command, in runs that each kind of
// notification scans (clicks, prefix clicks, sliders, on/off buttons, labels). Names match
// without case; a click, toggle or tap no row takes goes to the plug-ins' commands of that name.
#include "skin/element_commands.h"

#include <memory>

#include "skin/skin.h"
#include "skin/skin_button.h"
#include "skin/skin_menus.h"
#include "skin/skin_panel.h"
#include "skin/skin_state.h"

namespace {

struct Command {
  CSkinState* state;
  ISkinHost* host;
  CSkinElement* element;
  UINT message;
  WPARAM wParam;
  int Position() const { return LOWORD(wParam); }
  int Range() const { return HIWORD(wParam); }
};

using CommandFn = int (*)(const Command&);

struct Row {
  LPCWSTR name;
  CommandFn run;
};

int Seek(const Command& c, int delta) {
  c.host->SeekRelative(delta);
  return 0;
}

template <int Delta>
int SeekBy(const Command& c) {
  return Seek(c, Delta);
}

template <int Code>
int WindowCommand(const Command& c) {
  c.host->RunWindowCommand(Code);
  return 0;
}

template <int Code, int Value>
int EqCommand(const Command& c) {
  c.host->SetEqValue(Code, Value);
  return 0;
}

template <int Mode>
int VisMode(const Command& c) {
  c.host->SetVisMode(Mode);
  return 0;
}

int PlayOrPause(const Command& c) {
  if (c.host->IsPlaying())
    c.host->TogglePause();
  else
    c.host->Play();
  return 0;
}

int PlayPauseStop(const Command& c) {
  if (!c.element->IsKind(SKIN_KIND_COUNTBUTTON)) return 0;
  if (!c.host->IsPlaying())
    c.host->Play();
  else if (c.host->IsSeekable())
    c.host->TogglePause();
  else
    c.host->Stop();
  return 0;
}

// The rating step: the count button's next frame, stored as the playing item's rating.
int RatingStep(const Command& c) {
  if (!c.element->IsKind(SKIN_KIND_COUNTBUTTON) || !c.host->IsPlaying()) return 0;
  auto* button = static_cast<CSkinCountButton*>(c.element);
  const int frame = (button->GetIndex() + 1) % 6;
  static constexpr int kRatings[] = {0, 1, 25, 50, 75, 99};
  button->SetIndex(frame);
  c.host->RatePlayingItem(kRatings[frame]);
  return 0;
}

int OpenAndPlay(const Command& c) {
  const std::u16string path = c.host->ShowOpenDialog(0);
  if (!path.empty()) c.host->EnqueuePath(path.c_str(), FALSE);
  return 0;
}

CSkinPanel* EqPanel(const Command& c) {
  CSkinElement* panel = c.state->GetSkin()->FindElement(SKIN_KIND_PANEL, u"EQPANEL");
  return static_cast<CSkinPanel*>(panel);
}

int PanelOpen(const Command& c) {
  if (CSkinPanel* panel = EqPanel(c)) panel->SetVisible(TRUE);
  return 0;
}

int PanelClose(const Command& c) {
  CSkin* skin = c.state->GetSkin();
  for (int i = 0; i < skin->GetElementCount(); ++i) {
    CSkinElement* e = skin->GetElementAt(i);
    if (e->IsKind(SKIN_KIND_PANEL) && e->IsVisible()) {
      e->SetVisible(FALSE);
      return 0;
    }
  }
  if (CSkinPanel* panel = EqPanel(c)) panel->SetVisible(FALSE);
  return 0;
}

int PanelToggle(const Command& c) {
  if (CSkinPanel* panel = EqPanel(c)) panel->SetVisible(!panel->IsVisible());
  return 0;
}

int ScrollPage(const Command& c, int pages) {
  c.host->ScrollPlaylist(0, pages, 0);
  return 0;
}

// Sliders: every command that divides by the slider's range does nothing for a range of 0.
int PlaylistScrollBar(const Command& c) {
  if (c.Range() > 0) c.host->ScrollPlaylist(1, c.Position(), c.Range());
  return 0;
}

int Volume(const Command& c) {
  if (c.Range() <= 0) return 0;
  const bool horizontal = c.element->SendMessage(nullptr, 1244, 0, 0) == 1;
  const int position = horizontal ? c.Position() : c.Range() - c.Position();
  c.host->SetVolume(static_cast<int>(static_cast<double>(position) / c.Range() * 255));
  return 0;
}

int TrackSlider(const Command& c) {
  if (c.message == SKN_DRAGGING) {
    c.state->HandleUiCommand(24, reinterpret_cast<void*>(static_cast<UINT_PTR>(static_cast<DWORD>(c.wParam))));
    return 0;
  }
  c.state->HandleUiCommand(24, reinterpret_cast<void*>(static_cast<UINT_PTR>(0xFFFFFFFF)));
  if (c.Range() > 0) c.host->SeekTo(c.Position(), c.Range());
  return 0;
}

int Nothing(const Command&) { return 0; }

int Preamp(const Command& c) {
  if (c.message == SKN_RELEASED && c.Range() > 0) c.host->SetEqValue(-1, c.Position() * 63 / c.Range());
  return 0;
}

int EqBand(const Command& c) {
  if (c.message != SKN_RELEASED || c.Range() <= 0) return 0;
  // The row matched "EQUALIZER%d": the band is its digit (the slider may be the panel's).
  const WCHAR digit = c.element->Name()[9];
  c.host->SetEqValue(digit - u'0', c.Position() * 63 / c.Range());
  return 0;
}

template <int Back, int Forward, int Select>
int ScrollPair(const Command& c) {
  if (c.message == SKN_DRAGGING)
    c.host->RunWindowCommand(static_cast<short>(LOWORD(c.wParam)) < 1 ? Back : Forward);
  else
    c.host->RunWindowCommand(Select);
  return 0;
}

int EqOn(const Command& c) {
  c.host->SetEqValue(-2, !c.host->GetEqValue(-2));
  c.state->UpdateEqualizerElements();
  return 0;
}

int ToggleElapsed(const Command& c) {
  c.state->HandleUiCommand(11, nullptr);
  return 0;
}

int PlaylistList(const Command& c) {
  if (!c.host->IsLargeView()) return 0;
  c.host->SetVisMode(0);
  return 1;
}

const Row kRows[] = {
    // Clicks (40).
    {u"PLAY", [](const Command& c) { return c.host->Play(), 0; }},
    {u"PAUSE", [](const Command& c) { return c.host->TogglePause(), 0; }},
    {u"STOP", [](const Command& c) { return c.host->Stop(), 0; }},
    {u"PLAYPAUSESTOP", PlayPauseStop},
    {u"RATING", RatingStep},
    {u"BACK", [](const Command& c) { return c.host->PreviousItem(), 0; }},
    {u"NEXT", [](const Command& c) { return c.host->NextItem(), 0; }},
    {u"OPEN", OpenAndPlay},
    {u"MENU", [](const Command& c) { return ShowMainMenu(c.state, c.element), 0; }},
    {u"PLAYLIST", [](const Command& c) { return c.host->OpenPlaylistDialog(), 0; }},
    {u"PLAYLISTSCROLLUP", [](const Command& c) { return ScrollPage(c, -1); }},
    {u"PLAYLISTSCROLLDOWN", [](const Command& c) { return ScrollPage(c, 1); }},
    {u"VISSMALL", VisMode<0>},
    {u"VISLARGE", VisMode<0>},
    {u"VISTOGGLE", VisMode<1>},
    {u"SEEKMENU", [](const Command& c) { return ShowSeekMenu(c.state, c.element), 0; }},
    {u"SEEKBACK10", SeekBy<-10000>},
    {u"SEEKBACK60", SeekBy<-60000>},
    {u"SEEKBACK300", SeekBy<-300000>},
    {u"SEEKBACK900", SeekBy<-900000>},
    {u"SEEKFWD10", SeekBy<10000>},
    {u"SEEKFWD60", SeekBy<60000>},
    {u"SEEKFWD300", SeekBy<300000>},
    {u"SEEKFWD900", SeekBy<900000>},
    {u"EQPRESETS", [](const Command& c) { return ShowEqPresetMenu(c.state, c.element), 0; }},
    {u"VOLUMEUP", WindowCommand<8>},
    {u"VOLUMEDOWN", WindowCommand<9>},
    {u"VOLUMEMIN", [](const Command& c) { return c.host->ChangeVolume(-255), 0; }},
    {u"VOLUMEMAX", [](const Command& c) { return c.host->ChangeVolume(255), 0; }},
    {u"SCROLLUP", WindowCommand<22>},
    {u"SCROLLDOWN", WindowCommand<23>},
    {u"SCROLLLEFT", WindowCommand<24>},
    {u"SCROLLRIGHT", WindowCommand<25>},
    {u"SCROLLSELECT", WindowCommand<26>},
    {u"EQPANELOPEN", PanelOpen},
    {u"EQPANELCLOSE", PanelClose},
    {u"EQPANELTOGGLE", PanelToggle},
    {u"EQNEXT", EqCommand<-11, -14>},
    {u"EQPREV", EqCommand<-11, -13>},
    {u"EQADD", EqCommand<-10, -8>},
    // Clicks by prefix (2): the rest of the name is the seek in ms.
    {u"SEEKBACK_", nullptr},
    {u"SEEKFWD_", nullptr},
    // Sliders (17).
    {u"PLAYLISTSCROLLBAR", PlaylistScrollBar},
    {u"VOLUME", Volume},
    {u"TRACK", TrackSlider},
    {u"STEREO", Nothing},
    {u"PREAMP", Preamp},
    {u"EQUALIZER0", EqBand},
    {u"EQUALIZER1", EqBand},
    {u"EQUALIZER2", EqBand},
    {u"EQUALIZER3", EqBand},
    {u"EQUALIZER4", EqBand},
    {u"EQUALIZER5", EqBand},
    {u"EQUALIZER6", EqBand},
    {u"EQUALIZER7", EqBand},
    {u"EQUALIZER8", EqBand},
    {u"EQUALIZER9", EqBand},
    {u"SCROLLUPDOWN", ScrollPair<22, 23, 26>},
    {u"SCROLLLEFTRIGHT", ScrollPair<24, 25, 26>},
    // On/off buttons (8); wParam is the new state.
    {u"SHUFFLE", [](const Command& c) { return c.host->SetShuffle(c.wParam != 0), 0; }},
    {u"REPEAT", [](const Command& c) { return c.host->SetRepeat(c.wParam != 0), 0; }},
    {u"MUTE", [](const Command& c) { return c.host->SetMute(c.wParam != 0), 0; }},
    {u"EQUALIZER", [](const Command& c) { return ShowEqMenu(c.state, c.element), 0; }},
    {u"EQON", EqOn},
    {u"AUTOON", [](const Command& c) { return c.host->SetEqValue(-3, !c.host->GetEqValue(-3)), 0; }},
    {u"PLAYPAUSE", PlayOrPause},
    {u"DSPTOGGLE", [](const Command& c) { return c.host->SetSetting(SKIN_SETTING_DSP_ENABLED, c.wParam != 0), 0; }},
    // Labels (9).
    {u"SONGTITLE", Nothing},
    {u"TRACKVIEW", ToggleElapsed},
    {u"TRACKVIEW100H", ToggleElapsed},
    {u"TRACKVIEWH", ToggleElapsed},
    {u"TRACKVIEWM", ToggleElapsed},
    {u"TRACKVIEWS", ToggleElapsed},
    {u"TRACKVIEWSIGN", ToggleElapsed},
    {u"EQNAME", EqCommand<-11, -8>},
    {u"PLAYLISTLIST", PlaylistList},
};
static_assert(sizeof kRows / sizeof kRows[0] == 76, "the command table has 76 rows");

struct Run {
  int first, count;
};
constexpr Run kClicks{0, 40}, kPrefixes{40, 2}, kSliders{42, 17}, kToggles{59, 8}, kLabels{67, 9};

const Row* FindRow(Run run, LPCWSTR name) {
  for (int i = run.first; i < run.first + run.count; ++i)
    if (_wcsicmp(kRows[i].name, name) == 0) return &kRows[i];
  return nullptr;
}

// "SEEKBACK_%d" and "SEEKFWD_%d": that many ms back or forward; 0 or no number seeks nothing.
bool RunPrefixedSeek(const Command& c, LPCWSTR name) {
  for (int i = kPrefixes.first; i < kPrefixes.first + kPrefixes.count; ++i) {
    const size_t n = wcslen(kRows[i].name);
    if (_wcsnicmp(name, kRows[i].name, n) != 0) continue;
    int ms = 0;
    if (swscanf(name + n, u"%d", &ms) == 1 && ms != 0) c.host->SeekRelative(i == kPrefixes.first ? -ms : ms);
    return true;
  }
  return false;
}

bool IsCustomMenu(LPCWSTR name, int* number) { return _wcsnicmp(name, u"CUSTOMMENU_", 11) == 0 && swscanf(name + 11, u"%d", number) == 1; }

}  // namespace

int DispatchElementCommand(CSkinState* state, UINT message, WPARAM wParam, CSkinElement* element) {
  if (!state || !element || !state->GetHost() || !state->GetSkin()) return 0;
  WCHAR name[64];
  element->GetName(name, 64);
  const Command c{state, state->GetHost(), element, message, wParam};
  switch (message) {
    case SKN_CLICKED: {
      if (const Row* row = FindRow(kClicks, name)) return row->run(c), 0;
      if (RunPrefixedSeek(c, name)) return 0;
      int number = 0;
      if (IsCustomMenu(name, &number)) return ShowCustomMenu(state, element, number), 0;
      break;
    }
    case SKN_DRAGGING:
    case SKN_RELEASED:
      for (int i = kSliders.first; i < kSliders.first + kSliders.count; ++i)
        if (_wcsicmp(kRows[i].name, name) == 0) kRows[i].run(c);
      return 0;
    case SKN_TOGGLED:
      if (const Row* row = FindRow(kToggles, name)) return row->run(c), 0;
      break;
    case SKN_LABELTAPPED:
      if (const Row* row = FindRow(kLabels, name)) return row->run(c), 0;
      break;
    default:
      return 0;
  }
  c.host->RunNamedCommand(name, message);
  return 0;
}

void RunNamedClick(CSkinState* state, LPCWSTR name, DWORD argument) {
  if (!state || !state->GetSkin()) return;
  // A button that is not in the skin, made for the call.
  auto button = std::make_unique<CSkinButton>(state->GetSkin());
  button->SetName(name);
  DispatchElementCommand(state, SKN_CLICKED, argument, button.get());
}
