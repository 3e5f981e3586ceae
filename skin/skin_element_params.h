// The parameter block an element keyword of the skin script fills and the element factory builds
// from: the kind, the name, and the kind's bitmap ids, region and numbers in the order the kind's
// creator takes them (see CreateSkinElement).
#pragma once
#include <windows.h>

#include "skin/skin_region.h"

class CSkin;
class CSkinElement;

constexpr int kSkinMaxPolygonPoints = 32;
constexpr int kSkinMaxHands = 4;

// A region as the script writes it; Desc() gives the element's view of it.
struct SkinRegionSpec {
  int kind = SKIN_REGION_RECT;
  RECT rect{};
  int count = 0;
  POINT points[kSkinMaxPolygonPoints] = {};
  SkinRegionDesc Desc() const { return SkinRegionDesc{kind, rect, points, count}; }
};

struct SkinHandSpec {
  SkinRegionSpec region;
  COLORREF pen = static_cast<COLORREF>(-1);
  int penWidth = 0;
  COLORREF brush = static_cast<COLORREF>(-1);
};

struct SkinElementParams {
  int kind = 0;
  WCHAR name[260] = {};
  // BUTTON: released, pressed. ONOFF: off released, off pressed, on released, on pressed.
  // COUNTBUTTON: a released and a pressed id per state. SLIDER, RATCHET: the picture. LABEL,
  // LABEL2: background, font. DIAL: picture, pressed picture. GROUP: the group id.
  int ids[22] = {};
  int states = 0;  // COUNTBUTTON
  SkinRegionSpec region;
  // BUTTON: x, y, w, h, released x, y, pressed x, y. ONOFF: x, y, w, h and four source points.
  // COUNTBUTTON: x, y, w, h and the source points. SLIDER: orientation, frames, frame step,
  // track x, y, w, h, thumb w, h, pressed thumb w, h; RATCHET adds the edge margin. LABEL: the
  // alignment code. LABEL2: x, y, w, h, alignment code, inverted flag. PANEL: x, y, w, h,
  // visible, background origin x, y. DIAL: angle min, max, value min, max, steps, r1-r4.
  int numbers[48] = {};
  WCHAR script[32] = {};  // PANEL: the entry that holds the panel's script
  int hands = 0;          // DIAL
  SkinHandSpec hand[kSkinMaxHands];
};

// Builds the element of the block's kind on `owner`; null for a kind without an element class
// or when the element cannot be made (a panel whose script cannot be read).
CSkinElement* CreateSkinElement(CSkin* owner, const SkinElementParams& params);
