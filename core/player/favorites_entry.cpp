// AddToFavorites: the title and length of the entry come from the playing decoder when the path
// is the one playing, and a station name from the library item replaces that title; the file work
// is the playlists' (favorites.cpp).
#include "core/player/favorites_entry.h"

#include <string>

#include "core/modules/stream_sources.h"
#include "core/player/player_core.h"
#include "favorites.h"
#include "playlist.h"
#include "tagids.h"

namespace {

constexpr size_t kTitleChars = 520;
constexpr int kUnknownLength = -2;

}  // namespace

BOOL AddToFavorites(CPlayerCore* core, LPCWSTR path) {
  if (!core) return FALSE;
  const std::u16string chosen = path ? path : core->GetCurrentPath();
  if (chosen.empty()) return FALSE;

  std::u16string title;
  int length = kUnknownLength;
  if (core->IsPlaying() && _wcsicmp(chosen.c_str(), core->GetCurrentPath().c_str()) == 0) {
    DecModule* decoder = core->GetDecoder();
    DecModule* record = nullptr;
    InputSource* source = nullptr;
    core->BindDecoder(chosen.c_str(), &record, &source, nullptr);
    if (decoder && decoder->GetFileInfo && source) {
      CSourceCopy copy;
      copy.Reset(source);
      WCHAR buffer[kTitleChars] = {};
      decoder->GetFileInfo(copy.get(), chosen.c_str(), buffer, &length);
      buffer[kTitleChars - 1] = 0;
      title = buffer;
    }
    if (IMediaItem* item = core->GetCurrentItem()) {
      BSTR station = nullptr;
      if (SUCCEEDED(item->GetString(TAG_STATION_ID, &station)) && station && *station) title = station;
      SysFreeString(station);
    }
  }
  return AppendToFavorites(chosen.c_str(), title.c_str(), length, core->GetPlaylist());
}
