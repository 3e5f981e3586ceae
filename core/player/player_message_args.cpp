// The argument checks and the bounded text copies that every message handler shares.
#include <cstring>

#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "medialist.h"
#include "playlist.h"

namespace {
constexpr DWORD kLibraryExporting = 8;
}  // namespace

LPCWSTR InText(const PlayerMessage& m) {
  auto* text = static_cast<LPCWSTR>(m.in);
  if (!text) return nullptr;
  if (m.inSize == 0) return text;
  const size_t chars = m.inSize / sizeof(WCHAR);
  for (size_t i = 0; i < chars; ++i)
    if (text[i] == 0) return text;
  return nullptr;
}

bool CopyText(std::u16string_view text, void* out, UINT outBytes) {
  const size_t room = outBytes / sizeof(WCHAR);
  if (!out || room == 0) return false;
  const size_t chars = text.size() < room ? text.size() : room - 1;
  auto* target = static_cast<WCHAR*>(out);
  memcpy(target, text.data(), chars * sizeof(WCHAR));
  target[chars] = 0;
  return chars == text.size();
}

bool CopyTextIfFits(std::u16string_view text, void* out, UINT outBytes) {
  if (!out || (text.size() + 1) * sizeof(WCHAR) > outBytes) return false;
  return CopyText(text, out, outBytes);
}

HRESULT ExportPlaylistInto(CPlayerCore& core, CPlaylist* playlist, IMediaList* target) {
  if (!playlist || !target) return E_FAIL;
  IMediaLibraryLink* library = core.GetLibraryLink();
  if (library) library->RequestFlush(kLibraryExporting, kLibraryExporting);
  IMediaList* exported = nullptr;
  HRESULT result = playlist->ExportToMediaList(&core, &exported);
  if (SUCCEEDED(result) && exported) result = target->AppendList(exported, TRUE);
  if (exported) exported->Release();
  if (library) library->RequestFlush(0, kLibraryExporting);
  return SUCCEEDED(result) && exported ? S_OK : E_FAIL;
}
