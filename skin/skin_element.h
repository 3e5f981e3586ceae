// CSkinElement: the root of everything a skin draws. It holds the region the stylus is tested
// in, the group, visibility, name and state, answers the root element messages, and draws UICache
// pictures through their masks. Derived kinds supply drawing, scaling and the stylus.
#pragma once
#include <windows.h>

#include "skin/skin_messages.h"
#include "skin/skin_region.h"

class CSkin;

class CSkinElement {
 public:
  explicit CSkinElement(CSkin* owner) : owner_(owner) {}
  virtual ~CSkinElement() = default;
  CSkinElement(const CSkinElement&) = delete;
  CSkinElement& operator=(const CSkinElement&) = delete;

  virtual void Draw(HWND window, HDC dc) {}
  virtual void Scale(int numX, int numY, int den) = 0;
  virtual BOOL HitTest(int x, int y) { return region_.Contains(x, y); }
  // Whether the element needs the background under it when drawn alone (computed once).
  virtual BOOL GetCachedValue();
  virtual void SetGroup(int id) { group_ = id; }
  virtual int GetGroup() { return group_; }
  virtual LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void SetRegion(const SkinRegionDesc& region) { region_.Set(region); }
  virtual void SetVisible(BOOL visible) { visible_ = visible; }
  virtual BOOL IsVisible() { return visible_; }
  virtual void GetRect(RECT* rect) = 0;
  virtual void GetRegionBounds(RECT* rect) { *rect = region_.Bounds(); }
  virtual void Activate() {}
  virtual void Invalidate();
  virtual void SetName(LPCWSTR name);
  virtual BOOL ComputeValue() { return FALSE; }
  virtual void Reserved() {}

  CSkin* GetOwner() const { return owner_; }
  bool IsKind(int kind);
  bool NameEquals(LPCWSTR text) const;
  void GetName(LPWSTR buffer, int size) const;
  LPCWSTR Name() const { return name_; }
  int GetState() const { return state_; }
  void SetTag(LONG tag) { tag_ = tag; }
  const CSkinRegion& Region() const { return region_; }

 protected:
  // Copies (w x h) from (srcX, srcY) of the UICache bitmap `bitmapId` to (x, y), through the
  // UICache mask of the same id when there is one.
  void DrawBitmap(HDC dc, int bitmapId, int x, int y, int w, int h, int srcX, int srcY);
  // Posts (or sends) a notification to the skin's window with this element in lParam.
  LRESULT Notify(UINT msg, WPARAM wParam, bool post = true);
  // The root part of the message table: 2025-2030.
  LRESULT RootMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static int ScaleBy(int v, int num, int den) { return den ? static_cast<int>(int64_t{v} * num / den) : v; }

  CSkinRegion region_;

 private:
  CSkin* owner_;
  int group_ = -1;
  BOOL visible_ = TRUE;
  WCHAR name_[260] = {};
  LONG tag_ = 0;
  int state_ = 0;
  int cachedValue_ = -1;
};

// A group marker: the elements that follow it, up to the next group, share its id.
class CSkinGroup : public CSkinElement {
 public:
  using CSkinElement::CSkinElement;
  void Scale(int, int, int) override {}
  void GetRect(RECT* rect) override { *rect = RECT{0, 0, -1, -1}; }
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  virtual void SetGroupId(int id) { groupId_ = id; }
  virtual int GetGroupId() { return groupId_; }
  virtual void SetTimestamp(DWORD ms) { timestamp_ = ms; }
  virtual DWORD GetTimestamp() { return timestamp_; }
  virtual void Unused() {}

 private:
  int groupId_ = -1;
  DWORD timestamp_ = 0;
};
