// Adding to the favourites file through a temporary playlist, and reading a main playlist that
// shows the file again afterwards. Changes the shown list still holds go to the file first, so
// the two never overwrite each other.
#include "favorites.h"

#include "playlist.h"

namespace {

constexpr char16_t kFavoritesFile[] = u"Favorites.dat";

// An existing file that cannot be opened (held by another writer, say) must not be replaced by a
// list holding only the new entry.
bool Unreadable(LPCWSTR path) {
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;
  CloseHandle(file);
  return false;
}

}  // namespace

std::u16string GetFavoritesPath() { return ProgramFilePath(kFavoritesFile); }

BOOL AppendToFavorites(LPCWSTR path, LPCWSTR title, int length, CPlaylist* shown) {
  if (!path || !*path) return FALSE;
  const std::u16string favorites = GetFavoritesPath();
  const bool showsFavorites = shown && shown->GetFileName() == favorites;
  if (showsFavorites) shown->SaveBoundFile();
  if (Unreadable(favorites.c_str())) return FALSE;
  {
    CPlaylist list(nullptr);
    list.LoadFile(favorites.c_str(), nullptr);
    list.InsertItem(path, -1, title && *title ? title : nullptr, length);
    if (!list.SaveFile(favorites.c_str())) return FALSE;
  }
  if (showsFavorites) {
    const int current = shown->GetCurrentIndex();
    shown->SetFileName(nullptr);
    shown->Clear();
    shown->LoadFile(favorites.c_str(), nullptr);
    shown->SetFileName(favorites.c_str());
    if (current >= 0) shown->SetCurrentIndex(current);
  }
  return TRUE;
}
