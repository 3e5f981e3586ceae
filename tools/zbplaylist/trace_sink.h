// CTraceSink: stands in for the view windows. It writes every message a view receives, in order,
// as a line of the trace; windows marked dead fail IsWindow and receive nothing.
#pragma once
#include <windows.h>

#include <set>
#include <string>

#include "playlist_view_sink.h"

class CTraceSink : public IPlaylistViewSink {
 public:
  explicit CTraceSink(std::string& trace) : trace_(trace) {}

  void SetDead(HWND view, bool dead);
  // Formats one message as the trace shows it: "PLM_CURRENT 2 0".
  static std::string Describe(UINT message, WPARAM wParam, LPARAM lParam);

  BOOL IsViewWindow(HWND view) override { return dead_.count(view) == 0; }
  LRESULT SendViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::string& trace_;
  std::set<HWND> dead_;
};

// The script's views are numbered windows: view 1 is the handle 1.
inline HWND ViewHandle(int number) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(number)); }
