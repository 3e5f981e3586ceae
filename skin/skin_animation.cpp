// Skin animation on the main window's timer: frame labels step through their glyph set (never
// back to its first glyph, which is the resting frame), and rotating groups show one member at a
// time, each for four seconds, skipping labels that have nothing to say.
#include <algorithm>
#include <vector>

#include "skin/skin.h"

namespace {

constexpr DWORD kRotationMs = 4000;
constexpr UINT kGetGlyphSet = 1241, kGetGlyphCount = 1242, kGetCharAt = 1243;

bool IsRotatingGroup(CSkinElement* e) {
  if (!e->IsKind(SKIN_KIND_GROUP)) return false;
  const int id = static_cast<CSkinGroup*>(e)->GetGroupId();
  return id > 0 && (id & 0x400);
}

}  // namespace

void CSkin::InvalidateInWindow(CSkinElement* element) {
  RECT r;
  element->GetRect(&r);
  const POINT origin = WindowToSkin(POINT{0, 0});
  OffsetRect(&r, -origin.x, -origin.y);
  InvalidateRect(window_, &r, FALSE);
}

void CSkin::StepFrameLabel(CSkinElement* label, int phase) {
  WCHAR set[256] = {};
  label->SendMessage(window_, kGetGlyphSet, 0, reinterpret_cast<LPARAM>(set));
  const int length = std::min(static_cast<int>(label->SendMessage(window_, kGetGlyphCount, 0, 0)), 255);
  if (length <= 0) return;
  WCHAR text[2] = {set[0], 0};
  if (phase != 0) {
    const auto current = static_cast<WCHAR>(label->SendMessage(window_, kGetCharAt, 0, 0));
    int i = 0;
    while (i < length && set[i] != current) ++i;
    if (i == length) return;  // a frame the set does not hold stays as it is
    if (phase < 2) ++i;
    if (i >= length) i = length > 1 ? 1 : 0;
    text[0] = set[i];
  }
  label->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CSkin::RotateGroup(size_t groupIndex, int phase) {
  auto* group = static_cast<CSkinGroup*>(elements_[groupIndex].get());
  std::vector<CSkinElement*> members;
  for (size_t i = groupIndex + 1; i < elements_.size() && !elements_[i]->IsKind(SKIN_KIND_GROUP); ++i)
    members.push_back(elements_[i].get());
  if (phase == 0) group->SetTimestamp(0);
  const DWORD now = GetTickCount();
  if (group->GetTimestamp() == 0) {
    for (CSkinElement* m : members) {
      if (!m->IsVisible()) continue;
      m->SetVisible(FALSE);
      InvalidateInWindow(m);
    }
    group->SetTimestamp(now);
    return;
  }
  if (now - group->GetTimestamp() <= kRotationMs || members.empty()) return;
  const int count = static_cast<int>(members.size());
  int last = -1;
  for (int i = 0; i < count; ++i)
    if (members[i]->IsVisible()) last = i;
  auto sayable = [this](CSkinElement* m) {
    return !m->IsKind(SKIN_KIND_LABEL) || m->SendMessage(window_, kGetCharAt, 0, 0) != 0;
  };
  const int start = last < 0 ? count - 1 : last;
  int next = start;
  do {
    next = (next + 1) % count;
  } while (next != start && !sayable(members[next]));
  if (next != last && sayable(members[next])) {
    if (last >= 0) members[last]->SetVisible(FALSE);
    members[next]->SetVisible(TRUE);
    members[next]->Invalidate();
  }
  group->SetTimestamp(now);
}

void CSkin::Animate(int phase) {
  if (!animated_) return;
  CSkinElement* label = FindElement(SKIN_KIND_LABEL, u"ANIMATION");
  if (!label) label = FindElement(SKIN_KIND_LABEL, u"ANIMATION1");
  for (int n = 2; label; ++n) {
    StepFrameLabel(label, phase);
    WCHAR name[32];
    wsprintfW(name, u"ANIMATION%d", n);
    label = FindElement(SKIN_KIND_LABEL, name);
  }
  for (size_t i = 0; i < elements_.size(); ++i)
    if (IsRotatingGroup(elements_[i].get())) RotateGroup(i, phase);
}
