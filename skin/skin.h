// CSkin: the skin model. An ordered list of elements over a background bitmap (list order is
// painting order, its reverse the stylus's), lookups by kind and name, groups, the stylus capture
// with sliding between the buttons of one group, and drawing one element or the whole window.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/skin_element.h"

class CSkin {
 public:
  explicit CSkin(HWND window) : window_(window) {}
  ~CSkin();
  CSkin(const CSkin&) = delete;
  CSkin& operator=(const CSkin&) = delete;

  // The skin file the skin was read from; panels read their scripts from the same package.
  void SetPath(LPCWSTR path);
  LPCWSTR GetPath() const { return path_.c_str(); }
  // Reads the skin file: a package through its "script.txt"; 0 for anything else or no script
  // (the element list is then emptied).
  BOOL Load(LPCWSTR path);
  BOOL LoadScript(LPCWSTR packagePath, LPCWSTR scriptName);
  // The whole text of the named entry of the skin's package (the script encodings); empty when
  // there is none.
  std::u16string ReadPackageText(LPCWSTR name) const;
  // Each failing script line's message, with its line number, from the last load.
  const std::vector<std::u16string>& LoadMessages() const { return loadMessages_; }
  void DeleteElements() { elements_.clear(); }
  CSkinElement* CreateElement(int kind);
  void SetTransparency(int a, int b, int c) { transparency_[0] = a, transparency_[1] = b, transparency_[2] = c; }
  int GetTransparency(int i) const { return i >= 0 && i < 3 ? transparency_[i] : 0; }

  // Takes ownership; the element joins the nearest group before it.
  void AddElement(CSkinElement* element, LONG tag);
  static void DeleteElement(CSkinElement* element) { delete element; }

  CSkinElement* FindElement(int kind, LPCWSTR name) const;
  CSkinElement* FindElementByName(LPCWSTR name) const;
  CSkinElement* GetElementOfKind(int kind, int index) const;
  CSkinElement* GetElementAt(int index) const;
  int GetElementCount() const { return static_cast<int>(elements_.size()); }
  BOOL HasVisibleElement(LPCWSTR name) const;
  // Whether the element is one of this skin's, or of a skin inside one of its panels.
  bool Contains(const CSkinElement* element) const;

  HWND GetWindow() const { return window_; }
  void SetActivePanel(CSkinElement* panel) { activePanel_ = panel; }
  CSkinElement* GetActivePanel() const { return activePanel_; }
  void SetExcludedElement(CSkinElement* element, BOOL flag) { excluded_ = flag ? element : nullptr; }
  void SetDrawingSuspended(BOOL flag) { suspended_ = flag; }
  void SetViewOffset(int x, int y) { viewOffset_ = POINT{x, y}; }
  void SetBackground(int id) { backgroundId_ = id; }
  void SetBackgroundOrigin(int x, int y) { backgroundOrigin_ = POINT{x, y}; }
  void SetMaskedBackground(BOOL flag) { maskedBackground_ = flag; }
  HBITMAP GetBackgroundBitmap() const;
  // Pragmas 1-10 of the skin script; others read 0.
  void SetPragma(int index, int value);
  int GetPragma(int index) const;
  bool IsAnimated() const { return animated_; }
  // What the animation follows: 0 still, 1 playing, 2 paused.
  void SetAnimationMode(int mode) { animationMode_ = mode; }
  int GetAnimationMode() const { return animationMode_; }
  int GetCapturedIndex() const { return captured_; }

  POINT WindowToSkin(POINT p) const;
  LRESULT NotifyWindow(CSkinElement* element, UINT msg, WPARAM wParam, BOOL post);
  BOOL HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, BOOL usePaintStruct);
  void PaintAll(HWND window, HDC dc);
  void ComposeRect(const RECT& rect, HWND window, HDC dc);
  void DrawElement(CSkinElement* element);
  void Rescale(BOOL rescaleCache, int numX, int numY, int den);
  // The main window's animation tick: 0 starts, 1 advances, 2 or more refreshes. Steps the
  // "ANIMATION" frame labels and shows the members of rotating groups (ids with bit 0x400) in turn.
  void Animate(int phase);

 private:
  void PaintBackground(HWND window, HDC dc, const RECT& rect);
  void ComposeThroughOffscreen(const RECT& rect, HDC dc);
  void SetViewportFor(HDC dc) const;
  LRESULT Forward(UINT msg, WPARAM wParam, LPARAM lParam);
  void MoveRule(UINT msg, WPARAM wParam, LPARAM lParam, POINT at);
  void StepFrameLabel(CSkinElement* label, int phase);
  void RotateGroup(size_t groupIndex, int phase);
  void InvalidateInWindow(CSkinElement* element);

  HWND window_;
  std::u16string path_;
  std::vector<std::u16string> loadMessages_;
  int transparency_[3] = {255, 17, 231};
  int backgroundId_ = -1;
  POINT backgroundOrigin_{0, 0};
  std::vector<std::unique_ptr<CSkinElement>> elements_;
  bool animated_ = false;
  int animationMode_ = 0;
  CSkinElement* activePanel_ = nullptr;
  BOOL maskedBackground_ = FALSE;
  CSkinElement* excluded_ = nullptr;
  BOOL suspended_ = FALSE;
  int pragmas_[11] = {};
  int captured_ = -1;
  POINT viewOffset_{0, 0};
};

// The bitmap the main window keeps at its client size for flicker-free redraws; none until the
// main window makes one. Skins compose single elements through it.
HBITMAP& MainWindowOffscreenBitmap();
