// Panels: the inner skin is read with the outer skin's package, the panel becomes its active
// panel (so window points are moved into the panel), and the panel stays out of the outer skin's
// direct redraws while it is shown.
#include "skin/skin_panel.h"

#include "skin/skin_script.h"

CSkinPanel::CSkinPanel(CSkin* owner) : CSkinElement(owner) {}
CSkinPanel::~CSkinPanel() = default;

CSkinPanel* CSkinPanel::Create(CSkin* owner, const SkinElementParams& p) {
  if (!owner) return nullptr;
  auto panel = std::make_unique<CSkinPanel>(owner);
  panel->inner_ = std::make_unique<CSkin>(owner->GetWindow());
  panel->inner_->SetPath(owner->GetPath());
  if (!ParseSkinScript(panel->inner_.get(), owner->GetPath(), p.script, TRUE)) return nullptr;
  panel->inner_->SetActivePanel(panel.get());
  panel->SetName(p.name);
  const int* n = p.numbers;
  panel->SetGeometry(n[0], n[1], n[2], n[3]);
  panel->CSkinElement::SetVisible(n[4] != 0);
  if (n[4]) owner->SetExcludedElement(panel.get(), TRUE);
  panel->inner_->SetBackgroundOrigin(n[5], n[6]);
  return panel.release();
}

void CSkinPanel::SetGeometry(int x, int y, int w, int h) {
  x_ = x, y_ = y, w_ = w, h_ = h;
  region_.SetRect(RECT{x, y, x + w, y + h});
}

void CSkinPanel::Draw(HWND window, HDC dc) {
  POINT old{};
  SetViewportOrgEx(dc, 0, 0, &old);
  CSkin* outer = GetOwner();
  outer->NotifyWindow(this, SKN_PANELBEFOREDRAW, reinterpret_cast<WPARAM>(dc), FALSE);
  if (outer->NotifyWindow(this, SKN_PANELDRAW, reinterpret_cast<WPARAM>(dc), FALSE)) {
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    return;
  }
  SetViewportOrgEx(dc, old.x + x_, old.y + y_, nullptr);
  inner_->ComposeRect(RECT{0, 0, w_, h_}, window, dc);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
  outer->NotifyWindow(this, SKN_PANELAFTERDRAW, reinterpret_cast<WPARAM>(dc), FALSE);
}

void CSkinPanel::Scale(int numX, int numY, int den) {
  x_ = ScaleBy(x_, numX, den), y_ = ScaleBy(y_, numY, den);
  w_ = ScaleBy(w_, numX, den), h_ = ScaleBy(h_, numY, den);
  region_.Scale(numX, numY, den);
  inner_->Rescale(FALSE, numX, numY, den);
}

LRESULT CSkinPanel::SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SKM_GETKIND) {
    if (lParam) *reinterpret_cast<int*>(lParam) = SKIN_KIND_PANEL;
    return 1;
  }
  if (msg < SKM_MOUSEMOVE || msg > SKM_RELEASE) return 0;
  // The skin already moved the point into this skin's coordinates: the inner skin takes it back
  // to window coordinates first.
  const POINT at = SkinPointOf(lParam);
  const POINT origin = GetOwner()->WindowToSkin(POINT{0, 0});
  const LPARAM windowPoint = SkinPointParam(at.x - origin.x, at.y - origin.y);
  static constexpr UINT kLeftOver[] = {SKN_PANELMOVE, SKN_PANELPRESS, SKN_PANELRELEASE};
  const UINT windowMsg = msg == SKM_PRESS ? WM_LBUTTONDOWN : msg == SKM_RELEASE ? WM_LBUTTONUP : WM_MOUSEMOVE;
  if (!inner_->HandleWindowMessage(window, windowMsg, wParam, windowPoint, FALSE))
    GetOwner()->NotifyWindow(this, kLeftOver[msg - SKM_MOUSEMOVE], static_cast<WPARAM>(lParam), TRUE);
  return 0;
}

void CSkinPanel::SetVisible(BOOL visible) {
  CSkinElement::SetVisible(visible);
  CSkin* outer = GetOwner();
  if (!visible) {
    outer->SetExcludedElement(nullptr, FALSE);
    RECT r;
    GetRect(&r);
    const POINT origin = outer->WindowToSkin(POINT{0, 0});
    OffsetRect(&r, -origin.x, -origin.y);
    InvalidateRect(outer->GetWindow(), &r, FALSE);
  } else {
    outer->SetExcludedElement(this, TRUE);
    Invalidate();
  }
}
