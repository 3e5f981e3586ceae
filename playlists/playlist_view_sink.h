// Where a playlist's view notifications go. The window binding delivers them to the view windows
// with IsWindow and SendMessageW; until windows exist, and in tests, a recorder takes them.
#pragma once
#include <windows.h>

struct IPlaylistViewSink {
  virtual BOOL IsViewWindow(HWND view) = 0;
  virtual LRESULT SendViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~IPlaylistViewSink() = default;
};

// Process-wide, as the window manager is; null (the start) delivers nothing.
void SetPlaylistViewSink(IPlaylistViewSink* sink);
IPlaylistViewSink* GetPlaylistViewSink();
