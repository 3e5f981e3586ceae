// The main window's private messages, WM_COPYDATA codes and timers that the program itself, the
// skin and other processes use to reach it; the numbers are the window's protocol.
#pragma once
#include <windows.h>

constexpr WCHAR kMainWindowClass[] = u"Zonbrel";

#define WM_ZB_READ_ITEM_INFO 1122   // the core reads the pending item information
#define WM_ZB_STREAM_END 1123       // wParam: 0 normal end, 1 early, 2 play failed, 3 drain check
#define WM_ZB_STARTED 1224          // continuation of WM_CREATE
#define WM_ZB_SKIN_MENU_FIRST 1225  // 1225-1228, 1235, 1249: the skin's custom menus
#define WM_ZB_UI_COMMAND_ACTIVE 1229
#define WM_ZB_BUBBLE 1236
#define WM_ZB_TRAY 1237
#define WM_ZB_UI_COMMAND 1264
#define WM_ZB_OPEN_PATH 1329   // wParam: enqueue flag, lParam: the path
#define WM_ZB_SKIN_SHOWN 1330  // lParam: the command line to open afterwards, or 0
#define WM_ZB_PRIORITY_BOOST 1331
#define WM_ZB_TIMER 1332  // wParam: a timer id, as WM_TIMER
#define WM_ZB_VIS_FULLSCREEN 1333
#define WM_ZB_NEW_TITLE 1334  // lParam: the title, or 0
#define WM_ZB_APPLY_SKIN 1335
#define WM_ZB_HOLD_CHANGED 1336
#define WM_ZB_SUSPEND 1357
#define WM_ZB_CALL_CONNECTED 1358
#define WM_ZB_CALL_ENDED 1360
#define WM_ZB_PHONE_STATE 1361
#define WM_ZB_OUTPUT_CHANGED 1362
#define WM_ZB_REPAINT_ALL 1374

// WM_COPYDATA codes (dwData); those marked "low word" carry an argument in the high word.
#define COPYDATA_COMMAND_LINE 0
#define COPYDATA_SET_STREAM_PATH 220
#define COPYDATA_GET_STREAM_PATH 221
#define COPYDATA_GET_TITLE 222
#define COPYDATA_SAVE_PLAYLIST 223
#define COPYDATA_GET_ITEM_PATH 224
#define COPYDATA_GET_ITEM_NAME 225  // low word
#define COPYDATA_SET_VIS_PLUGIN 226  // low word
#define COPYDATA_SET_ITEM_TITLE 227  // low word
#define COPYDATA_SET_SKIN 228
#define COPYDATA_GET_SKIN 229
#define COPYDATA_INSERT_ITEM 230  // low word
#define COPYDATA_ADD_FILES 231
#define COPYDATA_REGISTER_EVENT 232

// Timers of the main window.
#define MAIN_TIMER_STATUS 2
#define MAIN_TIMER_DISPLAY 3
#define MAIN_TIMER_PLAY_FAILED 4
#define MAIN_TIMER_SLEEP 6
#define MAIN_TIMER_KEEP_ALIVE 7
#define MAIN_TIMER_CALL_LOG 8
#define MAIN_TIMER_MINUTE 9
#define MAIN_TIMER_LOOP 10
#define MAIN_TIMER_CALL_RESUME 16
#define MAIN_TIMER_DRAIN 17
#define MAIN_TIMER_WAKEUP_HELPER 20  // the wait for the wake-up helper to end

// Words of the window's 12 extra bytes that other processes read.
#define MAIN_WORD_SIZE 0
#define MAIN_WORD_POSITION 4
#define MAIN_WORD_LENGTH 8
#define MAIN_EXTRA_BYTES 12

// Lengths of the window's texts, in characters with the terminator.
#define STREAM_PATH_CHARS 1040
#define TITLE_CHARS 260
