// CRecentList: the recently used names (URLs typed in the Add URL dialog and the like), as
// (id, name) pairs grouped by id, oldest first, kept in a small file beside the program.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CRecentList {
 public:
  struct Entry {
    DWORD id;
    std::u16string name;
  };

  CRecentList(void* owner, LPCWSTR fileName);

  // Reads the file; the records up to the first damaged one are added, so duplicates and the
  // bound apply as they do to Add.
  void Load();
  // Writes the list whole (the earlier file stays when that fails); FALSE then.
  BOOL Save() const;

  // Moves the pair to the newest end (an empty name only removes it); beyond the setting
  // `bookmarkTableSize` (all ids together) the oldest go.
  void Add(DWORD id, LPCWSTR name);
  void Remove(DWORD id, LPCWSTR name);
  // The position of the n-th pair with the id (from 0), or -1.
  int Find(DWORD id, int n) const;
  // 1 and the n-th name with the id, cut to length - 1 characters and terminated; else 0.
  int GetName(DWORD id, LPWSTR buffer, int length, int n) const;

  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::u16string FilePath() const;

  void* owner_;
  std::u16string fileName_;
  std::vector<Entry> entries_;
};
