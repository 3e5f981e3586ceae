// The event-hook list (see event_hooks.h): registration probe, dispatch, and the button and
// menu offers built on it.
#include "core/modules/event_hooks.h"

#include <algorithm>

#include "core/interface/player_events.h"

namespace {

// Codes probed at registration besides 1..PLAYER_EVENT_HIGHEST_PROBED.
constexpr UINT kProbedLate[] = {PLAYER_EVENT_OUTPUT_DEVICE};

}  // namespace

bool CEventHooks::Entry::Takes(UINT event) const { return std::binary_search(events.begin(), events.end(), event); }

CEventHooks::Entry CEventHooks::Probe(PlayerEventHook hook) {
  Entry entry{hook, {}};
  if (hook(PLAYER_EVENT_QUERY | 0, nullptr, 0, nullptr, nullptr) < 0) {
    entry.events = {0};
    return entry;
  }
  for (UINT code = 1; code <= PLAYER_EVENT_HIGHEST_PROBED; ++code)
    if (hook(code | PLAYER_EVENT_QUERY, nullptr, 0, nullptr, nullptr) >= 0) entry.events.push_back(code);
  for (UINT code : kProbedLate)
    if (hook(code | PLAYER_EVENT_QUERY, nullptr, 0, nullptr, nullptr) >= 0) entry.events.push_back(code);
  return entry;
}

std::shared_ptr<const CEventHooks::List> CEventHooks::Snapshot() {
  CSectionLock hold(lock_);
  return list_;
}

void CEventHooks::Add(PlayerEventHook hook) {
  auto listed = [hook](const List& list) {
    return std::any_of(list.begin(), list.end(), [hook](const Entry& e) { return e.hook == hook; });
  };
  if (!hook || listed(*Snapshot())) return;
  // The probe calls into the plug-in, so it runs outside the lock.
  Entry entry = Probe(hook);
  CSectionLock hold(lock_);
  if (listed(*list_)) return;
  auto next = std::make_shared<List>(*list_);
  next->push_back(std::move(entry));
  list_ = std::move(next);
}

void CEventHooks::Remove(PlayerEventHook hook) {
  CSectionLock hold(lock_);
  auto at = std::find_if(list_->begin(), list_->end(), [hook](const Entry& e) { return e.hook == hook; });
  if (at == list_->end()) return;
  auto next = std::make_shared<List>(*list_);
  next->erase(next->begin() + (at - list_->begin()));
  list_ = std::move(next);
}

size_t CEventHooks::Count() { return Snapshot()->size(); }

int CEventHooks::Dispatch(UINT event, void* data, UINT size, void* out, UINT* outSize) {
  const std::shared_ptr<const List> list = Snapshot();
  int result = E_FAIL;
  for (const Entry& entry : *list) {
    UINT localOutSize = outSize ? *outSize : 0;
    if (!entry.Takes(event)) {
      if (!entry.AsksEachTime()) continue;
      if (entry.hook(event | PLAYER_EVENT_QUERY, data, size, out, &localOutSize) < 0) continue;
    }
    const int answer = entry.hook(event, data, size, out, &localOutSize);
    if (answer < 0) continue;
    result = answer;
    if (out) break;
  }
  return result;
}

bool CEventHooks::OfferButton(DWORD a, DWORD b, int phase) {
  const UINT event = phase == 1 || phase == 4 ? PLAYER_EVENT_BUTTON_DOWN : PLAYER_EVENT_BUTTON_UP;
  DWORD packed = (b << 16) | (a & 0xFFFF);
  return Dispatch(event, &packed, sizeof packed, nullptr, nullptr) >= 0;
}

int CEventHooks::RunMenuHooks(HMENU menu, int menuKind, int phase, int chosen) {
  UINT wordSize = sizeof(int);
  const bool kindTaken = Dispatch(PLAYER_EVENT_MENU_KIND, &menuKind, sizeof menuKind, nullptr, nullptr) >= 0;
  if (phase == 0) {
    if (!kindTaken) return -1;
    int answer = -1;
    if (Dispatch(PLAYER_EVENT_MENU_CHOOSE, &chosen, sizeof chosen, &answer, &wordSize) >= 0) return answer;
    int built = -1;
    // The menu handle itself travels in the data pointer.
    if (Dispatch(PLAYER_EVENT_MENU_BUILD, menu, sizeof(DWORD), &built, &wordSize) >= 0) return built;
    return -1;
  }
  if (!kindTaken) return chosen;
  int answer = chosen;
  Dispatch(PLAYER_EVENT_MENU_CHOSEN, menu, sizeof(DWORD), &answer, &wordSize);
  return answer;
}
