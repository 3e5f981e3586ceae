// The popup menus of the skinned main window, built for the skin and the player's state: which
// items show depends on the elements the skin has, checks follow the settings, plug-ins add
// items by slot and see the choice before the player runs it.
#include "skin/skin_menus.h"

#include <string>

#include "skin/skin.h"
#include "skin/skin_state.h"

namespace {

// Bookmarks take ids 1001 + i and 2001 + i: at most 999 of them keep clear of each other and of 3000.
constexpr int kMaxMenuBookmarks = 999;
constexpr int kPlayBookmark = 1001, kDeleteBookmark = 2001;

struct Item {
  int id;
  LPCWSTR text;
};

constexpr Item kSeekItems[] = {{10004, u"Rewind 10 Seconds"},  {10005, u"Rewind 60 Seconds"},
                               {10006, u"Rewind 5 Minutes"},   {10011, u"Rewind 15 Minutes"},
                               {0, nullptr},                   {10007, u"Forward 10 Seconds"},
                               {10008, u"Forward 60 Seconds"}, {10009, u"Forward 5 Minutes"},
                               {10012, u"Forward 15 Minutes"}};
constexpr struct {
  int id, delta;
} kSeekSteps[] = {{10004, -10000}, {10005, -60000},  {10006, -300000}, {10011, -900000},
                  {10007, 10000},  {10008, 60000},   {10009, 300000},  {10012, 900000}};

constexpr Item kEqPresetItems[] = {{8, u"Add Equalizer Preset"}, {0, nullptr},           {5, u"Auto-load Presets"},
                                   {9, u"Add Auto-load Preset"}, {0, nullptr},           {6, u"Load Default"},
                                   {10, u"Save As Default"},     {14, u"Reset Equalizer"}, {0, nullptr},
                                   {7, u"Load EQF..."},          {11, u"Save EQF..."}};
constexpr struct {
  int id, code, value;
} kEqPresetCommands[] = {{4, -11, -8}, {5, -11, -7}, {6, -11, -6}, {7, -11, -5}, {8, -10, -8},
                         {9, -10, -7}, {10, -10, -6}, {11, -10, -5}, {14, -4, 1}};

// The main menu's setting flips.
constexpr struct {
  int id;
  SkinSetting setting;
} kSettingFlips[] = {{21, SKIN_SETTING_DSP_ENABLED},
                     {24, SKIN_SETTING_GAPLESS},
                     {38, SKIN_SETTING_AUTO_RESUME_PLAYLISTS},
                     {39, SKIN_SETTING_MANUAL_ADVANCE}};

// The open dialogs of the "Open..." submenu: id, dialog mode, add instead of replacing.
constexpr struct {
  int id, mode;
  BOOL add;
} kOpenItems[] = {{7, 0, FALSE},  {11, 2, FALSE}, {13, 1, FALSE}, {15, 3, FALSE},
                  {12, 2, TRUE},  {14, 1, TRUE},  {16, 3, TRUE}};

void Append(HMENU menu, int id, LPCWSTR text, bool checked = false, bool greyed = false) {
  if (!text) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  AppendMenuW(menu, MF_STRING | (checked ? MF_CHECKED : 0) | (greyed ? MF_GRAYED : 0), id, text);
}

void AppendPopup(HMENU menu, HMENU popup, LPCWSTR text) { AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text); }

template <size_t N>
void AppendItems(HMENU menu, const Item (&items)[N], bool separators = true) {
  for (const Item& item : items)
    if (item.text || separators) Append(menu, item.id, item.text);
}

int Track(CSkinState* state, HMENU menu, CSkinElement* anchor) {
  POINT at{};
  const UINT align = MenuPlacement(state, anchor, &at);
  return static_cast<int>(TrackPopupMenuEx(menu, TPM_RETURNCMD | align, at.x, at.y, state->GetSkin()->GetWindow(), nullptr));
}

// "(h:mm:ss) name" or "(mm:ss) name" for a position in ms, "name" for none.
std::u16string PositionText(LONG ms, const std::u16string& path) {
  const size_t cut = path.rfind(u'\\');
  const std::u16string name = cut == std::u16string::npos ? path : path.substr(cut + 1);
  if (ms == 0 || ms == -1) return name;
  WCHAR hours[16] = u"";
  if (ms >= 3600000) wsprintfW(hours, u"%d:", ms / 3600000);
  WCHAR text[64];
  wsprintfW(text, u"(%s%02d:%02d) ", hours, ms % 3600000 / 60000, ms % 60000 / 1000);
  return text + name;
}

