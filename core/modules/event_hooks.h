// The event-hook list: plug-in functions that the core offers transport steps, buttons, menus,
// service requests and status changes before doing its own work. Decoder threads dispatch while
// the main thread adds and removes hooks, so each dispatch walks a snapshot of the list: a
// concurrent change never frees what a walk uses, and never shifts an entry past it.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "core/common/critical_section.h"
#include "core/interface/player_callback.h"

class CEventHooks {
 public:
  // Probes the hook for the events it takes and appends it; nothing for a null hook or one
  // already in the list.
  void Add(PlayerEventHook hook);
  // Removes the hook's entry; nothing when it is not in the list.
  void Remove(PlayerEventHook hook);
  // The last non-negative hook result, or E_FAIL when no hook took the event. With `out`, the
  // first hook that takes the event ends the walk. Each hook gets its own copy of *outSize.
  int Dispatch(UINT event, void* data, UINT size, void* out, UINT* outSize);

  // Event 31 (phase 1 or 4, a press) or 32 with the packed word (b << 16) | (a & 0xFFFF);
  // true when a hook took it.
  bool OfferButton(DWORD a, DWORD b, int phase);
  // Phase 0 while a popup menu is built (-1: show it, else the command taken), phase 1 after a
  // command was chosen (the command to run).
  int RunMenuHooks(HMENU menu, int menuKind, int phase, int chosen);

  size_t Count();

 private:
  struct Entry {
    PlayerEventHook hook;
    std::vector<UINT> events;  // ascending; {0} alone: ask the hook at every event
    bool AsksEachTime() const { return events.size() == 1 && events[0] == 0; }
    bool Takes(UINT event) const;
  };
  using List = std::vector<Entry>;

  std::shared_ptr<const List> Snapshot();
  static Entry Probe(PlayerEventHook hook);

  CCriticalSection lock_;
  std::shared_ptr<const List> list_ = std::make_shared<const List>();
};
