// The shell's calls that programs bind by number as well as by name.
#include <zbexports.h>

ZB_ORDINAL_EXPORTS({4, "SHSipInfo"}, {9, "SHInitExtraControls"}, {10, "SHCloseApps"}, {21, "SHDoneButton"},
                   {34, "SHCreateMenuBar"}, {40, "SHRecognizeGesture"}, {56, "SHInitDialog"}, {65, "SHFullScreen"},
                   {69, "SHSipPreference"}, {83, "SHHandleWMSettingChange"}, {84, "SHHandleWMActivate"},
                   {97, "SHSendBackToFocusWindow"}, {155, "SHNotificationAdd"}, {156, "SHNotificationUpdate"},
                   {157, "SHNotificationRemove"}, {173, "SHNotificationGetData"}, {2006, "SHIdleTimerReset"});