void AppendResumeItems(ISkinHost* host, HMENU menu) {
  const int autoResume = host->GetSetting(SKIN_SETTING_AUTO_RESUME);
  Append(menu, 10020, u"Auto Resume One Track", autoResume == 1);
  Append(menu, 10021, u"Auto Resume All Tracks", autoResume == 2);
  const LONG p = host->GetResumePosition();
  if (p < 0) return;
  WCHAR hours[16] = u"", text[96];
  if (p >= 3600000) wsprintfW(hours, u"%d:", p / 3600000);
  wsprintfW(text, u"Seek to Marker (%s%02i:%02i)", hours, p % 3600000 / 60000, p % 60000 / 1000);
  Append(menu, 10001, text);
  Append(menu, 10002, u"Reset Resume Marker");
}

// The bookmarks popup; null when it has no item.
HMENU BuildBookmarks(ISkinHost* host) {
  HMENU menu = CreatePopupMenu();
  host->RunMenuHooks(menu, 2, 0, 0);
  HMENU remove = CreatePopupMenu();
  bool any = false;
  for (int i = 0; i < kMaxMenuBookmarks; ++i) {
    LONG position = 0;
    const std::u16string path = host->GetBookmarkText(i, &position);
    if (path.empty()) break;
    if (!any) {
      Append(menu, 100, u"Add Bookmark");
      Append(menu, 200, u"Replace Bookmark");
      Append(remove, 3000, u"Stale Bookmarks");
      Append(remove, 3001, u"All Bookmarks");
      Append(remove, 0, nullptr);
      AppendPopup(menu, remove, u"Delete Bookmark");
      Append(menu, 0, nullptr);
      any = true;
    }
    const std::u16string text = PositionText(position, path);
    Append(menu, kPlayBookmark + i, text.c_str());
    Append(remove, kDeleteBookmark + i, text.c_str());
  }
  if (!any) DestroyMenu(remove);
  if (GetMenuItemCount(menu) > 0) return menu;
  DestroyMenu(menu);
  return nullptr;
}

void AppendEqMenuItems(ISkinHost* host, HMENU menu) {
  Append(menu, 1, u"Enabled", host->GetEqValue(-2) != 0);
  Append(menu, 3, u"Adjust");
  Append(menu, 2, u"Auto-load Presets", host->GetEqValue(-3) != 0);
  if (host->IsSmartphone()) {
    Append(menu, 4, u"Equalizer Presets");
    HMENU manage = CreatePopupMenu();
    AppendItems(manage, kEqPresetItems, false);
    AppendPopup(menu, manage, u"Manage");
    return;
  }
  Append(menu, 0, nullptr);
  Append(menu, 4, u"Equalizer Presets");
  AppendItems(menu, kEqPresetItems);
}

bool RunEqPresetCommand(ISkinHost* host, int id) {
  for (const auto& c : kEqPresetCommands)
    if (c.id == id) return host->SetEqValue(c.code, c.value), true;
  return false;
}

void RunEqMenuCommand(CSkinState* state, int id) {
  ISkinHost* host = state->GetHost();
  if (id == 1)
    host->SetEqValue(-2, !host->GetEqValue(-2));
  else if (id == 2)
    host->SetEqValue(-3, !host->GetEqValue(-3));
  else if (id == 3)
    host->SetEqValue(-15, 0);
  else
    RunEqPresetCommand(host, id);
}

// A seek step (and 1), or 0 for any other id.
int RunSeekCommand(ISkinHost* host, int id) {
  for (const auto& step : kSeekSteps)
    if (step.id == id) return host->SeekRelative(step.delta), 1;
  if (id == 10001) {
    if (!host->IsPlaying()) host->Play();
    host->RunMenuCommand(id);
  } else if (id == 10002) {
    host->RunMenuCommand(id);
  } else if (id == 10020 || id == 10021) {
    const int value = id == 10020 ? 1 : 2;
    host->SetSetting(SKIN_SETTING_AUTO_RESUME, host->GetSetting(SKIN_SETTING_AUTO_RESUME) == value ? 0 : value);
  }
  return 0;
}

// After a seek step the seek items show again, with "Done", until something else is chosen.
void SeekLoop(CSkinState* state, CSkinElement* anchor, int id) {
  ISkinHost* host = state->GetHost();
  while (RunSeekCommand(host, id)) {
    HMENU menu = CreatePopupMenu();
    AppendItems(menu, kSeekItems);
    Append(menu, 0, nullptr);
    Append(menu, 10010, u"Done");
    id = Track(state, menu, anchor);
    DestroyMenu(menu);
  }
}

