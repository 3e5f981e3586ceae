// The modules' registry values: numbers under a fixed key below the player's plug-in key, read at
// Init with a default and written at Quit. A failed read stores nothing.
#pragma once
#include <windows.h>

class CDspSettingsKey {
 public:
  explicit constexpr CDspSettingsKey(const WCHAR* path) : path_(path) {}
  // The value as a 4-byte number, or `fallback` when the key or the value can't be read.
  int Read(const WCHAR* name, int fallback) const;
  // Creates the key when needed and writes the value as REG_DWORD.
  void Write(const WCHAR* name, int value) const;
  const WCHAR* Path() const { return path_; }

 private:
  const WCHAR* path_;
};

inline constexpr CDspSettingsKey kBoostSettings{u"Software\\Kestrane\\Zonbrel\\Plugins\\dsp_boost"};
inline constexpr CDspSettingsKey kEchoSettings{u"Software\\Kestrane\\Zonbrel\\Plugins\\dsp_echo"};
inline constexpr CDspSettingsKey kMultiSettings{u"Software\\Kestrane\\Zonbrel\\Plugins\\dsp_multi"};
