// The incremental folder scan of an updater: a stack of pending folders, taken one per step, so
// a large card is scanned a little at a time on the user-interface thread, depth first.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CPlaylist;

class CFolderScan {
 public:
  // A pending folder (pending) goes on the stack and the first step runs at once (it takes an
  // empty record, so the folder is scanned from the next step on); otherwise its files are added
  // now. The index of the first entry added, or -1.
  int AddSearchFolder(CPlaylist& playlist, LPCWSTR folder, BOOL pending, BOOL sorted, LPCWSTR filter, BOOL skipIgnored,
                      DWORD minimumSize);
  // One step: one record off the stack; the first index added or -1.
  int RescanSearchFolder(CPlaylist& playlist);
  bool HasPending() const { return !stack_.empty(); }
  // 0 when nothing is pending, else pending * 100 / (done + pending), at least 1.
  int GetScanProgress() const;
  // The folder of the last active pending record with a path, or empty.
  std::u16string GetCurrentScanFolder() const;
  void Clear();

 private:
  struct SearchFolder {
    bool active = false;
    bool sorted = false;
    bool skipIgnored = false;
    DWORD minimumSize = 0;
    std::u16string filter;
    std::u16string folder;
  };
  int AddFolderFiles(CPlaylist& playlist, const SearchFolder& record);

  std::vector<SearchFolder> stack_;
  int done_ = 0;
};

// The index of the first entry whose path sorts after `folder`, or -1 (the end).
int SortedInsertPosition(const CPlaylist& playlist, const std::u16string& folder);
