// The two process-wide lists and their updater windows, the library hooks the updaters call
// through the host, and the whole scan run at once for the command line.
#include <memory>

#include "core/settings/settings.h"
#include "local_content.h"
#include "local_content_library.h"
#include "local_content_updater.h"
#include "media_library.h"
#include "player_items.h"
#include "playlist.h"
#include "playlist_neighbours.h"
#include "playlist_view_sink.h"
#include "string_tokenizer.h"

namespace {

constexpr WCHAR kUpdaterClass[] = u"ZonbrelPlayListUpdater";
constexpr DWORD kDefaultMinimumSize = 307200;

ILocalContentHost* g_host = nullptr;
CPlaylist* g_playlistFiles = nullptr;
CPlaylist* g_localContent = nullptr;
LONG g_updaterHold = 0;

// Views are windows: the playlist's notices reach them by SendMessageW.
struct WindowViewSink : IPlaylistViewSink {
  BOOL IsViewWindow(HWND view) override { return IsWindow(view); }
  LRESULT SendViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam) override {
    return SendMessageW(view, message, wParam, lParam);
  }
};
WindowViewSink g_windowViews;

CMediaLibrary* Library() { return g_host ? g_host->Library() : nullptr; }

LRESULT CALLBACK UpdaterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* updater = reinterpret_cast<CLocalContentUpdater*>(GetWindowLongW(window, GWL_USERDATA));
  if (message == WM_DESTROY && updater) {
    SetWindowLongW(window, GWL_USERDATA, 0);
    delete updater;
    return 0;
  }
  if (!updater) return DefWindowProcW(window, message, wParam, lParam);
  return updater->OnMessage(message, wParam, lParam);
}

// Once per window session (a new device starts a new one).
bool RegisterClasses() {
  WNDCLASSW windowClass{};
  if (GetClassInfoW(nullptr, kUpdaterClass, &windowClass)) return true;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = UpdaterProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kUpdaterClass;
  return RegisterClassW(&windowClass) != 0;
}

// The folders of a "|"-separated setting, each a pending search folder of the updater.
void AddIncludedFolders(HWND updater, CPlaylist& list, const CStringTokenizer* folders, LPCWSTR filter, DWORD minimum) {
  auto* state = updater ? reinterpret_cast<CLocalContentUpdater*>(GetWindowLongW(updater, GWL_USERDATA)) : nullptr;
  if (!state || !folders) return;
  for (int i = 1; i <= folders->GetCount(); ++i) {
    const std::u16string folder = folders->GetToken(i);
    if (!folder.empty()) state->Scan().AddSearchFolder(list, folder.c_str(), TRUE, TRUE, filter, FALSE, minimum);
  }
}

CPlaylist* CreateList(const std::u16string& filter, DWORD minimum, const CStringTokenizer* included, bool disabled) {
  auto* list = new CPlaylist(nullptr);
  if (disabled) return list;
  LocalContentWorker worker{LCWORKER_UPDATER | LCUPDATE_GLOBAL, nullptr, filter.c_str(), nullptr, nullptr, TRUE, minimum};
  HWND updater = RegisterPlaylistWorkerClasses(&worker, list);
  AddIncludedFolders(updater, *list, included, filter.c_str(), minimum);
  return list;
}

void DestroyList(CPlaylist*& list) {
  if (!list) return;
  for (;;) {
    HWND worker = nullptr;
    list->Notify(PLM_FINDWORKER, LCWORKER_UPDATER, reinterpret_cast<LPARAM>(&worker));
    if (!worker) break;
    list->RemoveView(worker);
    DestroyWindow(worker);
  }
  delete list;
  list = nullptr;
}

