// The view protocol: the messages a playlist sends to every window registered as its view (the
// list window, the Local Content workers), with what their parameters carry.
#pragma once
#include <windows.h>

#define PLM_START 1024
#define PLM_RESET 1025
#define PLM_ITEMREPLACED 1027    // wParam, lParam: index
#define PLM_REMOVED 1028         // wParam: index
#define PLM_ITEMCHANGED 1029     // an entry was inserted; wParam, lParam: index (wParam -1 in FillView)
#define PLM_CURRENT 1030         // wParam: current index
#define PLM_MOVED 1031           // see CrackPlaylistMove
#define PLM_COLORS 1032          // lParam: the colour table
#define PLM_BATCH 1033           // wParam: 0 begin, 1 end
#define PLM_FINDWORKER 1035      // wParam: worker kind; lParam: HWND* to fill
#define PLM_WORKERCLOSE 1036
#define PLM_FILENAME 1038
#define PLM_GETVISIBLECOUNT 1042 // lParam: LONG* result, preset to -1
#define PLM_GETTOPINDEX 1043     // lParam: LONG* result, preset to -1
#define PLM_SCROLL 1044          // wParam: top index; lParam: count
#define PLM_WORKERHOLD 1046      // wParam: worker kind; lParam: 1 hold, 0 release
#define PLM_COMMAND 1050         // lParam: command code
#define PLM_FINDDUPLICATOR 1051  // wParam: partner playlist; lParam: HWND* to fill
#define PLM_TITLE 1053
#define PLM_ITEMINFO 1054        // wParam, lParam: index

// PLM_MOVED: wParam bit 0 is the shift flag and lParam packs to << 16 | (from & 0xFFFF). Indices
// above 0xFFFF do not survive that packing, so such a move sets PLM_MOVED_WIDE in wParam and
// lParam points at a PLAYLISTMOVE instead, valid while the message is being sent.
#define PLM_MOVED_SHIFT 0x1
#define PLM_MOVED_WIDE 0x2

typedef struct tagPLAYLISTMOVE {
  LONG from;
  LONG to;
} PLAYLISTMOVE;

// The messages that tell of a change to the entries (what a bound file must be saved for).
inline bool IsEntryChange(UINT message) {
  return message == PLM_RESET || message == PLM_ITEMREPLACED || message == PLM_REMOVED || message == PLM_ITEMCHANGED ||
         message == PLM_MOVED || message == PLM_ITEMINFO;
}

// The one way views read a PLM_MOVED, packed or wide.
inline void CrackPlaylistMove(WPARAM wParam, LPARAM lParam, LONG* from, LONG* to, BOOL* shift) {
  if (wParam & PLM_MOVED_WIDE) {
    const PLAYLISTMOVE* move = reinterpret_cast<const PLAYLISTMOVE*>(lParam);
    *from = move->from;
    *to = move->to;
  } else {
    *from = LOWORD(lParam);
    *to = HIWORD(lParam);
  }
  *shift = (wParam & PLM_MOVED_SHIFT) != 0;
}
