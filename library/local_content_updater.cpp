// The updater's steps (see local_content_updater.h): its start, the scan and validation timers,
// the shell's file-change notices, the deferred removal of storage cards, and the list changes
// it makes itself (under the hold counter) or that others make (which end it).
#include "local_content_updater.h"

#include "core/modules/bound_system_functions.h"
#include "local_content_library.h"
#include "playlist.h"

namespace {

constexpr UINT kScanDelayMs = 10;
constexpr UINT kValidateDelayMs = 120;
constexpr UINT kValidateBusyDelayMs = 1000;
constexpr UINT kValidateSlowStepMs = 60;
constexpr UINT kValidateAgainMs = 2000;
constexpr UINT kRefreshDelayMs = 1000;
constexpr UINT kPausedDelayMs = 2000;
constexpr UINT kRemovalDelayMs = 4000;
constexpr DWORD kValidateBudgetMs = 30;
constexpr int kEntriesPerBatch = 80;
constexpr UINT kFirstMouseMessage = 0x200, kLastMouseMessage = 0x20A;
constexpr DWORD kFolderEvents = SHCNE_RENAMEITEM | SHCNE_CREATE | SHCNE_DELETE;
constexpr DWORD kVolumeEvents = SHCNE_DRIVEREMOVED | SHCNE_DRIVEADD;

// Input waiting for the user-interface thread: the validation step gives way to it.
bool InputWaiting() {
  MSG message;
  return PeekMessageW(&message, nullptr, kFirstMouseMessage, kLastMouseMessage, PM_NOREMOVE) ||
         PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE);
}

