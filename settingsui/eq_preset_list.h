// Named equaliser settings (preamp and ten bands, 0..63 with 31 flat) and their EQF files. The
// player core keeps the presets ("Presets.EQF") and the auto-load list ("AutoLoad.EQF") in two
// of these; the equaliser commands use one more as a scratch list for loading and saving files.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct EqPreset {
  std::u16string name;
  signed char preamp = 31;
  BYTE bands[10] = {};  // 60 Hz first, 16 kHz last
};

class CEqPresetList {
 public:
  static constexpr int kNameBytes = 257;  // a record's name field, its last byte always 0

  // Writes the whole list (a bare name lies in the program's folder); FALSE when the file could
  // not be written whole, in which case an earlier file is kept as it was.
  BOOL SaveEqf(const WCHAR* fileName) const;
  // Adds the file's records (replacing entries of the same name); FALSE when the file is
  // missing or its header is wrong, in which case nothing is added.
  BOOL LoadEqf(const WCHAR* fileName);

  // With bands: stores the entry at the end, replacing one of the same name; without: deletes it.
  void SetPreset(const WCHAR* name, signed char preamp, const BYTE* bands);
  // The named entry (the first for a null name): 1 and its values copied, else 0 and nothing written.
  int GetPreset(const WCHAR* name, signed char* preamp, BYTE* bands) const;
  // 1 and the name copied into `out` (kNameBytes characters), or 0 for an index out of range.
  int GetName(int index, WCHAR* out) const;
  int GetCount() const { return static_cast<int>(entries_.size()); }
  int IndexOf(const WCHAR* name) const;
  // Stores the player core's current preamp and bands under the name and makes it the current
  // name; 0 for a missing or empty name, or while there is no player core to ask.
  int StoreCurrent(const WCHAR* name);

  const std::u16string& GetCurrentName() const { return currentName_; }
  void SetCurrentName(const WCHAR* name) { currentName_ = name ? name : u""; }

 private:
  std::vector<EqPreset> entries_;
  std::u16string currentName_;
};

// The path of an EQF file: a name without "\" lies in the program's folder.
std::u16string EqfFilePath(const WCHAR* fileName);
