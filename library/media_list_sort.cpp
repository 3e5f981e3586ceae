// Sorting a media list by several tag keys, each ascending or descending, or by source. Each
// item's key values are read once up front, so the comparison is a strict order even when
// items change or values are odd (NaN), and the sort can never run out of bounds.
#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

#include "media_list.h"
#include "tag_value.h"
#include "wide_text.h"

namespace {

// A text key: a span of the sort's own arena, which holds every text folded once when read.
// Ordering the folded texts gives the order of comparing the texts ignoring case, and keeping
// them side by side spares each its own allocation and each comparison a jump across memory.
struct TextSpan {
  size_t offset;
  size_t length;
};

using KeyValue = std::variant<std::monostate, TextSpan, LONG, float, SYSTEMTIME>;

class TextArena {
 public:
  // The text of a BSTR getter, folded into the arena; nothing when the item has none.
  std::optional<TextSpan> Read(IMediaItem* item, DWORD id) {
    BSTR text = nullptr;
    if (FAILED(item->GetString(id, &text)) || !text) return std::nullopt;
    const TextSpan span = Add(text);
    SysFreeString(text);
    return span;
  }
  TextSpan Add(std::u16string_view text) {
    const TextSpan span{texts_.size(), text.size()};
    zblib::AppendFoldedUpper(texts_, text);
    return span;
  }
  std::u16string_view View(const TextSpan& span) const {
    return std::u16string_view(texts_).substr(span.offset, span.length);
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
      return TextSpan{0, 0};  // compares equal for every item
  }
}

int Sign(LONGLONG v) { return (v > 0) - (v < 0); }

int CompareValues(const KeyValue& a, const KeyValue& b, const TextArena& arena) {
  const bool hasA = !std::holds_alternative<std::monostate>(a), hasB = !std::holds_alternative<std::monostate>(b);
  if (!hasA || !hasB) return static_cast<int>(hasA) - static_cast<int>(hasB);  // missing is lower
  if (const auto* text = std::get_if<TextSpan>(&a)) {
    return Sign(arena.View(*text).compare(arena.View(std::get<TextSpan>(b))));
  }
  if (const auto* number = std::get_if<LONG>(&a)) return Sign(static_cast<LONGLONG>(*number) - std::get<LONG>(b));
  if (const auto* real = std::get_if<float>(&a)) {
    const float other = std::get<float>(b);
    if (std::isnan(*real) || std::isnan(other)) return static_cast<int>(std::isnan(*real)) - static_cast<int>(std::isnan(other));
    return (*real > other) - (*real < other);
  }
  return Sign(CompareDates(std::get<SYSTEMTIME>(a), std::get<SYSTEMTIME>(b), false));
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
  TextArena arena;
  if (count == 0) {
    directions.push_back(ascending && !ascending[0] ? -1 : 1);
    for (size_t i = 0; i < n; ++i) {
      rows[i].index = i;
      BSTR source = nullptr;
      // An item without a source orders before every item with one.
      if (SUCCEEDED(items_[i]->GetSource(&source)) && source && *source) rows[i].first = arena.Add(source);
      SysFreeString(source);
    }
  } else {
    const bool fallback = tags[0] != 0;
    for (LONG k = 0; k < count; ++k) directions.push_back(ascending[k] ? 1 : -1);
    for (size_t i = 0; i < n; ++i) {
      rows[i].index = i;
      rows[i].first = ReadKey(items_[i], tags[0], fallback, arena);
      for (size_t k = 1; k < keys; ++k) later[i * (keys - 1) + k - 1] = ReadKey(items_[i], tags[k], fallback, arena);
    }
  }

  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    int c = CompareValues(a.first, b.first, arena) * directions[0];
    for (size_t k = 1; c == 0 && k < keys; ++k) {
      c = CompareValues(later[a.index * (keys - 1) + k - 1], later[b.index * (keys - 1) + k - 1], arena) * directions[k];
    }
    return c < 0;
  });
  std::vector<IMediaItem*> sorted;
  sorted.reserve(n);
  for (const Row& row : rows) sorted.push_back(items_[row.index]);
  items_.swap(sorted);
  Changed();
  return S_OK;
}