bool StartsWithNoCase(const std::u16string& text, const std::u16string& prefix) {
  return text.size() >= prefix.size() && _wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

// The entries at or under a folder: the path itself, or anything below "folder\".
bool UnderFolder(const std::u16string& path, const std::u16string& folder) {
  if (!StartsWithNoCase(path, folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == u'\\' || folder.back() == u'\\';
}

}  // namespace

CLocalContentUpdater::CLocalContentUpdater(HWND window, CPlaylist* playlist, const LocalContentWorker& worker,
                                           LONG* hold)
    : window_(window),
      playlist_(playlist),
      options_(worker.kindAndOptions & 0xFFFF),
      path_(worker.path ? worker.path : u""),
      filter_(worker.filter ? worker.filter : u""),
      subfolders_(worker.includeSubfolders),
      minimumSize_(worker.minimumSize),
      hold_(hold) {
  if (options_ & LCUPDATE_SINK) RegisterScanWindow(window_, &runState_);
}

CLocalContentUpdater::~CLocalContentUpdater() {
  Unregister();
  // Notices the shell posted before the registration went are ours to free: the window goes
  // before anyone reads them, and nothing is posted to it after the deregistration.
  MSG message;
  while (window_ && PeekMessageW(&message, window_, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_REMOVE)) {
    if (message.lParam) BoundSHChangeNotifyFree(reinterpret_cast<FILECHANGENOTIFY*>(message.lParam));
  }
  removals_.clear();
  if (options_ & LCUPDATE_SINK) UnregisterScanWindow(window_);
}

void CLocalContentUpdater::Schedule(UINT_PTR timer, UINT delayMs) {
  if (window_) SetTimer(window_, timer, delayMs, nullptr);
}

void CLocalContentUpdater::Start() {
  ++*hold_;
  const std::u16string root = path_.empty() ? u"\\" : path_;
  LPCWSTR filter = filter_.empty() ? nullptr : filter_.c_str();
  if (options_ & LCUPDATE_FOLDER) {
    scan_.AddSearchFolder(*playlist_, root.c_str(), FALSE, TRUE, filter, FALSE, minimumSize_);
    Schedule(LCTIMER_SCAN, kScanDelayMs);
  }
  if (subfolders_) {
    WIN32_FIND_DATAW found;
    const std::u16string pattern = (root.back() == u'\\' ? root : root + u"\\") + u"*.*";
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (found.dwFileAttributes & 0x400)) continue;
        if (!wcscmp(found.cFileName, u".") || !wcscmp(found.cFileName, u"..")) continue;
        const std::u16string folder = (root.back() == u'\\' ? root : root + u"\\") + found.cFileName;
        if (IsFolderIgnored(folder.c_str())) continue;
        scan_.AddSearchFolder(*playlist_, folder.c_str(), TRUE, TRUE, filter, TRUE, minimumSize_);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    Schedule(LCTIMER_SCAN, kScanDelayMs);
  }
  --*hold_;
  Register();
}

void CLocalContentUpdater::Register() {
  DWORD mask = 0;
  if (options_ & LCUPDATE_FOLDER) mask |= kFolderEvents;
  if (options_ & LCUPDATE_VOLUMES) mask |= kVolumeEvents;
  if (!mask || !window_) return;
  SHCHANGENOTIFYENTRY entry{mask, path_.empty() ? nullptr : path_.data(), subfolders_};
  notifying_ = BoundSHChangeNotifyRegister(window_, &entry) != FALSE;
}

void CLocalContentUpdater::Unregister() {
  if (notifying_) BoundSHChangeNotifyDeregister(window_);
  notifying_ = false;
}

void CLocalContentUpdater::ScanStep() {
  ++*hold_;
  scan_.RescanSearchFolder(*playlist_);
  if (scan_.HasPending()) Schedule(LCTIMER_SCAN, kScanDelayMs);
  else FinishScan();
  --*hold_;
}

void CLocalContentUpdater::FinishScan() {
  LibraryInvalidateAll();
  SetLibraryState(2);
  MarkLocalContentScanned();
}

bool CLocalContentUpdater::ValidateStep(DWORD budgetMs) {
  SetLibraryState(3);
  const DWORD began = GetTickCount();
  int index = next_;
  for (; index < playlist_->GetCount(); ++index) {
    if (playlist_->GetItemStatus(index) == 0) continue;
    // Batches count the entries written: a card whose files the library holds as they are
    // makes no batch to end (and no analysis to wait for).
    if (ValidateLocalEntry(*playlist_, index) && ++validated_ % kEntriesPerBatch == 0) {
      // The batch ends on the library's analysis thread; the next step waits until it is idle.
      SetLibraryState(4);
      ++index;
      break;
    }
    if (budgetMs && (GetTickCount() - began >= budgetMs || InputWaiting())) {
      ++index;
      break;
    }
  }
  next_ = index;
  const DWORD took = GetTickCount() - began;
  if (next_ < playlist_->GetCount()) {
    Schedule(LCTIMER_VALIDATE, took >= kValidateSlowStepMs && IsLocalContentPlaying() ? kValidateBusyDelayMs
                                                                                        : kValidateDelayMs);
    return true;
  }
  for (int i = 0; i < playlist_->GetCount(); ++i) {
    if (playlist_->GetItemStatus(i) != 0) {
      next_ = i;
      Schedule(LCTIMER_VALIDATE, kValidateAgainMs);
      return true;
    }
  }
  next_ = 0;
  if (!scan_.HasPending()) SetLibraryState(5);
  return false;
}

void CLocalContentUpdater::OnTimer(UINT_PTR timer) {
  if (timer != LCTIMER_VALIDATE && timer != LCTIMER_SCAN && timer != LCTIMER_REMOVAL) return;
  KillTimer(window_, timer);
  // The library's own background work and a stylus held down come first.
  if (!IsLibraryIdle() || (GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
    Schedule(timer, kPausedDelayMs);
    return;
  }
  if (runState_ == 0) {
    Schedule(LCTIMER_VALIDATE, kPausedDelayMs);
    return;
  }
  if (timer == LCTIMER_SCAN) {
    ScanStep();
  } else if (timer == LCTIMER_REMOVAL) {
    const std::vector<DeferredRemoval> due = std::move(removals_);
    removals_.clear();
    for (const DeferredRemoval& removal : due) RemovePath(removal.folder.c_str(), TRUE);
  } else if (runState_ == -1) {
    runState_ = 1;
    ++*hold_;
    playlist_->Clear();
    --*hold_;
    Unregister();
    scan_.Clear();
    next_ = 0;
    Start();
  } else {
    ValidateStep(kValidateBudgetMs);
  }
}

void CLocalContentUpdater::RemovePath(LPCWSTR path, BOOL folder) {
  const std::u16string removed = path;
  ++*hold_;
  if (folder) playlist_->Notify(PLM_BATCH, 0, 0);
  for (int i = playlist_->GetCount() - 1; i >= 0; --i) {
    const std::u16string entry = playlist_->GetItemPath(i);
    if (folder ? UnderFolder(entry, removed) : entry == removed) playlist_->RemoveItem(i);
  }
  if (folder) playlist_->Notify(PLM_BATCH, 1, 0);
  --*hold_;
  if (next_ > playlist_->GetCount()) next_ = 0;
  OnPathRemoved(folder, path);
}

void CLocalContentUpdater::InsertSorted(LPCWSTR path) {
  ++*hold_;
  playlist_->InsertItem(path, SortedInsertPosition(*playlist_, path), nullptr, -2);
  --*hold_;
  Schedule(LCTIMER_VALIDATE, kRefreshDelayMs);
}

void CLocalContentUpdater::OnFileChange(const FILECHANGEINFO& info) {
  if (info.uFlags != SHCNF_PATH || !info.dwItem1) return;
  const auto* first = reinterpret_cast<LPCWSTR>(info.dwItem1);
  const auto* second = reinterpret_cast<LPCWSTR>(info.dwItem2);
  const LONG event = info.wEventId;
  if (event == SHCNE_DRIVEREMOVED) {
    removals_.push_back({first});
    Schedule(LCTIMER_REMOVAL, kRemovalDelayMs);
    return;
  }
  if (event == SHCNE_DRIVEADD) {
    const size_t before = removals_.size();
    std::erase_if(removals_, [&](const DeferredRemoval& r) { return _wcsicmp(r.folder.c_str(), first) == 0; });
    if (removals_.size() != before) return;  // back within the grace time: nothing was lost
    scan_.AddSearchFolder(*playlist_, first, TRUE, TRUE, filter_.empty() ? nullptr : filter_.c_str(), TRUE,
                          minimumSize_);
    Schedule(LCTIMER_SCAN, kScanDelayMs);
    return;
  }
  LPCWSTR subject = event == SHCNE_RENAMEITEM && second ? second : first;
  const auto admitted = [&](LPCWSTR path) {
    return path && MatchesExtensionFilter(filter_.empty() ? nullptr : filter_.c_str(), path) &&
           !((options_ & LCUPDATE_SKIP_IGNORED) && IsFolderIgnored(path));
  };
  if (event == SHCNE_DELETE) {
    if (admitted(first)) RemovePath(first, FALSE);
  } else if (event == SHCNE_CREATE) {
    if (admitted(first)) InsertSorted(first);
  } else if (event == SHCNE_RENAMEITEM) {
    bool had = false;
    for (int i = 0; i < playlist_->GetCount() && !had; ++i) had = playlist_->GetItemPath(i) == first;
    if (had) RemovePath(first, FALSE);
    if (admitted(subject)) InsertSorted(subject);
  }
}

void CLocalContentUpdater::OnListChange(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Held()) {
    // Someone else edited the list: it no longer mirrors the device.
    PostMessageW(window_, PLM_WORKERCLOSE, 0, 0);
    return;
  }
  if (!(options_ & LCUPDATE_REFRESH) || (message != PLM_ITEMCHANGED && message != PLM_MOVED)) return;
  const int index = static_cast<int>(lParam);
  if (message == PLM_ITEMCHANGED && index >= 0 && index < playlist_->GetCount()) {
    if (index < next_) next_ = index;
    SetLibraryState(1);
    LibraryRefresh(playlist_->GetItemPath(index).c_str());
  }
  Schedule(LCTIMER_VALIDATE, kRefreshDelayMs);
}

LRESULT CLocalContentUpdater::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PLM_START:
      Start();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case PLM_RESET:
    case PLM_REMOVED:
    case PLM_ITEMCHANGED:
    case PLM_MOVED:
      OnListChange(message, wParam, lParam);
      return 0;
    case PLM_WORKERHOLD:
      if (wParam == LCWORKER_UPDATER) *hold_ += lParam ? 1 : -1;
      return 0;
    case PLM_FINDWORKER:
      if (wParam == LCWORKER_UPDATER && lParam) *reinterpret_cast<HWND*>(lParam) = window_;
      return 0;
    case PLM_WORKERCLOSE:
      playlist_->RemoveView(window_);
      DestroyWindow(window_);
      return 0;
    case WM_FILECHANGEINFO: {
      auto* notice = reinterpret_cast<FILECHANGENOTIFY*>(lParam);
      if (notice) {
        OnFileChange(notice->fci);
        BoundSHChangeNotifyFree(notice);
      }
      return 0;
    }
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}
