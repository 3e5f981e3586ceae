// The element messages and notifications between skin elements and the skin's window, and the
// element kinds that message 1024 reports.
#pragma once
#include <windows.h>

// Element kinds (message 1024; the factory's kind word).
enum SkinElementKind {
  SKIN_KIND_BUTTON = 2,
  SKIN_KIND_ONOFF = 3,
  SKIN_KIND_SLIDER = 5,
  SKIN_KIND_LABEL = 6,
  SKIN_KIND_LABEL2 = 7,
  SKIN_KIND_COUNTBUTTON = 8,
  SKIN_KIND_GROUP = 9,
  SKIN_KIND_RATCHET = 10,
  SKIN_KIND_PANEL = 11,
  SKIN_KIND_DIAL = 12,
};

enum SkinMessage : UINT {
  SKM_MOUSEMOVE = 512,
  SKM_PRESS = 513,
  SKM_RELEASE = 514,
  SKM_GETKIND = 1024,
  SKN_CLICKED = 1225,       // posted, wParam 0
  SKN_DRAGGING = 1226,      // position | range << 16
  SKN_RELEASED = 1227,      // value | range << 16
  SKN_TOGGLED = 1228,       // posted, wParam = the on flag after the click
  SKM_DRAWELEMENT = 1229,   // to the skin window, lParam = element
  SKM_SETPOSITION = 1230,   // wParam = position, lParam = range
  SKM_GETPOSITION = 1231,
  SKN_DIALWRAPPED = 1233,   // sent, wParam = -1 or +1
  SKM_SETTEXT = 1234,       // wParam = optional value pointer, lParam = text
  SKN_LABELTAPPED = 1235,   // posted, wParam 0
  SKN_PRESSED = 1238,       // posted, wParam 0
  SKM_GETLENGTH = 1239,     // a label's length along its text
  SKM_GETTEXTWIDTH = 1240,  // a label's width of the text in lParam
  SKN_PANELPRESS = 1245,
  SKN_PANELMOVE = 1246,
  SKN_PANELRELEASE = 1247,
  SKN_PANELBEFOREDRAW = 1248,
  SKN_PANELDRAW = 1249,
  SKN_PANELAFTERDRAW = 1250,
  SKM_SETSTATE = 2025,
  SKM_ISELEMENT = 2026,
  SKM_ACTIVATE = 2027,
  SKM_GETREGIONBOUNDS = 2028,
  SKM_HITTEST = 2029,
  SKM_GETRECT = 2030,
};

// The raster operation of every masked skin copy: white mask pixels keep the destination.
constexpr DWORD kSkinMaskRop = 0xCCAA0029;