HMENU BuildMainMenu(CSkinState* state) {
  ISkinHost* host = state->GetHost();
  CSkin* skin = state->GetSkin();
  HMENU menu = CreatePopupMenu();
  if (skin->GetPragma(5) == 0) Append(menu, 4, u"Full Screen", host->GetSetting(SKIN_SETTING_TASKBAR) != 0);
  Append(menu, 8, u"Current Track...");
  if (!skin->FindElement(SKIN_KIND_BUTTON, u"STOP")) Append(menu, 9, host->IsPlaying() ? u"Stop" : u"Play");
  if (!skin->HasVisibleElement(u"EQUALIZER")) Append(menu, 6, u"Equalizer", host->GetEqValue(-2) != 0);
  if (!skin->HasVisibleElement(u"OPEN")) {
    HMENU open = CreatePopupMenu();
    const std::u16string local = u"Open " + host->GetLocalContentName();
    Append(open, 10, local.c_str());
    Append(open, 11, u"Open Folder");
    Append(open, 13, u"Open File");
    Append(open, 15, u"Open URL");
    Append(open, 0, nullptr);
    Append(open, 12, u"Add Folder");
    Append(open, 14, u"Add File");
    Append(open, 16, u"Add URL");
    AppendPopup(menu, open, u"Open...");
  }
  Append(menu, 0, nullptr);

  HMENU playlist = CreatePopupMenu();
  Append(playlist, 17, u"Repeat", host->GetRepeat() != 0);
  Append(playlist, 18, u"Play Shuffled", host->GetShuffle() != 0);
  Append(playlist, 35, u"Shuffle List Now");
  HMENU sort = CreatePopupMenu();
  Append(sort, 37, u"By Title");
  Append(sort, 36, u"By Artist");
  Append(sort, 33, u"By Album");
  Append(sort, 32, u"By File Name");
  Append(sort, 0, nullptr);
  Append(sort, 34, u"Reverse List Now");
  AppendPopup(playlist, sort, u"Sort");
  Append(playlist, 0, nullptr);
  Append(playlist, 40, u"Clear List");
  Append(playlist, 0, nullptr);
  Append(playlist, 38, u"Remember Position", host->GetSetting(SKIN_SETTING_AUTO_RESUME_PLAYLISTS) != 0);
  Append(playlist, 39, u"Advance Manually", host->GetSetting(SKIN_SETTING_MANUAL_ADVANCE) != 0);
  AppendPopup(menu, playlist, u"Playlist");

  HMENU seek = CreatePopupMenu();
  host->RunMenuHooks(seek, 3, 0, 0);
  AppendResumeItems(host, seek);
  Append(seek, 0, nullptr);
  if (HMENU bookmarks = BuildBookmarks(host))
    AppendPopup(seek, bookmarks, u"Bookmarks");
  else
    Append(seek, 100, u"Add Bookmark");
  HMENU steps = CreatePopupMenu();
  AppendItems(steps, kSeekItems);
  AppendPopup(seek, steps, u"Rewind/Forward");
  AppendPopup(menu, seek, u"Seek/Resume");
  Append(menu, 0, nullptr);

  HMENU more = CreatePopupMenu();
  Append(more, 19, u"Visualization");
  Append(more, 20, u"Mute", host->IsMuted() != 0);
  SkinDspState dsp = SKIN_DSP_NONE;
  const std::u16string dspName = host->GetDspName(&dsp);
  if (dsp == SKIN_DSP_NONE)
    Append(more, 21, u"DSP", false, true);
  else
    Append(more, 21, dspName.c_str(), dsp == SKIN_DSP_ENABLED);
  Append(more, 24, u"Crossfade", host->GetSetting(SKIN_SETTING_GAPLESS) != 0);
  Append(more, 22, u"Screen Off");
  Append(more, 0, nullptr);
  Append(more, 1, u"Options...");
  Append(more, 2, u"About...");
  if (!host->IsSmartphone()) Append(more, 3, u"Minimize");
  host->RunMenuHooks(more, 4, 0, 0);
  AppendPopup(menu, more, u"More...");
  Append(menu, 99, u"Exit");
  return menu;
}

bool Confirm(CSkinState* state, LPCWSTR question) {
  return MessageBoxW(state->GetSkin()->GetWindow(), question, u"Zonbrel", MB_YESNO) == IDYES;
}

}  // namespace

UINT MenuPlacement(CSkinState* state, CSkinElement* anchor, POINT* at) {
  RECT r{};
  if (anchor) anchor->GetRect(&r);
  CSkin* skin = state->GetSkin();
  const POINT origin = skin->WindowToSkin(POINT{0, 0});
  POINT p{r.left - origin.x, r.top - origin.y};
  ClientToScreen(skin->GetWindow(), &p);
  *at = p;
  const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
  const UINT h = p.x < cx ? TPM_LEFTALIGN : p.x == cx ? TPM_CENTERALIGN : TPM_RIGHTALIGN;
  const UINT v = p.y < cy ? TPM_TOPALIGN : p.y == cy ? TPM_VCENTERALIGN : TPM_BOTTOMALIGN;
  return h | v;
}

