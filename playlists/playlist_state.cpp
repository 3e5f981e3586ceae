// The main playlist between runs: its entries in "\current.dat" beside the program (PLS in UTF-8,
// written whole or not at all) and its switches, binding, title and current entry in the
// settings key. A missing or damaged value falls back; nothing here stops the player starting.
#include <string>

#include "core/player/core_seam.h"
#include "core/settings/settings.h"
#include "local_content.h"
#include "playlist.h"

namespace {

constexpr char16_t kStateFile[] = u"current.dat";
constexpr DWORD kTitleBytes = 520;

void WriteText(HKEY key, LPCWSTR name, const std::u16string& text) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

// A REG_SZ of at most `bytes`; false when it is missing, of another type or too long.
bool ReadText(HKEY key, LPCWSTR name, DWORD bytes, std::u16string& text) {
  std::u16string buffer(bytes / sizeof(WCHAR) + 1, u'\0');
  DWORD type = 0, size = bytes;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  buffer.resize(size / sizeof(WCHAR));
  text = buffer.c_str();  // up to the first terminator
  return true;
}

// The switches are stored as the texts "1" and "0"; only exactly "1" is on.
bool ReadSwitch(HKEY key, LPCWSTR name) {
  std::u16string text;
  return ReadText(key, name, 2 * sizeof(WCHAR), text) && text == u"1";
}

}  // namespace

LONG CPlaylist::SaveState() {
  if (!IsLocalContentKey(fileName_.c_str())) SaveFile(ProgramFilePath(kStateFile).c_str());
  SaveBoundFile();
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return ERROR_CANTOPEN;
  WriteText(key, u"Shuffle", core_ && core_->GetShuffle() ? u"1" : u"0");
  WriteText(key, u"Repeat", core_ && core_->GetRepeat() ? u"1" : u"0");
  WriteText(key, u"Source", fileName_);
  WriteText(key, u"Title", title_);
  const DWORD current = static_cast<DWORD>(current_);
  RegSetValueExW(key, u"Current", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&current), sizeof current);
  if (IsValid(current_)) WriteText(key, u"CurrentFile", items_[static_cast<size_t>(current_)].path);
  return RegCloseKey(key);
}

void CPlaylist::RestoreState() {
  if (core_) CreateLocalContentLists();
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, 0, &key) == ERROR_SUCCESS) {
    std::u16string title;
    SetTitle(ReadText(key, u"Title", kTitleBytes, title) ? title.c_str() : nullptr);
    const std::u16string keptTitle = title_;
    std::u16string source;
    if (!ReadText(key, u"Source", MAX_PATH * sizeof(WCHAR), source) || IsLocalContentKey(source.c_str())) {
      SetFileName(u"-");
    } else if (!source.empty() && GetFileAttributesW(source.c_str()) != INVALID_FILE_ATTRIBUTES &&
               LoadFile(source.c_str(), nullptr) >= 0) {
      SetFileName(source.c_str());
    } else if (LoadFile(ProgramFilePath(kStateFile).c_str(), nullptr) >= 0) {
      SetFileName(nullptr);
      SetTitle(keptTitle.c_str());
    }
    DWORD current = static_cast<DWORD>(-1), type = 0, size = sizeof current;
    if (RegQueryValueExW(key, u"Current", nullptr, &type, reinterpret_cast<BYTE*>(&current), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
      current = static_cast<DWORD>(-1);
    const int index = static_cast<int>(current);
    if (IsValid(index)) {
      SetCurrentIndex(index);
    } else {
      current_ = -1;
      SendCurrent();
    }
    if (IsLocalContentKey(fileName_.c_str())) LogSeam(u"Local Content pending current path");
    if (core_) {
      core_->SetShuffle(ReadSwitch(key, u"Shuffle"));
      core_->SetRepeat(ReadSwitch(key, u"Repeat"));
    }
    RegCloseKey(key);
  }
  Notify(PLM_ITEMREPLACED, 0, -1);
}
