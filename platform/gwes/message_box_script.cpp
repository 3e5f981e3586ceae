// The message boxes' script and record in the shared segment, so a test can answer and check
// the boxes of a program it started as well as its own.
#include <algorithm>

#include "gwes/message_box.h"
#include "gwes/message_box_record.h"
#include "gwes/wm_session.h"

namespace zb::wm {

bool ScriptMessageBox(std::u16string_view caption, int answer) {
  if (caption.size() > kClassChars) return false;
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  for (ScriptedAnswer& a : s.script) {
    if (a.used) continue;
    a.used = 1;
    a.seq = ++s.seq;
    a.answer = answer;
    CopyName(a.caption, kClassChars, caption);
    return true;
  }
  return false;
}

void ClearMessageBoxScript() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  for (ScriptedAnswer& a : s.script) a.used = 0;
}

std::vector<ShownMessageBox> ShownMessageBoxes() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  std::vector<const ShownBox*> boxes;
  for (const ShownBox& b : s.shown) {
    if (b.seq) boxes.push_back(&b);
  }
  std::sort(boxes.begin(), boxes.end(), [](const ShownBox* a, const ShownBox* b) { return a->seq < b->seq; });
  std::vector<ShownMessageBox> out;
  for (const ShownBox* b : boxes) out.push_back({b->pid, b->caption, b->text, b->type, b->answer});
  return out;
}

void ClearShownMessageBoxes() {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  for (ShownBox& b : s.shown) b = ShownBox{};
}

bool TakeScriptedAnswer(std::u16string_view caption, int* answer) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  ScriptedAnswer* best = nullptr;
  for (ScriptedAnswer& a : s.script) {
    if (!a.used || (a.caption[0] && !SameName(a.caption, caption))) continue;
    if (!best || a.seq < best->seq) best = &a;
  }
  if (!best) return false;
  *answer = best->answer;
  best->used = 0;
  return true;
}

void RecordShown(std::u16string_view caption, std::u16string_view text, UINT type, int answer) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  ShownBox* slot = &s.shown[0];
  for (ShownBox& b : s.shown) {
    if (b.seq < slot->seq) slot = &b;  // the free or the oldest entry
  }
  slot->pid = kernel::ThisPid();
  slot->type = type;
  slot->answer = answer;
  slot->seq = ++s.seq;
  CopyName(slot->caption, kClassChars, caption);
  CopyName(slot->text, kTitleChars, text);
}

}  // namespace zb::wm
