// Every registry-backed field of the settings with its documented default and another valid
// value, written out here on their own (not taken from the product's table) so that the tests
// check the product's table against the documented values.
#pragma once
#include <string>
#include <vector>

#include "core/settings/settings.h"

namespace zb::testing {

enum FieldFlags { kSaved = 0, kReadOnly = 1, kOwnSave = 2 };

struct NumberField {
  const char16_t* name;
  DWORD* (*field)(CSettings&);
  DWORD def;
  DWORD other;
  int flags;
};

struct TextField {
  const char16_t* name;
  WCHAR* (*field)(CSettings&);
  std::u16string def;
  std::u16string other;
  int flags;
};

#define ZB_NUMBER(f) u"" #f, [](CSettings& s) { return reinterpret_cast<DWORD*>(&s.f); }
#define ZB_TEXT(f) u"" #f, [](CSettings& s) { return static_cast<WCHAR*>(s.f); }

inline const std::vector<NumberField>& NumberFields() {
  static const std::vector<NumberField> fields = {
      {ZB_NUMBER(setAssociations), 0, 1, kSaved},
      {ZB_NUMBER(associationsNoPrompt), 0, 1, kReadOnly},
      {ZB_NUMBER(fileAssociationsDefault), 0xE0F3, 0x3, kReadOnly},
      {ZB_NUMBER(fileAssociationsEnforced), 0, 1, kSaved},
      {ZB_NUMBER(restrictPaths), 0xFFFF, 7, kSaved},
      {ZB_NUMBER(wmaEqDisabled), 0, 1, kSaved},
      {ZB_NUMBER(showOutlines), 0, 1, kSaved},
      {ZB_NUMBER(showingElapsed), 1, 0, kSaved},
      {ZB_NUMBER(playlistFontSize), static_cast<DWORD>(-12), static_cast<DWORD>(-9), kSaved},
      {ZB_NUMBER(playlistStatus), 0, 3, kSaved},
      {ZB_NUMBER(showPlaylistLength), 1, 0, kSaved},
      {ZB_NUMBER(manualPlaylistAdvance), 0, 1, kSaved},
      {ZB_NUMBER(manualPlaylistCue), 0, 1, kSaved},
      {ZB_NUMBER(showPlaylistIndex), 1, 0, kSaved},
      {ZB_NUMBER(bookmarkTableSize), 300, 50, kSaved},
      {ZB_NUMBER(resetBookmarksAuto), 1, 0, kSaved},
      {ZB_NUMBER(infoCacheTableSize), 0x80000, 0x40000, kSaved},
      {ZB_NUMBER(metadataTableSize), 0x80000, 0x100000, kSaved},
      {ZB_NUMBER(processUnhandledTags), 0, 1, kSaved},
      {ZB_NUMBER(compactLibraryAtClose), 1, 0, kSaved},
      {ZB_NUMBER(suspendLibraryWhilePlaying), 0, 1, kSaved},
      {ZB_NUMBER(showLibraryOnStartup), 0, 1, kSaved},
      {ZB_NUMBER(ensureBothArtistValues), 0, 1, kSaved},
      {ZB_NUMBER(disableLocalContent), 0, 1, kSaved},
      {ZB_NUMBER(minimumSizeAudioFile), 307200, 1000, kSaved},
      {ZB_NUMBER(recurseEnabled), 1, 0, kSaved},
      {ZB_NUMBER(httpConnectTimeout), 15, 30, kSaved},
      {ZB_NUMBER(httpReceiveTimeout), 5, 9, kSaved},
      {ZB_NUMBER(networkCacheSize), 128, 256, kSaved},
      {ZB_NUMBER(httpBufferSize), 0x10000, 0x8000, kSaved},
      {ZB_NUMBER(httpCacheStorageSize), 0x200000, 0x100000, kSaved},
      {ZB_NUMBER(httpCacheDefaultTTL), 180, 60, kSaved},
      {ZB_NUMBER(httpReconnectAttempts), 1, 4, kSaved},
      {ZB_NUMBER(device), 0, 2, kSaved},
      {ZB_NUMBER(quality), 1, 2, kSaved},
      {ZB_NUMBER(panning), 0, static_cast<DWORD>(-40), kSaved},
      {ZB_NUMBER(jumpAmount), 10, 20, kSaved},
      {ZB_NUMBER(jumpAmountBack), 5, 6, kSaved},
      {ZB_NUMBER(jumpSpeed), 8, 3, kSaved},
      {ZB_NUMBER(jumpSpeedBack), 4, 2, kSaved},
      {ZB_NUMBER(autoResume), 0, 1, kSaved},
      {ZB_NUMBER(autoResumePlaylists), 0, 1, kSaved},
      {ZB_NUMBER(enqueueByDefault), 0, 1, kSaved},
      {ZB_NUMBER(gaplessPlayback), 0, 1, kSaved},
      {ZB_NUMBER(gaplessPadding), 4000, 3000, kSaved},
      {ZB_NUMBER(gaplessTransitions), 0, 1, kSaved},
      {ZB_NUMBER(gaplessAdjustment), 4000, 2000, kSaved},
      {ZB_NUMBER(waveOutDevice2), 0, 1, kSaved},
      {ZB_NUMBER(maxSampleRate), 48000, 44100, kSaved},
      {ZB_NUMBER(fileCacheSize), 64, 512, kSaved},
      {ZB_NUMBER(audioBuffer), 1500, 2500, kSaved},
      {ZB_NUMBER(fillBuffers), 0, 1, kSaved},
      {ZB_NUMBER(agressiveBuffers), 0, 1, kSaved},
      {ZB_NUMBER(threadPriority), 5, 2, kSaved},
      {ZB_NUMBER(useSystemVolume), 0, 1, kSaved},
      {ZB_NUMBER(ourVolume), 255, 128, kSaved},
      {ZB_NUMBER(playAtOpen), 0, 1, kSaved},
      {ZB_NUMBER(stopAtSuspend), 1, 0, kSaved},
      {ZB_NUMBER(autoPauseDuringCall), 1, 0, kSaved},
      {ZB_NUMBER(autoUnpauseAfterCall), 1, 0, kSaved},
      {ZB_NUMBER(noCloseWhilePlaying), 1, 0, kSaved},
      {ZB_NUMBER(inputTimecodeGranularity), 100, 250, kSaved},
      {ZB_NUMBER(adjustColors), 0, 1, kSaved},
      {ZB_NUMBER(adjustColorsHue), 0, static_cast<DWORD>(-30), kSaved},
      {ZB_NUMBER(adjustColorsSat), 0, 15, kSaved},
      {ZB_NUMBER(showPlaylistOnWmpSkins), 0, 1, kSaved},
      {ZB_NUMBER(uiSpeed), 1, 7, kSaved},
      {ZB_NUMBER(scrollSensitivity), 100, 80, kReadOnly},
      {ZB_NUMBER(taskbar), 0, 1, kSaved},
      {ZB_NUMBER(readTitles), 1, 0, kSaved},
      {ZB_NUMBER(showNotificationIcon), 1, 0, kSaved},
      {ZB_NUMBER(showLockNotificationIcon), 1, 0, kSaved},
      {ZB_NUMBER(showTodayIcon), 0, 1, kSaved},
      {ZB_NUMBER(useGDIFont), 0, 1, kSaved},
      {ZB_NUMBER(useOpenFolder), 1, 2, kSaved},
      {ZB_NUMBER(scrollTitle), 1, 0, kSaved},
      {ZB_NUMBER(notificationsCleared), 0, 1, kSaved},
      {ZB_NUMBER(enableDimming), 0, 1, kSaved},
      {ZB_NUMBER(dimmingKeyboard), 1, 0, kSaved},
      {ZB_NUMBER(noDimStatusChecks), 0, 1, kSaved},
      {ZB_NUMBER(permitActions), 1, 0, kSaved},
      {ZB_NUMBER(trapAllWhenLocked), 1, 0, kSaved},
      {ZB_NUMBER(allowDimOnAC), 0, 1, kSaved},
      {ZB_NUMBER(dimmingCapable), 0, 1, kSaved},
      {ZB_NUMBER(redrawOnUndim), 0, 1, kSaved},
      {ZB_NUMBER(unDimOnButtonPress), 1, 0, kSaved},
      {ZB_NUMBER(devicesDetected), 0, 1, kSaved},
      {ZB_NUMBER(devicesDetectNoprompt), 0, 1, kSaved},
      {ZB_NUMBER(dimmingTimeout), 60, 120, kSaved},
      {ZB_NUMBER(enableSleep), 0, 1, kSaved},
      {ZB_NUMBER(sleepTimeout), 1800, 600, kSaved},
      {ZB_NUMBER(preSleepWakeup), 0, 1, kSaved},
      {ZB_NUMBER(postStopWakeup), 0, 1, kSaved},
      {ZB_NUMBER(pauseInBackground), 0, 1, kSaved},
      {ZB_NUMBER(dimInBackground), 0, 1, kSaved},
      {ZB_NUMBER(dimWhilePaused), 0, 1, kSaved},
      {ZB_NUMBER(disableSleep), 1, 0, kSaved},
      {ZB_NUMBER(disableHomescreen), 1, 0, kSaved},
      {ZB_NUMBER(backgroundUnmap), 1, 0, kSaved},
      {ZB_NUMBER(mapAllButtons), 0, 1, kSaved},
      {ZB_NUMBER(lockScreenWithButtons), 0, 1, kSaved},
      {ZB_NUMBER(dimScreenWithButtons), 0, 1, kSaved},
      {ZB_NUMBER(buttonFlags), 2, 3, kSaved},
      {ZB_NUMBER(preampValue2), 31, 40, kSaved},
      {ZB_NUMBER(preampEnabled), 0, 1, kSaved},
      {ZB_NUMBER(autoLoadEqEnabled), 0, 1, kSaved},
      {ZB_NUMBER(formattingSmart), 1, 0, kSaved},
      {ZB_NUMBER(formattingReplaceAny), 0, 1, kSaved},
      {ZB_NUMBER(formattingComplexity), 2, 1, kSaved},
      {ZB_NUMBER(playlistDefEncoding), 0, 65001, kSaved},
      {ZB_NUMBER(tagDefEncoding), static_cast<DWORD>(-1), 1251, kSaved},
      {ZB_NUMBER(visMode), 1, 2, kSaved},
      {ZB_NUMBER(visSpeed), 10, 20, kSaved},
      {ZB_NUMBER(visCycle), 0, 1, kSaved},
      {ZB_NUMBER(visOscilloMode), static_cast<DWORD>(-1), 2, kSaved},
      {ZB_NUMBER(visSpectrumMode), 0, 1, kSaved},
      {ZB_NUMBER(visFullscreen), 0, 1, kSaved},
      {ZB_NUMBER(visForceFullscreen), 1, 0, kSaved},
      {ZB_NUMBER(visPersistence), 1, 0, kSaved},
      {ZB_NUMBER(videoStretchMode), 0, 1, kSaved},
      {ZB_NUMBER(videoFullscreenMode), 0, 1, kSaved},
      {ZB_NUMBER(videoScreenPowerOn), 1, 0, kSaved},
      {ZB_NUMBER(PluginIndex), 0, 3, kOwnSave},
      {ZB_NUMBER(DSPPluginIndex), 0, 2, kOwnSave},
      {ZB_NUMBER(DSPEnabled), 1, 0, kSaved},
  };
  return fields;
}

inline const std::vector<TextField>& TextFields() {
  static const std::vector<TextField> fields = {
      {ZB_TEXT(associations), u"", u".mp3.ogg", kSaved},
      {ZB_TEXT(metadataLocation), u"", u"\\Storage Card\\Library", kSaved},
      {ZB_TEXT(playlistLocation), u"", u"\\Storage Card\\Playlists", kSaved},
      {ZB_TEXT(logfileLocation), u"", u"\\Temp\\zonbrel.log", kSaved},
      {ZB_TEXT(eqName), u"", u"Rock \u00E9", kSaved},
      {ZB_TEXT(playlistDefExt), u"m3u8", u"pls", kSaved},
      {ZB_TEXT(streamTitleFormat), u"%?26<%26 (%301)|%301>", u"%301", kSaved},
      {ZB_TEXT(songTitleFormat), u"%?5<%5 - %?7<%7|%3>|%?7<%7|%?9<%9|%3>>>", u"%3 [%5]", kSaved},
      {ZB_TEXT(PluginFile), u"vis_omnia.dll", u"vis_other.dll", kOwnSave},
      {ZB_TEXT(DSPPluginFile), u"", u"dsp_omnia.dll", kOwnSave},
  };
  return fields;
}

#undef ZB_NUMBER
#undef ZB_TEXT

}  // namespace zb::testing
