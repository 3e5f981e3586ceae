// CSettings: the one store of the player's options, loaded from and saved to the registry key
// below. Every subsystem reads its fields directly by the registry value names; only a few
// fields have setters. Loaded on the main thread before other threads start, so it has no lock.
#pragma once
#include <windows.h>

#include <memory>

class CPlayerCore;
class CStringTokenizer;

constexpr WCHAR kSettingsKey[] = u"Software\\Kestrane\\Zonbrel\\2.0";

class CSettings {
 public:
  CSettings();
  ~CSettings();
  CSettings(const CSettings&) = delete;
  CSettings& operator=(const CSettings&) = delete;

  void Load();
  // Writes every stored value; returns the result of closing the key (an error when the key
  // could not be opened).
  LONG Save();

  LONG SaveVisPlugin(const WCHAR* file, DWORD index);
  DWORD GetVisPlugin(WCHAR* out) const;
  LONG SaveDSPPlugin(const WCHAR* file, DWORD index);
  DWORD GetDSPPlugin(WCHAR* out) const;
  void SetDSPEnabled(DWORD value);
  void SetPreampValue(DWORD value) { preampValue2 = value; }
  void SetEqValues(const BYTE* bands);
  DWORD GetFontSetting() const { return useGDIFont; }

  // The registry value of the skin for this screen size ("skin.240.320").
  void GetSkinValueName(WCHAR* out, size_t size) const;
  LONG SaveSkin(const WCHAR* path, BOOL asIs);
  void LoadSkin(WCHAR* out) const;
  void GetSkinPath(WCHAR* out) const;
  static const WCHAR* DefaultTitleFormat();
  static constexpr DWORD CurrentVersion() { return 0x03050001; }

  // Whether the extension (with or without "*" and ".") is one of `omittedExtensions`.
  bool IsExtensionOmitted(const WCHAR* ext) const;
  bool IsExcludedPath(const WCHAR* path) const;
  bool IsIncludedPath(const WCHAR* path, bool alsoParents, bool fallback) const;
  // A timer period or repeat count scaled by `uiSpeed` (5 = unchanged); never 0 for non-zero input.
  int ScaleBySpeed(int value, int factor) const;

  // Button slots: one command number per button of the hardware-button table (0 = none).
  int GetButtonSlotCount() const { return buttonSlotCount; }
  DWORD GetButtonCommand(int slot) const;
  bool HasButtonCommand(DWORD command) const;
  int FindButtonCommand(DWORD command, int fromSlot) const;
  void SetButtonCommand(int slot, DWORD command);
  void ApplyButtonCommands(BOOL enable);
  void ResetButtonCommands();
  int AssignCommandDefaults(DWORD command);
  bool IsLockSafeCommand(DWORD command) const;

  // Plug-in actions in the button slots, kept under "Actions" by library file and action name,
  // since their numbers change from run to run. LoadActions maps the stored numbers to this
  // run's (the error of opening the key, else that of closing it); SaveActions writes the slots'
  // actions and only then drops what the key held besides (0, or the first error, when nothing
  // was dropped); before the slots were mapped in this run it leaves the key as it is.
  LONG LoadActions(CPlayerCore* core);
  LONG SaveActions(CPlayerCore* core);

