// How a playlist talks to its views: every notification goes to every registered window in
// order; a batch holds back insert notifications so a long run of them reaches the views at once.
#include <algorithm>

#include "playlist.h"
#include "playlist_view_sink.h"

void CPlaylist::AddView(HWND view) { views_.push_back(view); }

void CPlaylist::RemoveView(HWND view) {
  auto found = std::find(views_.begin(), views_.end(), view);
  if (found != views_.end()) views_.erase(found);
}

LRESULT CPlaylist::Notify(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsEntryChange(message)) boundChanged_ = true;
  if (batching_ && message == PLM_ITEMCHANGED) {
    held_.push_back(static_cast<int>(wParam));
    return 0;
  }
  IPlaylistViewSink* sink = GetPlaylistViewSink();
  if (!sink) return 0;
  // A view may register or unregister views while it handles the message.
  const std::vector<HWND> views = views_;
  LRESULT answer = 0;
  for (HWND view : views) {
    if (view && sink->IsViewWindow(view)) answer = sink->SendViewMessage(view, message, wParam, lParam);
  }
  return answer;
}

void CPlaylist::SetBatching(BOOL on) {
  if (on) {
    batching_ = TRUE;
    return;
  }
  // Ending a batch that was never begun changes nothing: it must not start one that nobody ends.
  if (!batching_) return;
  batching_ = FALSE;
  const std::vector<int> held = std::move(held_);
  held_.clear();
  for (int index : held) Notify(PLM_ITEMCHANGED, static_cast<WPARAM>(index), index);
  SendCurrent();
}

LRESULT CPlaylist::FillView(HWND view) {
  IPlaylistViewSink* sink = GetPlaylistViewSink();
  if (!sink || !view || !sink->IsViewWindow(view)) return 0;
  sink->SendViewMessage(view, PLM_BATCH, 0, 0);
  for (int i = 0; i < GetCount(); ++i) sink->SendViewMessage(view, PLM_ITEMCHANGED, static_cast<WPARAM>(-1), i);
  return sink->SendViewMessage(view, PLM_BATCH, 1, 0);
}

int CPlaylist::GetTopIndex() {
  LONG result = -1;
  Notify(PLM_GETTOPINDEX, 0, reinterpret_cast<LPARAM>(&result));
  return result;
}

int CPlaylist::GetVisibleCount() {
  LONG result = -1;
  Notify(PLM_GETVISIBLECOUNT, 0, reinterpret_cast<LPARAM>(&result));
  return result;
}

void CPlaylist::ScrollTo(int top, int count) { Notify(PLM_SCROLL, static_cast<WPARAM>(top), count); }

void CPlaylist::SendCommand(int code) {
  if (code != 0) Notify(PLM_COMMAND, 0, code);
}

void CPlaylist::SetTitle(LPCWSTR title) {
  title_ = title ? title : u"";
  Notify(PLM_TITLE, 0, 0);
}
