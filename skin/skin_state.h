// CSkinState: what sits between the player core and the current skin. It owns the skin model
// (and with it the UICache's images), passes the skin window's paint and stylus messages to it,
// and shows the values of the user-interface commands it knows in the skin's named elements.
#pragma once
#include <windows.h>

#include <string>

class CSkin;

// User-interface command 16's record: the element's name, then the message and its arguments.
struct SkinElementMessage {
  LPCWSTR name;
  UINT message;
  DWORD words[3];
};

class CSkinState {
 public:
  explicit CSkinState(HWND window) : window_(window) {}
  ~CSkinState() { Release(); }
  CSkinState(const CSkinState&) = delete;
  CSkinState& operator=(const CSkinState&) = delete;

  // Takes ownership of the skin; the old skin goes, and the UICache with it. Null detaches.
  void SetSkin(CSkin* skin);
  CSkin* GetSkin() const { return skin_; }
  void Release();

  // The skin window's paint, capture and stylus messages: 1 when the skin took one.
  BOOL HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // The user-interface commands this state shows: the full refresh (0: the title and the time
  // view), the song title (6), painting (8, 9), the pragma queries (12, 15, 17, 19), element
  // messages (16) and element questions (22, 30). Handles tells which ids these are.
  int HandleUiCommand(int id, void* value);
  static bool Handles(int id);

  LPCWSTR GetTitle() const { return title_.c_str(); }

 private:
  void ShowTitle();
  void ShowTime();

  HWND window_;
  CSkin* skin_ = nullptr;
  std::u16string title_ = u"Welcome to Zonbrel 3.5";
  int elapsedHours_ = 0, elapsedMinutes_ = 0, elapsedSeconds_ = 0;
};
