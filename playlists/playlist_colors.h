// The colours and font the playlist's rows are drawn with: one scheme for the process, made from
// the system colours and the skin's colour text ("PLEDIT.TXT"), handed to the playlist's views
// with PLM_COLORS and applied to each owner-drawn row.
#pragma once
#include <windows.h>

class CPlaylist;

struct PlaylistColorScheme {
  COLORREF normalText;
  COLORREF currentText;
  COLORREF normalBackground;
  COLORREF selectedBackground;
  DWORD gradient;
  COLORREF gradientColor;
  DWORD alternateRows;
  COLORREF alternateBackground;
  DWORD currentRowBackground;
  COLORREF currentBackground;
  DWORD selectedTextSet;
  COLORREF selectedText;
  DWORD focusHighlight;
  COLORREF focusColor;
  DWORD backgroundFlags;
  DWORD highlightFlags;
  int fontHeight;
  DWORD fontFaceSet;
  WCHAR fontFace[260];
  DWORD fontWeightSet;
  int fontWeight;
};

// b weighed w against a weighed 256 - w, per channel, truncated; w 0 gives a.
COLORREF BlendColor(COLORREF a, COLORREF b, int weight);

PlaylistColorScheme& GetPlaylistColorScheme();
// A null or non-empty text starts from the defaults; a non-empty one is read as "key=value"
// lines. An empty text keeps the scheme. The font height is set and the scheme sent to the views.
void LoadPlaylistColorScheme(CPlaylist* playlist, LPCWSTR text, int fontHeight);
// Text and background of one row's device context: bit 0 of the state selected, bit 4 the
// current entry, odd item numbers the alternate rows.
void ApplyPlaylistItemColors(const DRAWITEMSTRUCT* item);
