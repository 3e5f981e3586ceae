// The system classes, as a table: a process that names one (creating a window, asking for its
// information) gets it registered under its own class list, as if it had registered it itself.
#include "gwes/system_classes.h"

#include "gwes/ctl_procs.h"

namespace zb::wm {
namespace {

struct SystemClass {
  const char16_t* name;
  WNDPROC proc;
  UINT style;
  WORD atom;  // a dialog template's ordinal for it, 0 for none
};

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefDlgProcW(hwnd, message, wParam, lParam);
}

const SystemClass kClasses[] = {
    {u"BUTTON", ButtonProc, CS_DBLCLKS, 0x80},
    {u"EDIT", EditProc, CS_DBLCLKS, 0x81},
    {u"STATIC", StaticProc, 0, 0x82},
    {u"LISTBOX", ListBoxProc, CS_DBLCLKS, 0x83},
    {u"SCROLLBAR", ScrollBarProc, 0, 0x84},
    {u"COMBOBOX", ComboBoxProc, CS_DBLCLKS, 0x85},
    {kComboListClass, ListBoxProc, 0, 0},
    {kDialogClass, DialogClassProc, 0, 0},
};

}  // namespace

std::shared_ptr<WindowClass> SystemClassLocked(Session& session, std::u16string_view name) {
  const std::u16string key = UpperName(name);
  for (const SystemClass& c : kClasses) {
    if (UpperName(c.name) != key) continue;
    auto cls = std::make_shared<WindowClass>();
    cls->name = c.name;
    cls->atom = session.nextAtom++;
    cls->style = c.style | CS_GLOBALCLASS;
    cls->proc = c.proc;
    session.classes[key] = cls;
    return cls;
  }
  return nullptr;
}

const char16_t* PredefinedClassName(WORD atom) {
  for (const SystemClass& c : kClasses) {
    if (c.atom && c.atom == atom) return c.name;
  }
  return nullptr;
}

}  // namespace zb::wm