  // ---- Fields, named after their registry values ----
  DWORD setAssociations, associationsNoPrompt, fileAssociationsDefault, fileAssociationsEnforced;
  WCHAR associations[500];
  DWORD restrictPaths;
  std::unique_ptr<CStringTokenizer> restrictExclude, restrictInclude, includeMediaPath, includePlaylistPath;
  WCHAR appDataFolder[MAX_PATH];  // no trailing "\"; "\Invalid" when the device has none
  WCHAR tempFolder[MAX_PATH];     // no trailing "\"
  DWORD wmaEqDisabled, showOutlines, showingElapsed;
  LONG playlistFontSize;
  DWORD playlistStatus, showPlaylistIndex, showPlaylistLength, manualPlaylistAdvance, manualPlaylistCue,
      bookmarkTableSize, resetBookmarksAuto, infoCacheTableSize, metadataTableSize;
  WCHAR metadataLocation[MAX_PATH], playlistLocation[MAX_PATH], logfileLocation[MAX_PATH];
  DWORD processUnhandledTags, compactLibraryAtClose, suspendLibraryWhilePlaying, showLibraryOnStartup,
      ensureBothArtistValues, uiSpeed, scrollSensitivity, httpConnectTimeout, httpReceiveTimeout, device, quality;
  LONG panning;
  DWORD gaplessPlayback, gaplessPadding, gaplessTransitions, gaplessAdjustment, jumpAmount, jumpAmountBack,
      jumpSpeed, jumpSpeedBack, autoResume, autoResumePlaylists, enqueueByDefault, disableLocalContent,
      minimumSizeAudioFile, taskbar, recurseEnabled, enableDimming, dimmingKeyboard, dimmingCapable, allowDimOnAC,
      dimmingTimeout, unDimOnButtonPress, redrawOnUndim, noDimStatusChecks, permitActions, trapAllWhenLocked,
      enableSleep, sleepTimeout, preSleepWakeup, postStopWakeup, devicesDetected, devicesDetectNoprompt,
      preampValue2, preampEnabled;
  BYTE eqValues[10];
  DWORD autoLoadEqEnabled;
  WCHAR eqName[32];
  DWORD visMode, visSpeed;
  LONG visOscilloMode;
  DWORD visSpectrumMode, visFullscreen, visForceFullscreen, visCycle, visPersistence, videoStretchMode,
      videoFullscreenMode, videoScreenPowerOn, inputTimecodeGranularity, fileCacheSize, networkCacheSize,
      audioBuffer, httpBufferSize, httpCacheStorageSize, httpCacheDefaultTTL, httpReconnectAttempts, fillBuffers,
      agressiveBuffers, threadPriority, useSystemVolume, ourVolume, playAtOpen, stopAtSuspend,
      autoUnpauseAfterCall, autoPauseDuringCall, noCloseWhilePlaying, readTitles, showNotificationIcon,
      showLockNotificationIcon, showTodayIcon, pauseInBackground, dimInBackground, dimWhilePaused, useGDIFont,
      useOpenFolder, disableSleep, disableHomescreen, scrollTitle, notificationsCleared;
  WCHAR PluginFile[MAX_PATH];
  DWORD PluginIndex;
  WCHAR DSPPluginFile[MAX_PATH];
  DWORD DSPPluginIndex, DSPEnabled;
  std::unique_ptr<DWORD[]> buttonCommands;
  int buttonSlotCount;
  DWORD backgroundUnmap, mapAllButtons, lockScreenWithButtons, dimScreenWithButtons, buttonFlags;
  WCHAR omittedExtensions[MAX_PATH];  // ";"-separated, with ";" before and behind once loaded
  WCHAR playlistDefExt[16];
  DWORD playlistDefEncoding;
  LONG tagDefEncoding;
  DWORD waveOutDevice2, maxSampleRate;
  WCHAR songTitleFormat[MAX_PATH], streamTitleFormat[MAX_PATH];
  DWORD formattingSmart, formattingReplaceAny, formattingComplexity, adjustColors;
  LONG adjustColorsHue, adjustColorsSat;
  DWORD showPlaylistOnWmpSkins;

 private:
  // Whether the slots hold this run's action numbers: SaveActions writes nothing until then.
  bool actionsMapped_ = false;
  void LoadButtonCommands(HKEY key);
  LONG SaveButtonCommands(HKEY key) const;
};

// The one settings object, created (and loaded) on the first call; null only when it cannot be
// allocated.
CSettings* GetSettings();
// Saves and destroys the object (program exit); the next GetSettings makes a new one.
void DestroySettings();
