// InitCommonControlsEx: registers, in the calling process, the classes of the groups it asks
// for (a class registered before stays as it is). The groups are those of the platform's
// ICC_ bits; the player asks for 0x43F.
#include <commctrl.h>

#include "commctrl/cc_procs.h"

namespace zb::cc {
namespace {

struct ClassEntry {
  DWORD group;
  const char16_t* name;
  WNDPROC proc;
  UINT style;
};

constexpr ClassEntry kClasses[] = {
    {ICC_LISTVIEW_CLASSES, WC_LISTVIEWW, ListViewProc, CS_DBLCLKS},
    {ICC_LISTVIEW_CLASSES, WC_HEADERW, HeaderProc, CS_DBLCLKS},
    {ICC_TREEVIEW_CLASSES, WC_TREEVIEWW, TreeViewProc, CS_DBLCLKS},
    {ICC_BAR_CLASSES, TRACKBAR_CLASSW, TrackBarProc, 0},
    {ICC_BAR_CLASSES, TOOLBARCLASSNAMEW, ToolbarProc, CS_DBLCLKS},
    {ICC_TAB_CLASSES, WC_TABCONTROLW, TabControlProc, CS_DBLCLKS},
    {ICC_UPDOWN_CLASS, UPDOWN_CLASSW, UpDownProc, 0},
    {ICC_PROGRESS_CLASS, PROGRESS_CLASSW, ProgressProc, 0},
};

}  // namespace
}  // namespace zb::cc

extern "C" BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (const zb::cc::ClassEntry& c : zb::cc::kClasses) {
    if (!(init->dwICC & c.group)) continue;
    WNDCLASSW existing;
    if (GetClassInfoW(nullptr, c.name, &existing)) continue;
    WNDCLASSW wc{};
    wc.style = c.style | CS_GLOBALCLASS;
    wc.lpfnWndProc = c.proc;
    wc.lpszClassName = c.name;
    if (!RegisterClassW(&wc)) return FALSE;
  }
  return TRUE;
}

extern "C" void InitCommonControls() {
  INITCOMMONCONTROLSEX all{sizeof all, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&all);
}