void RemoveAdobeFontLists(CPlaylist* list) {
  constexpr std::u16string_view kEnding = u"\\AdobeFnt.lst";
  for (int i = list->GetCount() - 1; i >= 0; --i) {
    const std::u16string path = list->GetItemPath(i);
    if (path.size() < kEnding.size() || _wcsicmp(path.c_str() + path.size() - kEnding.size(), kEnding.data()) != 0)
      continue;
    list->Notify(PLM_WORKERHOLD, LCWORKER_UPDATER, 1);
    list->RemoveItem(i);
    list->Notify(PLM_WORKERHOLD, LCWORKER_UPDATER, 0);
  }
}

}  // namespace

void SetLocalContentHost(ILocalContentHost* host) { g_host = host; }
ILocalContentHost* GetLocalContentHost() { return g_host; }

HWND RegisterPlaylistWorkerClasses(const LocalContentWorker* worker, CPlaylist* playlist) {
  if (!RegisterClasses() || !worker || !playlist || !(worker->kindAndOptions & LCWORKER_UPDATER)) return nullptr;
  if (!GetPlaylistViewSink()) SetPlaylistViewSink(&g_windowViews);
  HWND window = CreateWindowW(kUpdaterClass, u"", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return nullptr;
  SetWindowLongW(window, GWL_USERDATA,
                    reinterpret_cast<LONG_PTR>(new CLocalContentUpdater(window, playlist, *worker, &g_updaterHold)));
  playlist->AddView(window);
  SendMessageW(window, PLM_START, 0, 0);
  return window;
}

void CreateLocalContentLists() {
  if (g_localContent || !g_host) return;
  CSettings* settings = GetSettings();
  const bool disabled = settings && settings->disableLocalContent;
  g_playlistFiles = CreateList(g_host->PlaylistExtensions(), 0, settings ? settings->includePlaylistPath.get() : nullptr,
                               disabled);
  const DWORD minimum = settings ? settings->minimumSizeAudioFile : kDefaultMinimumSize;
  g_localContent = CreateList(g_host->MediaExtensions(), minimum, settings ? settings->includeMediaPath.get() : nullptr,
                              disabled);
}

void DestroyLocalContentLists() {
  DestroyList(g_playlistFiles);
  DestroyList(g_localContent);
}

CPlaylist* GetLocalContentPlaylist() { return g_localContent; }

CPlaylist* GetPlaylistFilesList() {
  if (g_playlistFiles) RemoveAdobeFontLists(g_playlistFiles);
  return g_playlistFiles;
}

BOOL IsLibraryEntryCurrent(IPlaylistCore*, LPCWSTR path) {
  CMediaLibrary* library = Library();
  if (!library || !path) return FALSE;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(path, &found);
  if (find == INVALID_HANDLE_VALUE) return FALSE;
  FindClose(find);
  BOOL needed = TRUE;
  return SUCCEEDED(library->NeedsUpdate(path, nullptr, 1, &found, &needed)) && !needed;
}

void LibraryRefresh(LPCWSTR path) {
  if (CMediaLibrary* library = Library()) library->MarkValid(path, FALSE);
}

void OnPathRemoved(BOOL folder, LPCWSTR path) {
  if (g_host) g_host->LeavePath(path);
  if (CMediaLibrary* library = Library()) library->MarkInvalid(path, folder);
}

void LibraryInvalidateAll() {
  CSettings* settings = GetSettings();
  if (settings && settings->disableLocalContent) return;
  if (CMediaLibrary* library = Library()) library->InvalidateAll(FALSE);
}

void SetLibraryState(int mode) {
  CMediaLibrary* library = Library();
  if (!library) return;
  switch (mode) {
    case 1: library->ChangeMode(LIBMODE_SCAN, LIBMODE_SCAN); break;
    case 2: library->ChangeMode(0, LIBMODE_SCAN); break;
    case 3: library->ChangeMode(LIBMODE_TEMP_TAGS, LIBMODE_TEMP_TAGS); break;
    case 4:
      library->ChangeMode(LIBMODE_BULK, LIBMODE_BULK);
      library->ChangeMode(0, LIBMODE_SCAN | LIBMODE_TEMP_TAGS);
      library->ChangeMode(0, LIBMODE_BULK);
      break;
    case 5: library->ChangeMode(0, LIBMODE_TEMP_TAGS); break;
    default: break;
  }
}

bool IsLibraryIdle() {
  CMediaLibrary* library = Library();
  return !library || !library->IsBusy();
}

bool IsFolderIgnored(LPCWSTR path) {
  CSettings* settings = GetSettings();
  return settings && IsIgnoredFolder(*settings, path);
}

bool IsLocalContentPlaying() { return g_host && g_host->IsPlaying(); }

bool ValidateLocalEntry(CPlaylist& playlist, int index) {
  const std::u16string path = playlist.GetItemPath(index);
  bool wrote = false;
  if (!IsLibraryEntryCurrent(nullptr, path.c_str()) && g_host)
    wrote = SUCCEEDED(RefreshLibraryEntry(g_host->ItemHost(), g_host->Library(), path.c_str()));
  playlist.MarkItemResult(index, TRUE);
  return wrote;
}

int RunLocalContentScan(LPCWSTR folder, void (*progress)(int percent, LPCWSTR folder, void* context), void* context) {
  if (!g_host || !RegisterClasses()) return -1;
  CSettings* settings = GetSettings();
  const std::u16string filter = g_host->MediaExtensions();
  const DWORD minimum = settings ? settings->minimumSizeAudioFile : kDefaultMinimumSize;
  CPlaylist list(nullptr);
  // An updater that neither watches nor adds anything by itself: the folder is pushed here.
  LocalContentWorker worker{LCWORKER_UPDATER | LCUPDATE_REFRESH | LCUPDATE_SKIP_IGNORED, folder, filter.c_str(),
                            nullptr, nullptr, FALSE, minimum};
  HWND window = RegisterPlaylistWorkerClasses(&worker, &list);
  auto* updater = window ? reinterpret_cast<CLocalContentUpdater*>(GetWindowLongW(window, GWL_USERDATA)) : nullptr;
  if (!updater) return -1;
  const std::u16string root = folder && *folder ? folder : u"\\";
  updater->Scan().AddSearchFolder(list, root.c_str(), TRUE, TRUE, filter.c_str(), TRUE, minimum);
  while (updater->Scan().HasPending()) {
    if (progress) progress(100 - updater->Scan().GetScanProgress(), updater->Scan().GetCurrentScanFolder().c_str(), context);
    ++g_updaterHold;
    updater->Scan().RescanSearchFolder(list);
    --g_updaterHold;
  }
  updater->FinishScan();
  do {
    while (!IsLibraryIdle()) Sleep(1);
  } while (updater->ValidateStep(0));
  if (progress) progress(100, root.c_str(), context);
  // The bulk batches end on the library's analysis thread; the scan is done when it is.
  while (!IsLibraryIdle()) Sleep(10);
  const int found = list.GetCount();
  list.RemoveView(window);
  DestroyWindow(window);
  return found;
}

namespace {
CLocalContentUpdater* UpdaterOf(CPlaylist* list) {
  if (!list) return nullptr;
  HWND worker = nullptr;
  list->Notify(PLM_FINDWORKER, LCWORKER_UPDATER, reinterpret_cast<LPARAM>(&worker));
  return worker ? reinterpret_cast<CLocalContentUpdater*>(GetWindowLongW(worker, GWL_USERDATA)) : nullptr;
}
}  // namespace

int GetListScanProgress(CPlaylist* list) {
  CLocalContentUpdater* updater = UpdaterOf(list);
  return updater ? updater->Scan().GetScanProgress() : 0;
}

std::u16string GetListScanFolder(CPlaylist* list) {
  CLocalContentUpdater* updater = UpdaterOf(list);
  return updater ? updater->Scan().GetCurrentScanFolder() : std::u16string();
}
