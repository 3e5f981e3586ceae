// ItemWriter: what one tag read writes into a media item. Readers fill multi-valued tags from the
// first free instance on and append values to text tags; asked of the item each time, both cost
// the whole of what is already there, so a tag of thousands of values took minutes. The writer
// remembers where each search ended and holds appended text until the read is done. It also
// bounds what a read adds to one tag: the item keeps its values in one sorted array, where a
// hostile tag that fills tag after tag at low instances would move the whole array per value.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "mediaitem.h"

class ItemWriter {
 public:
  // Values one read adds to one tag: far more than real files hold (chapters, comments,
  // pictures, genres), and few enough that the worst order of writes costs little.
  static constexpr DWORD kMaxValuesPerTag = 1024;
  static constexpr DWORD kNoInstance = 0xFFFFFFFF;

  explicit ItemWriter(IMediaItem* item) : item_(item) {}
  ~ItemWriter() { Flush(); }
  ItemWriter(const ItemWriter&) = delete;
  ItemWriter& operator=(const ItemWriter&) = delete;

  // For writes that touch no text held here.
  IMediaItem* item() const { return item_; }
  // For a direct write to `tag`: the text appended to it so far is written first.
  IMediaItem* For(DWORD tag);

  // Counts one value of `tag` against the read's bound; false once the tag has had its share.
  bool Allow(DWORD tag);
  // The first instance at or after `from` that the item lacks, counted as a value of the tag;
  // kNoInstance once the tag has had its share.
  DWORD FreeInstance(DWORD tag, DWORD from = 0);
  // Appends text to a text tag with a separator, as the item would join it value by value: the
  // whole text again is not appended, and Genre keeps each value in the genre collection too,
  // where a lone "Other" gives way to the next genre. Each value counts against the bound.
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
  std::map<DWORD, DWORD> values_;  // by tag: the values counted so far
};
