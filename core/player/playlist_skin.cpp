// The skin's playlist and visualisation layout and colours, laid out again whenever a skin is
// shown or the system's colours change.
#include "core/player/playlist_skin.h"

#include <algorithm>
#include <string>

#include "core/vis/vis_host.h"
#include "core/player/core_seam.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/window/main_window_neighbours.h"
#include "playlists/playlist_colors.h"
#include "skin/bitmap_helpers.h"
#include "skin/skin.h"
#include "skin/skin_element.h"
#include "skin/skin_settings.h"
#include "skin/skin_state.h"

const DWORD kDefaultVisColors[kVisColorCount] = {
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(239, 49, 16),   RGB(206, 41, 16),   RGB(214, 90, 0),
    RGB(214, 102, 0),   RGB(214, 115, 0),   RGB(198, 123, 8),   RGB(222, 165, 24),  RGB(214, 181, 33),
    RGB(189, 222, 41),  RGB(148, 222, 33),  RGB(41, 206, 16),   RGB(50, 190, 16),   RGB(57, 181, 16),
    RGB(49, 156, 8),    RGB(41, 148, 0),    RGB(24, 132, 8),    RGB(255, 255, 255), RGB(214, 214, 222),
    RGB(181, 189, 189), RGB(160, 170, 175), RGB(148, 156, 165), RGB(150, 150, 150)};

namespace {

constexpr int kUiPlaylistOrigin = 14, kUiPlaylistShown = 15, kUiItemRefreshed = 21;

BYTE Channel(int v) { return static_cast<BYTE>(std::clamp(v, 0, 255)); }

CSkin* CurrentSkin(CPlayerCore* core) {
  CSkinState* state = core->GetSkinState();
  return state ? state->GetSkin() : nullptr;
}

// The named element's rectangle moved by the origin; false when the skin has no such element.
bool ElementRect(CSkin* skin, LPCWSTR name, POINT origin, RECT* r) {
  CSkinElement* element = skin ? skin->FindElementByName(name) : nullptr;
  if (!element) return false;
  element->GetRect(r);
  OffsetRect(r, origin.x, origin.y);
  return true;
}

int FontHeight() {
  CSettings* settings = GetSettings();
  return settings ? -settings->playlistFontSize : 0;
}

}  // namespace

void ReadVisColors(LPCWSTR text, DWORD* colors) {
  if (!text) return;
  std::u16string_view rest(text);
  int filled = 0;
  while (!rest.empty() && filled < kVisColorCount) {
    const size_t end = rest.find_first_of(u"\r\n");
    const std::u16string line(rest.substr(0, end));
    int r, g, b;
    if (swscanf(line.c_str(), u"%d, %d, %d", &r, &g, &b) == 3) colors[filled++] = RGB(Channel(r), Channel(g), Channel(b));
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

void LoadPlaylistSkinColors(CPlayerCore* core, BOOL deleteTemporary) {
  CSkin* skin = CurrentSkin(core);
  DWORD colors[kVisColorCount];
  std::copy(std::begin(kDefaultVisColors), std::end(kDefaultVisColors), colors);
  if (skin) ReadVisColors(skin->ReadPackageText(u"VISCOLOR.TXT").c_str(), colors);
  const SkinSettings& tint = CurrentSkinSettings();
  if (SkinColoursAdjusted(tint))
    for (DWORD& c : colors) c = AdjustColour(c, tint.adjustColorsHue, tint.adjustColorsSat);
  if (CVisHost* vis = core->GetVisHost()) vis->VisHostSetColors(colors);

  CPlaylist* playlist = core->GetPlaylist();
  LoadPlaylistColorScheme(playlist, nullptr, FontHeight());
  const std::u16string text = skin ? skin->ReadPackageText(u"PLEDIT.TXT") : std::u16string();
  if (!text.empty()) LoadPlaylistColorScheme(playlist, text.c_str(), FontHeight());

  if (deleteTemporary) DeleteTemporarySkin();
  core->SendUiCommand(kUiItemRefreshed, core->GetCurrentItem());
  LayoutPlaylistAndVis(core);
}

void LayoutPlaylistAndVis(CPlayerCore* core) {
  CSkin* skin = CurrentSkin(core);
  const auto packed = static_cast<DWORD>(core->SendUiCommand(kUiPlaylistOrigin, nullptr));
  const POINT origin{static_cast<SHORT>(LOWORD(packed)), static_cast<SHORT>(HIWORD(packed))};
  RECT small, large, list;
  if (!ElementRect(skin, u"VISSMALL", origin, &small)) SetRect(&small, origin.x - 16, origin.y - 16, origin.x, origin.y);
  const bool hasList = ElementRect(skin, u"PLAYLISTLIST", origin, &list);
  if (!ElementRect(skin, u"VISLARGE", origin, &large))
    large = hasList && core->SendUiCommand(kUiPlaylistShown, nullptr) ? list : small;
  if (CVisHost* vis = core->GetVisHost()) {
    vis->VisHostSetRect1(small);
    vis->SetLargeRect(large);
  }
  if (hasList) LogSeam(u"the playlist list window at the skin's playlist area");

  // The skin and both areas are drawn anew where they lie now.
  if (HWND window = core->GetMainWindow()) InvalidateRect(window, nullptr, FALSE);
  LoadPlaylistColorScheme(core->GetPlaylist(), u"", FontHeight());
}

LRESULT PlaylistWindowHook(CPlayerCore* core, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTINGCHANGE) {
    LoadPlaylistSkinColors(core, FALSE);
    return 0;
  }
  CSkinState* state = core->GetSkinState();
  return state ? state->HandleWindowMessage(window, message, wParam, lParam) : 0;
}
