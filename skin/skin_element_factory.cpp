// The element factory: one creator per kind, each making its element and setting the name,
// bitmaps, region and geometry from the parameter block through the element's own operations.
#include <algorithm>
#include <iterator>

#include "skin/skin.h"
#include "skin/skin_button.h"
#include "skin/skin_dial.h"
#include "skin/skin_element_params.h"
#include "skin/skin_label.h"
#include "skin/skin_panel.h"
#include "skin/skin_slider.h"

namespace {

using Creator = CSkinElement* (*)(CSkin*, const SkinElementParams&);

CSkinElement* MakeButton(CSkin* owner, const SkinElementParams& p) {
  auto* e = new CSkinButton(owner);
  const int* n = p.numbers;
  e->SetBitmaps(p.ids[0], p.ids[1]);
  e->SetGeometry(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
  e->SetRegion(p.region.Desc());
  return e;
}

CSkinElement* MakeOnOff(CSkin* owner, const SkinElementParams& p) {
  auto* e = new CSkinOnOffButton(owner);
  const int* n = p.numbers;
  e->SetBitmaps4(p.ids[0], p.ids[1], p.ids[2], p.ids[3]);
  e->SetGeometry12(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11]);
  e->SetRegion(p.region.Desc());
  return e;
}

CSkinElement* MakeCountButton(CSkin* owner, const SkinElementParams& p) {
  const int states = std::clamp(p.states, 0, CSkinCountButton::kMaxStates);
  auto* e = new CSkinCountButton(owner, states);
  const int* n = p.numbers;
  POINT sources[2 * CSkinCountButton::kMaxStates] = {};
  for (int i = 0; i < 2 * states; ++i) sources[i] = POINT{n[4 + 2 * i], n[5 + 2 * i]};
  e->SetBitmaps(p.ids);
  e->SetGeometry4(n[0], n[1], n[2], n[3]);
  e->SetSourcePoints(sources);
  e->SetRegion(p.region.Desc());
  return e;
}

template <typename Slider>
CSkinElement* MakeSlider(CSkin* owner, const SkinElementParams& p) {
  auto* e = new Slider(owner);
  const int* n = p.numbers;
  e->SetBitmap(p.ids[0]);
  if constexpr (std::is_same_v<Slider, CSkinRatchet>) {
    e->SetGeometryWithMargin(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11]);
  } else {
    e->SetGeometry(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10]);
  }
  e->SetRegion(p.region.Desc());
  return e;
}

CSkinElement* MakeLabel(CSkin* owner, const SkinElementParams& p) {
  auto* e = new CSkinLabel(owner);
  const RECT& r = p.region.rect;
  e->SetBackground(p.ids[0]);
  e->SetFont(p.ids[1]);
  e->SetRegion(p.region.Desc());
  e->SetBox(r.left, r.top, r.right - r.left, r.bottom - r.top, r.left, r.top, p.numbers[0], FALSE);
  return e;
}

// A LABEL2 gives its text box directly; the region stays the stylus's.
CSkinElement* MakeLabel2(CSkin* owner, const SkinElementParams& p) {
  auto* e = new CSkinLabel(owner);
  const int* n = p.numbers;
  e->SetBackground(p.ids[0]);
  e->SetFont(p.ids[1]);
  e->SetBox(n[0], n[1], n[2], n[3], n[0], n[1], n[4], n[5] != 0);
  e->SetRegion(p.region.Desc());
  return e;
}

CSkinElement* MakeGroup(CSkin* owner, const SkinElementParams& p) {
  auto* e = new CSkinGroup(owner);
  e->SetGroupId(p.ids[0]);
  return e;
}

CSkinElement* MakeDial(CSkin* owner, const SkinElementParams& p) {
  auto* e = new CSkinDial(owner);
  const int* n = p.numbers;
  e->SetGeometry(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8]);
  e->SetRegion(p.region.Desc());
  if (p.hands >= 1 && p.hands <= kSkinMaxHands) {
    SkinRegionDesc regions[kSkinMaxHands];
    COLORREF pens[kSkinMaxHands], brushes[kSkinMaxHands];
    int widths[kSkinMaxHands];
    for (int i = 0; i < p.hands; ++i) {
      regions[i] = p.hand[i].region.Desc();
      pens[i] = p.hand[i].pen;
      widths[i] = p.hand[i].penWidth;
      brushes[i] = p.hand[i].brush;
    }
    e->SetHands(p.hands, regions, pens, widths, brushes);
  } else {
    e->SetBitmaps(p.ids[0], p.ids[1]);
  }
  return e;
}

CSkinElement* MakePanel(CSkin* owner, const SkinElementParams& p) { return CSkinPanel::Create(owner, p); }

struct KindCreator {
  int kind;
  Creator create;
};

constexpr KindCreator kCreators[] = {
    {SKIN_KIND_BUTTON, MakeButton},          {SKIN_KIND_ONOFF, MakeOnOff},
    {SKIN_KIND_SLIDER, MakeSlider<CSkinSlider>}, {SKIN_KIND_LABEL, MakeLabel},
    {SKIN_KIND_LABEL2, MakeLabel2},          {SKIN_KIND_COUNTBUTTON, MakeCountButton},
    {SKIN_KIND_GROUP, MakeGroup},            {SKIN_KIND_RATCHET, MakeSlider<CSkinRatchet>},
    {SKIN_KIND_PANEL, MakePanel},            {SKIN_KIND_DIAL, MakeDial},
};

}  // namespace

CSkinElement* CreateSkinElement(CSkin* owner, const SkinElementParams& params) {
  for (const KindCreator& c : kCreators) {
    if (c.kind != params.kind) continue;
    CSkinElement* e = c.create(owner, params);
    if (e && params.kind != SKIN_KIND_PANEL) e->SetName(params.name);
    return e;
  }
  return nullptr;
}
