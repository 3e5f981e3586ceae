// The rows a query lists, kept as text until somebody asks for their items. A list of a whole
// library would otherwise make and register one library item per entry before anyone reads a
// single one; an item made later is the item the query would have made, with the query's text
// for the preloaded tag unless rows have changed under live items since.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "mediaitem.h"

class CMediaLibrary;

// A text as a query's row gives it: ASCII as SQLite stores it (a byte a character), anything
// else as UTF-16. Null data: no text.
struct ListedText {
  const void* data = nullptr;
  size_t length = 0;  // characters
  bool wide = false;
};

class CListedRows {
 public:
  // `tag`: the string tag whose text the query preloads, 0 for none. Holds a reference on the
  // library for as long as rows may still become items.
  CListedRows(CMediaLibrary* library, DWORD tag);
  ~CListedRows();
  CListedRows(const CListedRows&) = delete;
  CListedRows& operator=(const CListedRows&) = delete;

  // The row's key for the calls below.
  size_t Add(DWORD mid, const ListedText& source, const ListedText& text);
  // The source the row's item gives.
  void Source(size_t row, std::u16string* source) const;
  // The text the row's item gives for `id`, when the row alone can tell; false when only the
  // item can (another tag, no preloaded text, or rows changed since the query).
  bool Text(size_t row, DWORD id, std::u16string* text) const;
  // The row's item, made now, with one reference for the caller; null when it can't be made.
  IMediaItem* MakeItem(size_t row) const;

 private:
  struct Header;
  const char* At(size_t row) const;
  bool Fresh() const;

  CMediaLibrary* library_;
  DWORD tag_;
  LONG changes_;  // the library's count of changed rows when the rows were listed
  // Rows one after another in blocks that never move: a list of a whole library costs a few
  // allocations and half the memory of wide texts, rather than several allocations an entry.
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;  // bytes used in the last block
  size_t room_ = 0;  // its size
};
