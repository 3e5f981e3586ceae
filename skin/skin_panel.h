// CSkinPanel: a rectangle of the skin that holds a skin of its own, read from another script of
// the same package. It draws its inner skin at its place and hands the stylus to it; what the
// inner skin does not take goes to the window as panel notifications.
#pragma once
#include <memory>

#include "skin/skin.h"
#include "skin/skin_element_params.h"

class CSkinPanel : public CSkinElement {
 public:
  // Null when the panel's script cannot be read (missing, or a panel within itself).
  static CSkinPanel* Create(CSkin* owner, const SkinElementParams& params);
  explicit CSkinPanel(CSkin* owner);
  ~CSkinPanel() override;

  void Draw(HWND window, HDC dc) override;
  void Scale(int numX, int numY, int den) override;
  LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  void SetVisible(BOOL visible) override;
  void GetRect(RECT* rect) override { *rect = RECT{x_, y_, x_ + w_, y_ + h_}; }

  virtual void SetGeometry(int x, int y, int w, int h);
  CSkin* Inner() const { return inner_.get(); }

 private:
  int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
  std::unique_ptr<CSkin> inner_;
};
