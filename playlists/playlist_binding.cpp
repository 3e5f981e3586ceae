// What a playlist is bound to: a playlist file it is written back to, the Local Content key, or
// nothing; and the names around it. The saver and Local Content worker windows are not built yet,
// so a bound file is written back when the playlist leaves it and when the player saves its state.
#include <string>
#include <string_view>

#include "core/player/core_seam.h"
#include "playlist.h"
#include "playlist_file_writer.h"
#include "settingsui/special_folders.h"

namespace {

constexpr char16_t kLocalContentKey[] = u"-";
constexpr char16_t kLocalContentName[] = u"Local Content";

// The title a name gives: its file name without the extension, or the name itself.
std::u16string TitleFor(const std::u16string& name) {
  if (IsLocalContentKey(name.c_str())) return kLocalContentName;
  const size_t slash = name.rfind(u'\\');
  if (slash == std::u16string::npos) return name;
  std::u16string file = name.substr(slash + 1);
  const size_t dot = file.rfind(u'.');
  return dot == std::u16string::npos ? file : file.substr(0, dot);
}

}  // namespace

void GetLocalContentKey(std::u16string& out) { out.assign(1, kLocalContentKey[0]); }

bool IsLocalContentKey(LPCWSTR name) { return name && name[0] == kLocalContentKey[0]; }

std::u16string GetSpecialPlaylistName(LPCWSTR name) { return IsLocalContentKey(name) ? kLocalContentName : u""; }

bool IsSavablePlaylistPath(LPCWSTR name) {
  if (!name || name[0] != u'\\') return false;
  const WCHAR* dot = wcsrchr(name, u'.');
  return !dot || _wcsicmp(dot, u".pspl") != 0;
}

std::u16string ProgramFilePath(LPCWSTR name) {
  WCHAR folder[MAX_PATH] = {};
  GetSpecialFolderPath(kProgramFolderId, folder);  // ends in "\"
  return std::u16string(folder) + name;
}

void CPlaylist::SaveBoundFile() {
  if (!boundChanged_ || !IsSavablePlaylistPath(fileName_.c_str())) return;
  if (SaveFile(fileName_.c_str())) boundChanged_ = false;
}

void CPlaylist::SetFileName(LPCWSTR name) {
  const std::u16string next = name ? name : u"";
  if (next.empty()) SetTitle(nullptr);
  if (_wcsicmp(next.c_str(), fileName_.c_str()) == 0) return;
  const bool wasLocal = IsLocalContentKey(fileName_.c_str());
  // Changes not yet in the file that is being left go there first.
  SaveBoundFile();
  fileName_ = next;
  boundChanged_ = false;
  if (IsLocalContentKey(next.c_str()) && !wasLocal) {
    Clear();
    LogSeam(u"Local Content lists");
  }
  Notify(PLM_FILENAME, 0, 0);
  SetTitle(TitleFor(next).c_str());
}
