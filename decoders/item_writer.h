// ItemWriter: what one tag read writes into a media item. Readers fill multi-valued tags from the
// first free instance on and append values to text tags; asked of the item each time, both cost
// the whole of what is already there, so a tag of thousands of values took minutes. The writer
// remembers where each search ended and holds appended text until the read is done.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "mediaitem.h"

class ItemWriter {
 public:
  explicit ItemWriter(IMediaItem* item) : item_(item) {}
  ~ItemWriter() { Flush(); }
  ItemWriter(const ItemWriter&) = delete;
  ItemWriter& operator=(const ItemWriter&) = delete;

  // For writes that touch no text held here.
  IMediaItem* item() const { return item_; }
  // For a direct write to `tag`: the text appended to it so far is written first.
  IMediaItem* For(DWORD tag);

  // The first instance at or after `from` that the item lacks.
  DWORD FreeInstance(DWORD tag, DWORD from = 0);
  // Appends text to a text tag with a separator, as the item would join it value by value: the
  // whole text again is not appended, and Genre keeps each value in the genre collection too,
  // where a lone "Other" gives way to the next genre.
  HRESULT AppendText(DWORD tag, const std::u16string& text, std::u16string_view separator = u";");
  // Writes the text held for every tag into the item.
  void Flush();

 private:
  struct Joined {
    std::u16string text;  // as the item would hold it: trimmed
    bool present = false;
    bool changed = false;
  };
  void Write(DWORD tag, Joined& joined);
  HRESULT AppendToItem(DWORD tag, const std::u16string& text, std::u16string_view separator);
  void KeepInGenreCollection(const std::u16string& old, const std::u16string& text);

  IMediaItem* item_;
  // Instances are only added while a read fills an item: every instance from a search's start up
  // to where it last ended is taken, keyed by tag and start.
  std::map<std::pair<DWORD, DWORD>, DWORD> searched_;
  std::map<DWORD, Joined> joined_;
};
