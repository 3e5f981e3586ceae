// Sorting a media list by several tag keys, each ascending or descending, or by source. Each
// item's key values are read once up front, so the comparison is a strict order even when
// items change or values are odd (NaN), and the sort can never run out of bounds.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <variant>

#include "media_list.h"
#include "tag_value.h"
#include "wide_text.h"

namespace {

// A text key: a span of the sort's own arena, which holds every text folded once when read.
// Ordering the folded texts gives the order of comparing the texts ignoring case, and keeping
// them side by side spares each its own allocation and each comparison a jump across memory.
// Its first four units travel with it, packed in order, and settle most comparisons without a
// look into the arena.
struct TextSpan {
  uint32_t offset;
  uint32_t length;
  uint64_t prefix;
};

using KeyValue = std::variant<std::monostate, TextSpan, LONG, float, SYSTEMTIME>;

class TextArena {
 public:
  explicit TextArena(size_t texts) { texts_.reserve(texts * 16); }  // room for most titles and names

  // The text of a BSTR getter, folded into the arena; nothing when the item has none.
  std::optional<TextSpan> Read(IMediaItem* item, DWORD id) {
    BSTR text = nullptr;
    if (FAILED(item->GetString(id, &text)) || !text) return std::nullopt;
    const TextSpan span = Add(text);
    SysFreeString(text);
    return span;
  }
  TextSpan Add(std::u16string_view text) {
    TextSpan span{static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size()), 0};
    zblib::AppendFoldedUpper(texts_, text);
    for (size_t i = 0; i < 4; ++i) {
      span.prefix = span.prefix << 16 | (i < text.size() ? texts_[span.offset + i] : 0);
    }
    return span;
  }
  // Units missing from a short text count as 0 in the prefix, so texts whose prefixes differ
  // order as the prefixes do; equal prefixes leave it to the whole texts.
  int Compare(const TextSpan& a, const TextSpan& b) const {
    if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
    const std::u16string_view all(texts_);
    const int c = all.substr(a.offset, a.length).compare(all.substr(b.offset, b.length));
    return (c > 0) - (c < 0);
  }

 private:
  std::u16string texts_;
};

// Nothing (monostate) when the item has no readable value for the key.
KeyValue ReadKey(IMediaItem* item, DWORD key, bool albumArtistFallback, TextArena& arena) {
  switch ((key >> 16) & 0x800F) {
    case TAG_TYPE_STR: {
      auto text = arena.Read(item, key);
      if (!text && key == TAG_ALBUM_ARTIST && albumArtistFallback) text = arena.Read(item, TAG_ARTIST);
      if (text) return *text;
      return {};
    }
    case TAG_TYPE_INT: {
      LONG v;
      if (SUCCEEDED(item->GetInt(key, &v))) return v;
      return {};
    }
    case TAG_TYPE_REAL: {
      float v;
      if (SUCCEEDED(item->GetFloat(key, &v))) return v;
      return {};
    }
    case TAG_TYPE_DATE: {
      SYSTEMTIME v;
      if (SUCCEEDED(item->GetSystemTime(key, &v))) return v;
      return {};
    }
    case 0x8002: {
      LONG v;
      DWORD size = sizeof(v);
      if (SUCCEEDED(item->GetInstance(key, 0, &v, &size)) && size == sizeof(v)) return v;
      return {};
    }
    default:
      return TextSpan{0, 0, 0};  // compares equal for every item
  }
}

int Sign(LONGLONG v) { return (v > 0) - (v < 0); }

// One key holds values of one type, or nothing where an item lacks it.
int CompareValues(const KeyValue& a, const KeyValue& b, const TextArena& arena) {
  if (a.index() != b.index() || a.index() == 0) {
    const bool hasA = a.index() != 0, hasB = b.index() != 0;
    return static_cast<int>(hasA) - static_cast<int>(hasB);  // missing is lower
  }
  switch (a.index()) {
    case 1: return arena.Compare(*std::get_if<TextSpan>(&a), *std::get_if<TextSpan>(&b));
    case 2: return Sign(static_cast<LONGLONG>(*std::get_if<LONG>(&a)) - *std::get_if<LONG>(&b));
    case 3: {
      const float x = *std::get_if<float>(&a), y = *std::get_if<float>(&b);
      if (std::isnan(x) || std::isnan(y)) return static_cast<int>(std::isnan(x)) - static_cast<int>(std::isnan(y));
      return (x > y) - (x < y);
    }
    default: return Sign(CompareDates(*std::get_if<SYSTEMTIME>(&a), *std::get_if<SYSTEMTIME>(&b), false));
  }
}

// Multi-valued keys other than integers, blobs and GUIDs cannot be ordered.
bool SortableKey(DWORD key) {
  const DWORD upper = key >> 16;
  if (upper & 0x8000) return (upper & 0x800F) == 0x8002;
  const DWORD type = upper & 0xF;
  return type != TAG_TYPE_BLOB && type != TAG_TYPE_GUID;
}

// An item's place in the sort: its first key travels with it, so that the comparisons that the
// first key decides read the rows in the order the sort walks them.
struct Row {
  KeyValue first;
  size_t index;
};

}  // namespace

STDMETHODIMP CMediaList::Sort(const DWORD* tags, const DWORD* ascending, LONG count) {
  if (count < 0) return E_INVALIDARG;
  if (count > 0 && (!tags || !ascending)) return E_POINTER;
  for (LONG k = 0; k < count; ++k)
    if (!SortableKey(tags[k])) return E_FAIL;

  const size_t n = items_.size();
  const size_t keys = count == 0 ? 1 : static_cast<size_t>(count);
  std::vector<Row> rows(n);
  std::vector<KeyValue> later(n * (keys - 1));  // the keys after the first, item by item
  std::vector<int> directions;
  TextArena arena(n * keys);
  if (count == 0) {
    directions.push_back(ascending && !ascending[0] ? -1 : 1);
    for (size_t i = 0; i < n; ++i) {
      rows[i].index = i;
      std::u16string source;
      // An item without a source orders before every item with one.
      if (SourceAt(i, &source) && !source.empty()) rows[i].first = arena.Add(source);
    }
  } else {
    const bool fallback = tags[0] != 0;
    for (LONG k = 0; k < count; ++k) directions.push_back(ascending[k] ? 1 : -1);
    // A listed row tells its preloaded text itself; anything else takes the entry's item.
    std::u16string text;
    auto key = [&](size_t i, DWORD tag) -> KeyValue {
      if (!items_[i].item && rows_->Text(items_[i].row, tag, &text)) return arena.Add(text);
      IMediaItem* item = Item(i);
      return item ? ReadKey(item, tag, fallback, arena) : KeyValue();
    };
    for (size_t i = 0; i < n; ++i) {
      rows[i].index = i;
      rows[i].first = key(i, tags[0]);
      for (size_t k = 1; k < keys; ++k) later[i * (keys - 1) + k - 1] = key(i, tags[k]);
    }
  }

  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    int c = CompareValues(a.first, b.first, arena) * directions[0];
    for (size_t k = 1; c == 0 && k < keys; ++k) {
      c = CompareValues(later[a.index * (keys - 1) + k - 1], later[b.index * (keys - 1) + k - 1], arena) * directions[k];
    }
    return c < 0;
  });
  std::vector<Slot> sorted;
  sorted.reserve(n);
  for (const Row& row : rows) sorted.push_back(items_[row.index]);
  items_.swap(sorted);
  Changed();
  return S_OK;
}
