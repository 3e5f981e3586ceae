// The scripted core's answers: ReadItemInfo reports what the script said about the path (or a
// failed attempt), and a path's library entry is filled with the tags the script gave it.
#include "script_core.h"

#include "playlist.h"
#include "script_text.h"

void CScriptCore::ReadItemInfo(CPlaylist* playlist, int index, LPCWSTR path, int reserved, int flag) {
  if (log) *log += "  core: ReadItemInfo " + std::to_string(index) + " " + ToUtf8(path) + " " + std::to_string(flag) + "\n";
  auto known = infos.find(path);
  if (known == infos.end()) {
    playlist->MarkItemResult(index, FALSE);
    return;
  }
  playlist->SetItemInfo(index, path, known->second.title.c_str(), known->second.length);
}

int CScriptCore::DownloadToFile(LPCWSTR url, HANDLE file) {
  if (log) *log += "  core: DownloadToFile " + ToUtf8(url) + "\n";
  return -1;
}

HRESULT CScriptCore::FindLibraryEntryForPlaylist(IMediaItem* item, LPCWSTR path) {
  auto found = tags.find(path);
  if (!item || found == tags.end()) return E_FAIL;
  for (const auto& [id, text] : found->second) item->SetString(id, text.c_str());
  return S_OK;
}
