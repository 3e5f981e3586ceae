// Keys and stylus events on their way to windows: the async key state, the low-level keyboard
// hooks (each run on the thread that set it), hot keys, then the focus window of the
// foreground thread; stylus events go to the capture window or the window under the point.
#pragma once
#include <cstdint>
#include <windows.h>

namespace zb::wm {

// `aux` carries the hook's procedure and its KBDLLHOOKSTRUCT fields.
LRESULT RunHook(const uint64_t* aux, WPARAM wParam);
bool DeliverKey(UINT vk, bool up, bool injected, DWORD scan, ULONG_PTR extra);

}  // namespace zb::wm
