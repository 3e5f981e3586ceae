// CBookmarkList: the resume positions (one per media path, stored when an item stops and sought
// back to when it opens again) and the user's bookmarks (texts beginning with "*"), in one list,
// oldest first. The player core keeps one, read from "bookmarks.dat" beside the program at
// start-up and written back whenever it changes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CPlayerCore;

class CBookmarkList {
 public:
  struct Entry {
    std::u16string text;
    LONG position;  // milliseconds
  };

  CBookmarkList(CPlayerCore* owner, const WCHAR* fileName);

  // Reads the file or, when there is none, the older registry value "Bookmarks" (which is then
  // moved into the file and deleted).
  void ReadBookmarksFile();
  // Writes the whole list; FALSE when the file could not be written whole (the earlier file is
  // then kept as it was).
  BOOL Save() const;

  // Replaces the text's entries by (text, position) at the end; -1 only removes them. Plain
  // entries beyond the settings' `bookmarkTableSize` are dropped, oldest first.
  void Set(const WCHAR* text, LONG position);
  LONG GetPosition(const WCHAR* path);
  std::u16string GetLastPlain() const;
  // The n-th bookmark's text (empty when there is none) and position (untouched then).
  std::u16string GetBookmark(int n, LONG* position) const;
  int IndexOfPlain(int n) const;
  int CountPlain() const;
  int Find(const WCHAR* text) const;

  const std::vector<Entry>& Entries() const { return entries_; }
  // The file's path: the program's folder and the file name.
  std::u16string FilePath() const;

  // The list in the file's format (also that of the registry value).
  std::vector<BYTE> Serialize() const;
  // Applies every whole entry of `data` through Set; stops at the first one cut short.
  void Parse(const BYTE* data, size_t size);

 private:
  bool ReadFromFile();
  void ReadFromRegistry();

  CPlayerCore* owner_;
  std::vector<Entry> entries_;
  std::u16string fileName_;
  std::u16string cachedPath_;
  LONG cachedPosition_ = -1;
};

inline bool IsBookmarkText(const std::u16string& text) { return !text.empty() && text[0] == u'*'; }