void ShowMainMenu(CSkinState* state, CSkinElement* anchor) {
  ISkinHost* host = state->GetHost();
  HMENU menu = BuildMainMenu(state);
  int id = host->RunMenuHooks(menu, 0, 0, 0);
  if (id == -1) id = Track(state, menu, anchor);
  DestroyMenu(menu);
  for (int slot : {3, 2, 4, 0}) id = host->RunMenuHooks(nullptr, slot, 1, id);
  if (id <= 0) return;
  if (id >= 10001) return SeekLoop(state, anchor, id);
  if (id == 6) return ShowEqMenu(state, anchor);
  RunMainMenuCommand(state, id);
}

void RunMainMenuCommand(CSkinState* state, int id) {
  ISkinHost* host = state->GetHost();
  for (const auto& open : kOpenItems) {
    if (open.id != id) continue;
    const std::u16string path = host->ShowOpenDialog(open.mode);
    if (!path.empty()) host->EnqueuePath(path.c_str(), open.add);
    return;
  }
  for (const auto& flip : kSettingFlips) {
    if (flip.id != id) continue;
    host->SetSetting(flip.setting, !host->GetSetting(flip.setting));
    if (flip.setting == SKIN_SETTING_DSP_ENABLED) state->UpdateDspElements();
    return;
  }
  switch (id) {
    case 8: {
      HMENU menu = CreatePopupMenu();
      Append(menu, host->IsPlaying() ? 2 : 1, host->IsPlaying() ? u"Stop" : u"Play");
      Append(menu, 0, nullptr);
      int chosen = host->RunMenuHooks(menu, 1, 0, host->GetCurrentIndex());
      if (chosen == -1) chosen = Track(state, menu, nullptr);
      DestroyMenu(menu);
      if (chosen == 1)
        host->Play();
      else if (chosen == 2)
        host->Stop();
      else if (chosen > 0)
        host->RunMenuHooks(nullptr, 1, 1, chosen);
      return;
    }
    case 9:
      return host->IsPlaying() ? host->Stop() : host->Play();
    case 17:
      return host->SetRepeat(!host->GetRepeat());
    case 18:
      return host->SetShuffle(!host->GetShuffle());
    case 19:
      return host->SetVisMode(0);
    case 20:
      return host->SetMute(!host->IsMuted());
    case 3000:
      if (Confirm(state, u"Delete all bookmarks for non-existent files?")) host->RunMenuCommand(id);
      return;
    case 3001:
      if (Confirm(state, u"Delete all bookmarks for all files?")) host->RunMenuCommand(id);
      return;
    default:
      host->RunMenuCommand(id);
  }
}

void ShowSeekMenu(CSkinState* state, CSkinElement* anchor) {
  HMENU menu = CreatePopupMenu();
  AppendResumeItems(state->GetHost(), menu);
  const int id = Track(state, menu, anchor);
  DestroyMenu(menu);
  if (id > 0) RunSeekCommand(state->GetHost(), id);
}

void ShowEqPresetMenu(CSkinState* state, CSkinElement* anchor) {
  ISkinHost* host = state->GetHost();
  HMENU menu = CreatePopupMenu();
  Append(menu, 4, u"Equalizer Presets");
  AppendItems(menu, kEqPresetItems, !host->IsSmartphone());
  const int id = Track(state, menu, anchor);
  DestroyMenu(menu);
  RunEqPresetCommand(host, id);
}

void ShowEqMenu(CSkinState* state, CSkinElement* anchor) {
  ISkinHost* host = state->GetHost();
  HMENU menu = CreatePopupMenu();
  AppendEqMenuItems(host, menu);
  const int id = Track(state, menu, anchor);
  DestroyMenu(menu);
  if (id > 0) RunEqMenuCommand(state, id);
  state->UpdateEqualizerElements();
}

void ShowCustomMenu(CSkinState* state, CSkinElement* anchor, int number) {
  ISkinHost* host = state->GetHost();
  HMENU menu = CreatePopupMenu();
  const int slot = 100 + number;
  int id = host->RunMenuHooks(menu, slot, 0, 0);
  if (id == -1 && GetMenuItemCount(menu) > 0) id = Track(state, menu, anchor);
  DestroyMenu(menu);
  if (id <= 0) return;
  const int answer = host->RunMenuHooks(nullptr, slot, 1, id);
  if (answer != id) host->RunMenuHooks(nullptr, slot, 1, answer);
}
