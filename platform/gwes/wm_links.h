// The window tree inside the shared segment: siblings in z-order (first = top), children under
// their parent, top-level windows under the segment's own list, and what follows from the tree
// (screen origins, visibility, the window under a point). Callers hold the segment lock.
#pragma once
#include "gwes/wm_segment.h"

namespace zb::wm {

enum class Place { Top, Bottom, After };
// Links a window among its siblings (parent kNone: the top-level list). Top keeps windows with
// WS_EX_TOPMOST above the others; After puts it below `after`.
void LinkWindow(Segment& s, uint32_t w, uint32_t parent, Place place, uint32_t after = kNone);
void UnlinkWindow(Segment& s, uint32_t w);
// Moves a top-level window to the top, with the windows it owns above it.
void BringToTop(Segment& s, uint32_t w);
// Frees a window and everything below it, without messages.
void FreeWindowTree(Segment& s, uint32_t w);

uint32_t ParentIndex(Segment& s, const WindowSlot& w);  // kNone for top-level windows
uint32_t TopLevelOf(Segment& s, uint32_t w);
bool IsDescendant(Segment& s, uint32_t w, uint32_t ancestor);  // also true for w == ancestor
// Screen position of the window's (0, 0); there is no non-client area.
POINT ScreenOrigin(Segment& s, const WindowSlot& w);
// WS_VISIBLE on the window and every ancestor.
bool ShownOnScreen(Segment& s, const WindowSlot& w);
// The deepest shown window at a screen point, topmost first; kNone for the bare screen.
uint32_t WindowAt(Segment& s, POINT screen);

// A group box only frames its part of the dialog: it neither hides the controls inside it nor
// keeps its parent from painting there.
bool IsGroupBox(const WindowSlot& w);

// Sets the queue's wake event so its thread looks again.
void WakeQueue(Segment& s, uint32_t q);
// Frees a queue with everything of its thread: windows, hooks, hot keys; sends to it are
// answered with 0 and sends from it are dropped.
void ReleaseQueue(Segment& s, uint32_t q);

}  // namespace zb::wm
