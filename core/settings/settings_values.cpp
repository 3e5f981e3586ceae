// The table of the settings' registry values and their defaults. Values with a step of their own
// (the version, the title-format upgrade and hash, the path lists, the omitted extensions and
// the button commands) are handled by Load and Save directly.
#include "core/settings/settings_values.h"

#include <type_traits>
#include <utility>

namespace settings_values {
namespace {

template <auto Member>
void* FieldOf(CSettings& s) {
  return &(s.*Member);
}

template <auto Member>
constexpr DWORD SizeOf() {
  return sizeof(std::remove_reference_t<decltype(std::declval<CSettings&>().*Member)>);
}

template <auto Member>
constexpr SettingValue Number(const WCHAR* name, DWORD def, unsigned flags = 0,
                           DWORD (*adjust)(DWORD, bool, const LoadContext&) = nullptr,
                           DWORD (*deviceDefault)(const LoadContext&) = nullptr) {
  static_assert(SizeOf<Member>() == sizeof(DWORD));
  return {name, Kind::kNumber, &FieldOf<Member>, sizeof(DWORD), def, nullptr, deviceDefault, adjust, flags};
}

template <auto Member>
constexpr SettingValue Text(const WCHAR* name, const WCHAR* def, unsigned flags = 0) {
  return {name, Kind::kText, &FieldOf<Member>, SizeOf<Member>(), 0, def, nullptr, nullptr, flags};
}

template <auto Member>
constexpr SettingValue Binary(const WCHAR* name, BYTE fill) {
  return {name, Kind::kBinary, &FieldOf<Member>, SizeOf<Member>(), fill, nullptr, nullptr, nullptr, 0};
}

DWORD Clamp(DWORD v, DWORD low, DWORD high) { return v < low ? low : v > high ? high : v; }

// A stored 21 is a deliberate tiny cache; anything else below 64 is raised.
DWORD AdjustFileCache(DWORD v, bool, const LoadContext&) { return v == 21 ? v : Clamp(v, 64, 20480); }
DWORD AdjustAudioBuffer(DWORD v, bool, const LoadContext&) { return Clamp(v, 500, 5000); }
DWORD AdjustInfoCache(DWORD v, bool, const LoadContext&) { return v < 0x20000 ? 0x20000 : v; }
DWORD AdjustHttpBuffer(DWORD v, bool, const LoadContext&) { return v == 16384 ? 0x10000 : v; }
DWORD AdjustOpenFolder(DWORD v, bool, const LoadContext&) { return v == 0 ? 1 : v; }
DWORD AdjustThreadPriority(DWORD v, bool read, const LoadContext& c) {
  return read && c.storedVersion >= 0x03050000 ? v : 5;
}
DWORD AdjustMaxSampleRate(DWORD v, bool read, const LoadContext& c) {
  if (read && v >= 8000 && c.storedVersion >= 0x03000004) return v;
  return c.osMajor == 3 || (c.osMajor == 4 && c.osMinor == 20) ? 44100 : 48000;
}
DWORD AdjustMapAllButtons(DWORD v, bool, const LoadContext& c) { return c.smartphone ? 0 : v; }

DWORD UseSystemVolumeDefault(const LoadContext& c) { return c.osMajor < 4 ? 1 : 0; }
DWORD MapAllButtonsDefault(const LoadContext& c) { return c.osMajor >= 5 ? 0 : 1; }
DWORD ButtonFlagsDefault(const LoadContext& c) { return c.smartphone ? 0 : 2; }
DWORD RedrawOnUndimDefault(const LoadContext& c) { return c.oemWantsRedraw ? 1 : 0; }

using S = CSettings;

const SettingValue kValues[] = {
    // Shell and paths
    Number<&S::setAssociations>(u"setAssociations", 0),
    Number<&S::associationsNoPrompt>(u"associationsNoPrompt", 0, kReadOnly),
    Number<&S::fileAssociationsDefault>(u"fileAssociationsDefault", 0xE0F3, kReadOnly),
    Text<&S::associations>(u"associations", u""),
    Number<&S::fileAssociationsEnforced>(u"fileAssociationsEnforced", 0),
    Number<&S::restrictPaths>(u"restrictPaths", 0xFFFF),
    // Playlist window
    Number<&S::wmaEqDisabled>(u"wmaEqDisabled", 0),
    Number<&S::showOutlines>(u"showOutlines", 0),
    Number<&S::showingElapsed>(u"showingElapsed", 1),
    Number<&S::playlistFontSize>(u"playlistFontSize", static_cast<DWORD>(-12)),
    Number<&S::playlistStatus>(u"playlistStatus", 0),
    Number<&S::showPlaylistLength>(u"showPlaylistLength", 1),
    Number<&S::manualPlaylistAdvance>(u"manualPlaylistAdvance", 0),
    Number<&S::manualPlaylistCue>(u"manualPlaylistCue", 0),
    Number<&S::showPlaylistIndex>(u"showPlaylistIndex", 1),
    Number<&S::bookmarkTableSize>(u"bookmarkTableSize", 300),
    Number<&S::resetBookmarksAuto>(u"resetBookmarksAuto", 1),
    // Library
    Number<&S::infoCacheTableSize>(u"infoCacheTableSize", 0x80000, 0, AdjustInfoCache),
    Number<&S::metadataTableSize>(u"metadataTableSize", 0x80000),
    Text<&S::metadataLocation>(u"metadataLocation", u""),
    Text<&S::playlistLocation>(u"playlistLocation", u""),
    Text<&S::logfileLocation>(u"logfileLocation", u""),
    Number<&S::processUnhandledTags>(u"processUnhandledTags", 0),
    Number<&S::compactLibraryAtClose>(u"compactLibraryAtClose", 1),
    Number<&S::suspendLibraryWhilePlaying>(u"suspendLibraryWhilePlaying", 0),
    Number<&S::showLibraryOnStartup>(u"showLibraryOnStartup", 0),
    Number<&S::ensureBothArtistValues>(u"ensureBothArtistValues", 0),
    Number<&S::disableLocalContent>(u"disableLocalContent", 0),
    Number<&S::minimumSizeAudioFile>(u"minimumSizeAudioFile", 307200),
    Number<&S::recurseEnabled>(u"recurseEnabled", 1),
    // Network
    Number<&S::httpConnectTimeout>(u"httpConnectTimeout", 15),
    Number<&S::httpReceiveTimeout>(u"httpReceiveTimeout", 5),
    Number<&S::networkCacheSize>(u"networkCacheSize", 128),
    Number<&S::httpBufferSize>(u"httpBufferSize", 0x10000, 0, AdjustHttpBuffer),
    Number<&S::httpCacheStorageSize>(u"httpCacheStorageSize", 0x200000),
    Number<&S::httpCacheDefaultTTL>(u"httpCacheDefaultTTL", 180),
    Number<&S::httpReconnectAttempts>(u"httpReconnectAttempts", 1),
    // Output and transport
    Number<&S::device>(u"device", 0),
    Number<&S::quality>(u"quality", 1),
    Number<&S::panning>(u"panning", 0),
    Number<&S::jumpAmount>(u"jumpAmount", 10),
    Number<&S::jumpAmountBack>(u"jumpAmountBack", 5),
    Number<&S::jumpSpeed>(u"jumpSpeed", 8),
    Number<&S::jumpSpeedBack>(u"jumpSpeedBack", 4),
    Number<&S::autoResume>(u"autoResume", 0),
    Number<&S::autoResumePlaylists>(u"autoResumePlaylists", 0),
    Number<&S::enqueueByDefault>(u"enqueueByDefault", 0),
    Number<&S::gaplessPlayback>(u"gaplessPlayback", 0),
    Number<&S::gaplessPadding>(u"gaplessPadding", 4000),
    Number<&S::gaplessTransitions>(u"gaplessTransitions", 0),
    Number<&S::gaplessAdjustment>(u"gaplessAdjustment", 4000),
    Number<&S::waveOutDevice2>(u"waveOutDevice2", 0),
    Number<&S::maxSampleRate>(u"maxSampleRate", 48000, 0, AdjustMaxSampleRate),
    Number<&S::fileCacheSize>(u"fileCacheSize", 64, 0, AdjustFileCache),
    Number<&S::audioBuffer>(u"audioBuffer", 1500, 0, AdjustAudioBuffer),
    Number<&S::fillBuffers>(u"fillBuffers", 0),
    Number<&S::agressiveBuffers>(u"agressiveBuffers", 0),
    Number<&S::threadPriority>(u"threadPriority", 5, 0, AdjustThreadPriority),
    Number<&S::useSystemVolume>(u"useSystemVolume", 0, 0, nullptr, UseSystemVolumeDefault),
    Number<&S::ourVolume>(u"ourVolume", 255),
    Number<&S::playAtOpen>(u"playAtOpen", 0),
    Number<&S::stopAtSuspend>(u"stopAtSuspend", 1),
    Number<&S::autoPauseDuringCall>(u"autoPauseDuringCall", 1),
    Number<&S::autoUnpauseAfterCall>(u"autoUnpauseAfterCall", 1),
    Number<&S::noCloseWhilePlaying>(u"noCloseWhilePlaying", 1),
    Number<&S::inputTimecodeGranularity>(u"inputTimecodeGranularity", 100),
    // Look and feel
    Number<&S::adjustColors>(u"adjustColors", 0),
    Number<&S::adjustColorsHue>(u"adjustColorsHue", 0),
    Number<&S::adjustColorsSat>(u"adjustColorsSat", 0),
    Number<&S::showPlaylistOnWmpSkins>(u"showPlaylistOnWmpSkins", 0),
    Number<&S::uiSpeed>(u"uiSpeed", 1),
    Number<&S::scrollSensitivity>(u"scrollSensitivity", 100, kReadOnly),
    Number<&S::taskbar>(u"taskbar", 0),
    Number<&S::readTitles>(u"readTitles", 1),
    Number<&S::showNotificationIcon>(u"showNotificationIcon", 1),
    Number<&S::showLockNotificationIcon>(u"showLockNotificationIcon", 1),
    Number<&S::showTodayIcon>(u"showTodayIcon", 0),
    Number<&S::useGDIFont>(u"useGDIFont", 0),
    Number<&S::useOpenFolder>(u"useOpenFolder", 1, 0, AdjustOpenFolder),
    Number<&S::scrollTitle>(u"scrollTitle", 1),
    Number<&S::notificationsCleared>(u"notificationsCleared", 0),
    // Power and buttons
    Number<&S::enableDimming>(u"enableDimming", 0),
    Number<&S::dimmingKeyboard>(u"dimmingKeyboard", 1),
    Number<&S::noDimStatusChecks>(u"noDimStatusChecks", 0),
    Number<&S::permitActions>(u"permitActions", 1),
    Number<&S::trapAllWhenLocked>(u"trapAllWhenLocked", 1),
    Number<&S::allowDimOnAC>(u"allowDimOnAC", 0),
    Number<&S::dimmingCapable>(u"dimmingCapable", 0),
    Number<&S::redrawOnUndim>(u"redrawOnUndim", 0, 0, nullptr, RedrawOnUndimDefault),
    Number<&S::unDimOnButtonPress>(u"unDimOnButtonPress", 1),
    Number<&S::devicesDetected>(u"devicesDetected", 0),
    Number<&S::devicesDetectNoprompt>(u"devicesDetectNoprompt", 0),
    Number<&S::dimmingTimeout>(u"dimmingTimeout", 60),
    Number<&S::enableSleep>(u"enableSleep", 0),
    Number<&S::sleepTimeout>(u"sleepTimeout", 1800),
    Number<&S::preSleepWakeup>(u"preSleepWakeup", 0),
    Number<&S::postStopWakeup>(u"postStopWakeup", 0),
    Number<&S::pauseInBackground>(u"pauseInBackground", 0),
    Number<&S::dimInBackground>(u"dimInBackground", 0),
    Number<&S::dimWhilePaused>(u"dimWhilePaused", 0),
    Number<&S::disableSleep>(u"disableSleep", 1),
    Number<&S::disableHomescreen>(u"disableHomescreen", 1),
    Number<&S::backgroundUnmap>(u"backgroundUnmap", 1),
    Number<&S::mapAllButtons>(u"mapAllButtons", 0, 0, AdjustMapAllButtons, MapAllButtonsDefault),
    Number<&S::lockScreenWithButtons>(u"lockScreenWithButtons", 0),
    Number<&S::dimScreenWithButtons>(u"dimScreenWithButtons", 0),
    Number<&S::buttonFlags>(u"buttonFlags", 2, 0, nullptr, ButtonFlagsDefault),
    // Equaliser
    Number<&S::preampValue2>(u"preampValue2", 31),
    Number<&S::preampEnabled>(u"preampEnabled", 0),
    Number<&S::autoLoadEqEnabled>(u"autoLoadEqEnabled", 0),
    Binary<&S::eqValues>(u"eqValues", 31),
    Text<&S::eqName>(u"eqName", u""),
    // Titles
    Text<&S::playlistDefExt>(u"playlistDefExt", u"m3u8"),
    Text<&S::streamTitleFormat>(u"streamTitleFormat", kDefaultStreamTitleFormat),
    Text<&S::songTitleFormat>(u"songTitleFormat", kDefaultSongTitleFormat),
    Number<&S::formattingSmart>(u"formattingSmart", 1),
    Number<&S::formattingReplaceAny>(u"formattingReplaceAny", 0),
    Number<&S::formattingComplexity>(u"formattingComplexity", 2),
    Number<&S::playlistDefEncoding>(u"playlistDefEncoding", 0),
    Number<&S::tagDefEncoding>(u"tagDefEncoding", static_cast<DWORD>(-1)),
    // Visualisation and video
    Number<&S::visMode>(u"visMode", 1),
    Number<&S::visSpeed>(u"visSpeed", 10),
    Number<&S::visCycle>(u"visCycle", 0),
    Number<&S::visOscilloMode>(u"visOscilloMode", static_cast<DWORD>(-1)),
    Number<&S::visSpectrumMode>(u"visSpectrumMode", 0),
    Number<&S::visFullscreen>(u"visFullscreen", 0),
    Number<&S::visForceFullscreen>(u"visForceFullscreen", 1),
    Number<&S::visPersistence>(u"visPersistence", 1),
    Number<&S::videoStretchMode>(u"videoStretchMode", 0),
    Number<&S::videoFullscreenMode>(u"videoFullscreenMode", 0),
    Number<&S::videoScreenPowerOn>(u"videoScreenPowerOn", 1),
    // Plug-ins
    Text<&S::PluginFile>(u"PluginFile", u"vis_omnia.dll", kOwnSave),
    Number<&S::PluginIndex>(u"PluginIndex", 0, kOwnSave),
    Text<&S::DSPPluginFile>(u"DSPPluginFile", u"", kOwnSave),
    Number<&S::DSPPluginIndex>(u"DSPPluginIndex", 0, kOwnSave),
    Number<&S::DSPEnabled>(u"DSPEnabled", 1),
};

}  // namespace

std::span<const SettingValue> Values() { return kValues; }

}  // namespace settings_values
