// The playlist colour scheme: system-colour defaults, the skin's "key=value" colour text, the
// user's skin tint, and the colours each owner-drawn row takes from it.
#include "playlists/playlist_colors.h"

#include <string>
#include <string_view>

#include "playlists/playlist.h"
#include "skin/bitmap_helpers.h"
#include "skin/skin_settings.h"

namespace {

constexpr int kGradientWeight = 64;

PlaylistColorScheme DefaultScheme() {
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  PlaylistColorScheme s{};
  s.normalText = GetSysColor(COLOR_WINDOWTEXT);
  s.currentText = highlight;
  s.normalBackground = window;
  s.selectedBackground = highlight;
  s.gradient = 1;
  s.gradientColor = BlendColor(window, GetSysColor(COLOR_ACTIVECAPTION), kGradientWeight);
  s.alternateBackground = window;
  s.currentBackground = window;
  s.selectedTextSet = 1;
  s.selectedText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  s.focusColor = highlight;
  return s;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
  return s;
}

bool KeyIs(std::u16string_view key, LPCWSTR name) { return _wcsicmp(std::u16string(key).c_str(), name) == 0; }

// "#RRGGBB" as the skin writes it; false when no hex digit follows the "#".
bool ReadRgb(std::u16string_view value, COLORREF* rgb) {
  if (value.empty() || value.front() != u'#') return false;
  DWORD v = 0;
  size_t digits = 0;
  for (size_t i = 1; i < value.size() && digits < 8; ++i, ++digits) {
    const char16_t c = value[i];
    int d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else break;
    v = v << 4 | static_cast<DWORD>(d);
  }
  if (digits == 0) return false;
  *rgb = v & 0xFFFFFF;
  return true;
}

bool ReadNumber(std::u16string_view value, int* out) {
  return swscanf(std::u16string(value).c_str(), u"%d", out) == 1;
}

// The text keeps red in the high byte; COLORREF keeps it in the low one.
COLORREF FromRgb(COLORREF rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }

bool GradientAllowed() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExW(&version) && version.dwMajorVersion >= 4;
}

struct ColourKey {
  LPCWSTR name;
  COLORREF PlaylistColorScheme::*colour;
  DWORD PlaylistColorScheme::*flag;  // null: the colour has no flag of its own
};

constexpr ColourKey kColourKeys[] = {
    {u"Normal", &PlaylistColorScheme::normalText, nullptr},
    {u"Current", &PlaylistColorScheme::currentText, nullptr},
    {u"NormalBG", &PlaylistColorScheme::normalBackground, nullptr},
    {u"SelectedBG", &PlaylistColorScheme::selectedBackground, nullptr},
    {u"NormalGradientBG", &PlaylistColorScheme::gradientColor, &PlaylistColorScheme::gradient},
    {u"NormalAltBG", &PlaylistColorScheme::alternateBackground, &PlaylistColorScheme::alternateRows},
    {u"CurrentBG", &PlaylistColorScheme::currentBackground, &PlaylistColorScheme::currentRowBackground},
    {u"SelectedFG", &PlaylistColorScheme::selectedText, &PlaylistColorScheme::selectedTextSet},
    {u"FocusHighlight", &PlaylistColorScheme::focusColor, &PlaylistColorScheme::focusHighlight},
};

