// One updater: the state behind a "ZonbrelPlayListUpdater" window, and the steps its messages and
// timers run. The scan tool runs the same steps in a loop, without waiting for timers.
#pragma once
#include <aygshell.h>
#include <windows.h>

#include <string>
#include <vector>

#include "local_content.h"
#include "local_content_scan.h"

class CPlaylist;

class CLocalContentUpdater {
 public:
  CLocalContentUpdater(HWND window, CPlaylist* playlist, const LocalContentWorker& worker, LONG* hold);
  ~CLocalContentUpdater();

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  CFolderScan& Scan() { return scan_; }
  CPlaylist* Playlist() { return playlist_; }

  void Start();
  void ScanStep();
  // Validates entries from the next one on until `budgetMs` pass (0: no limit) or input waits;
  // true when entries are left to validate.
  bool ValidateStep(DWORD budgetMs);
  // The scan reached its end: the library hears that it is complete.
  void FinishScan();

 private:
  struct DeferredRemoval {
    std::u16string folder;
  };
  void Schedule(UINT_PTR timer, UINT delayMs);
  void OnTimer(UINT_PTR timer);
  void OnFileChange(const FILECHANGEINFO& info);
  void OnListChange(UINT message, WPARAM wParam, LPARAM lParam);
  void RemovePath(LPCWSTR path, BOOL folder);
  void InsertSorted(LPCWSTR path);
  void Register();
  void Unregister();
  bool Held() const { return *hold_ > 0; }
  DWORD Options() const { return options_; }

  HWND window_;
  CPlaylist* playlist_;
  DWORD options_;
  std::u16string path_;
  std::u16string filter_;
  BOOL subfolders_;
  DWORD minimumSize_;
  int next_ = 0;
  LONG runState_ = 1;
  int validated_ = 0;
  LONG* hold_;
  bool notifying_ = false;
  CFolderScan scan_;
  std::vector<DeferredRemoval> removals_;
};
