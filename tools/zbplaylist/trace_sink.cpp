// The trace's lines: the message by name and its parameters as the view reads them (signed
// numbers; a move as its packed word in hex, or the full indices of a wide move).
#include "trace_sink.h"

#include <cstdio>

#include "playlist_messages.h"

namespace {

constexpr struct {
  UINT message;
  const char* name;
} kMessageNames[] = {
    {PLM_START, "PLM_START"},
    {PLM_RESET, "PLM_RESET"},
    {PLM_ITEMREPLACED, "PLM_ITEMREPLACED"},
    {PLM_REMOVED, "PLM_REMOVED"},
    {PLM_ITEMCHANGED, "PLM_ITEMCHANGED"},
    {PLM_CURRENT, "PLM_CURRENT"},
    {PLM_MOVED, "PLM_MOVED"},
    {PLM_COLORS, "PLM_COLORS"},
    {PLM_BATCH, "PLM_BATCH"},
    {PLM_FINDWORKER, "PLM_FINDWORKER"},
    {PLM_WORKERCLOSE, "PLM_WORKERCLOSE"},
    {PLM_FILENAME, "PLM_FILENAME"},
    {PLM_GETVISIBLECOUNT, "PLM_GETVISIBLECOUNT"},
    {PLM_GETTOPINDEX, "PLM_GETTOPINDEX"},
    {PLM_SCROLL, "PLM_SCROLL"},
    {PLM_WORKERHOLD, "PLM_WORKERHOLD"},
    {PLM_COMMAND, "PLM_COMMAND"},
    {PLM_FINDDUPLICATOR, "PLM_FINDDUPLICATOR"},
    {PLM_TITLE, "PLM_TITLE"},
    {PLM_ITEMINFO, "PLM_ITEMINFO"},
};

std::string Signed(UINT_PTR value) { return std::to_string(static_cast<LONG>(value)); }

}  // namespace

void CTraceSink::SetDead(HWND view, bool dead) {
  if (dead) {
    dead_.insert(view);
  } else {
    dead_.erase(view);
  }
}

std::string CTraceSink::Describe(UINT message, WPARAM wParam, LPARAM lParam) {
  std::string name = "message " + std::to_string(message);
  for (const auto& known : kMessageNames) {
    if (known.message == message) name = known.name;
  }
  if (message == PLM_MOVED) {
    LONG from = 0, to = 0;
    BOOL shift = FALSE;
    CrackPlaylistMove(wParam, lParam, &from, &to, &shift);
    if (wParam & PLM_MOVED_WIDE) return name + " " + Signed(wParam) + " {" + std::to_string(from) + "," + std::to_string(to) + "}";
    char packed[16];
    std::snprintf(packed, sizeof packed, "0x%08X", static_cast<unsigned>(static_cast<DWORD>(lParam)));
    return name + " " + Signed(wParam) + " " + packed;
  }
  return name + " " + Signed(wParam) + " " + Signed(static_cast<UINT_PTR>(lParam));
}

LRESULT CTraceSink::SendViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  trace_ += "  " + std::to_string(reinterpret_cast<INT_PTR>(view)) + ": " + Describe(message, wParam, lParam) + "\n";
  return 0;
}