void ReadLine(PlaylistColorScheme& s, std::u16string_view line, bool gradientAllowed) {
  const size_t equals = line.find(u'=');
  if (equals == 0 || equals == std::u16string_view::npos) return;
  const std::u16string_view key = Trim(line.substr(0, equals));
  const std::u16string_view value = Trim(line.substr(equals + 1));
  if (value.empty()) return;
  for (const ColourKey& k : kColourKeys) {
    if (!KeyIs(key, k.name)) continue;
    if (k.flag == &PlaylistColorScheme::gradient && !gradientAllowed) return;
    COLORREF rgb;
    if (!ReadRgb(value, &rgb)) return;
    s.*k.colour = FromRgb(rgb);
    if (k.flag) s.*k.flag = 1;
    return;
  }
  int number;
  if (KeyIs(key, u"Font")) {
    // The whole value: face names have spaces in them.
    const std::u16string_view face = value.substr(0, std::size(s.fontFace) - 1);
    face.copy(s.fontFace, face.size());
    s.fontFace[face.size()] = 0;
    s.fontFaceSet = 1;
  } else if (KeyIs(key, u"FontWeight") && ReadNumber(value, &number)) {
    s.fontWeight = number;
    s.fontWeightSet = 1;
  } else if (KeyIs(key, u"BackgroundFlags") && ReadNumber(value, &number)) {
    s.backgroundFlags = static_cast<DWORD>(number);
  } else if (KeyIs(key, u"HighlightFlags") && ReadNumber(value, &number)) {
    s.highlightFlags = static_cast<DWORD>(number);
  }
}

void ReadColourText(PlaylistColorScheme& s, std::u16string_view text) {
  s.gradient = s.alternateRows = s.currentRowBackground = s.selectedTextSet = s.focusHighlight = 0;
  s.backgroundFlags = s.highlightFlags = s.fontFaceSet = s.fontWeightSet = 0;
  const bool gradientAllowed = GradientAllowed();
  while (!text.empty()) {
    const size_t end = text.find_first_of(u"\r\n");
    ReadLine(s, text.substr(0, end), gradientAllowed);
    if (end == std::u16string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

void TintColours(PlaylistColorScheme& s) {
  const SkinSettings& settings = CurrentSkinSettings();
  if (!SkinColoursAdjusted(settings)) return;
  for (COLORREF PlaylistColorScheme::*colour : {&PlaylistColorScheme::normalText, &PlaylistColorScheme::currentText,
                                                &PlaylistColorScheme::normalBackground, &PlaylistColorScheme::selectedBackground,
                                                &PlaylistColorScheme::gradientColor, &PlaylistColorScheme::alternateBackground,
                                                &PlaylistColorScheme::currentBackground, &PlaylistColorScheme::selectedText,
                                                &PlaylistColorScheme::focusColor})
    s.*colour = AdjustColour(s.*colour, settings.adjustColorsHue, settings.adjustColorsSat);
}

}  // namespace

COLORREF BlendColor(COLORREF a, COLORREF b, int weight) {
  if (weight == 0) return a;
  const auto mix = [weight](int x, int y) { return (y * weight + x * (256 - weight)) / 256; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

PlaylistColorScheme& GetPlaylistColorScheme() {
  static PlaylistColorScheme scheme = DefaultScheme();
  return scheme;
}

void LoadPlaylistColorScheme(CPlaylist* playlist, LPCWSTR text, int fontHeight) {
  PlaylistColorScheme& s = GetPlaylistColorScheme();
  if (!text || *text) {
    s = DefaultScheme();
    if (text) ReadColourText(s, text);
    TintColours(s);
  }
  s.fontHeight = fontHeight;
  if (playlist) playlist->Notify(PLM_COLORS, 0, reinterpret_cast<LPARAM>(&s));
}

void ApplyPlaylistItemColors(const DRAWITEMSTRUCT* item) {
  const PlaylistColorScheme& s = GetPlaylistColorScheme();
  const bool selected = item->itemState & ODS_SELECTED;
  const bool current = item->itemState & ODS_FOCUS;
  COLORREF text, background;
  if (selected && current) {
    background = s.focusHighlight ? s.focusColor : s.selectedBackground;
    text = s.gradient ? s.gradientColor : s.normalBackground;
  } else if (selected) {
    text = s.selectedTextSet ? s.selectedText : s.normalText;
    background = s.selectedBackground;
  } else if (current) {
    text = s.currentText;
    background = s.currentRowBackground ? s.currentBackground : s.normalBackground;
  } else {
    text = s.normalText;
    background = s.alternateRows && (item->itemID & 1) ? s.alternateBackground : s.normalBackground;
  }
  SetTextColor(item->hDC, text);
  SetBkColor(item->hDC, background);
}
