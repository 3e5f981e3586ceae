// Sorting a media list by several tag keys, each ascending or descending, or by source. Each
// item's key values are read once up front, so the comparison is a strict order even when
// items change or values are odd (NaN), and the sort can never run out of bounds.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <variant>

#include "media_list.h"
#include "tag_value.h"
#include "wide_text.h"

namespace {

using KeyValue = std::variant<std::monostate, std::u16string, LONG, float, SYSTEMTIME>;

std::optional<std::u16string> ReadString(IMediaItem* item, DWORD id) {
  BSTR text = nullptr;
  if (FAILED(item->GetString(id, &text)) || !text) return std::nullopt;
  std::u16string value(text);
  SysFreeString(text);
  return value;
}

// Texts are folded once when read rather than in every comparison: ordering the folded texts
// gives the order of comparing the texts ignoring case.
std::u16string Folded(std::u16string text) {
  for (char16_t& c : text) c = zblib::FoldUpper(c);
  return text;
}

// Nothing (monostate) when the item has no readable value for the key.
KeyValue ReadKey(IMediaItem* item, DWORD key, bool albumArtistFallback) {
  switch ((key >> 16) & 0x800F) {
    case TAG_TYPE_STR: {
      auto text = ReadString(item, key);
      if (!text && key == TAG_ALBUM_ARTIST && albumArtistFallback) text = ReadString(item, TAG_ARTIST);
      if (text) return Folded(std::move(*text));
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
      return std::u16string();  // compares equal for every item
  }
}

int Sign(LONGLONG v) { return (v > 0) - (v < 0); }

int CompareValues(const KeyValue& a, const KeyValue& b) {
  const bool hasA = !std::holds_alternative<std::monostate>(a), hasB = !std::holds_alternative<std::monostate>(b);
  if (!hasA || !hasB) return static_cast<int>(hasA) - static_cast<int>(hasB);  // missing is lower
  if (const auto* text = std::get_if<std::u16string>(&a)) return Sign(text->compare(std::get<std::u16string>(b)));
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

}  // namespace

STDMETHODIMP CMediaList::Sort(const DWORD* tags, const DWORD* ascending, LONG count) {
  if (count < 0) return E_INVALIDARG;
  if (count > 0 && (!tags || !ascending)) return E_POINTER;
  for (LONG k = 0; k < count; ++k)
    if (!SortableKey(tags[k])) return E_FAIL;

  const size_t n = items_.size();
  std::vector<std::vector<KeyValue>> keys(n);
  std::vector<int> directions;
  if (count == 0) {
    directions.push_back(ascending && !ascending[0] ? -1 : 1);
    for (size_t i = 0; i < n; ++i) {
      BSTR source = nullptr;
      // An item without a source orders before every item with one.
      if (SUCCEEDED(items_[i]->GetSource(&source)) && source && *source) keys[i].emplace_back(Folded(source));
      else keys[i].emplace_back();
      SysFreeString(source);
    }
  } else {
    const bool fallback = tags[0] != 0;
    for (LONG k = 0; k < count; ++k) directions.push_back(ascending[k] ? 1 : -1);
    for (size_t i = 0; i < n; ++i)
      for (LONG k = 0; k < count; ++k) keys[i].push_back(ReadKey(items_[i], tags[k], fallback));
  }

  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    for (size_t k = 0; k < directions.size(); ++k) {
      int c = CompareValues(keys[a][k], keys[b][k]) * directions[k];
      if (c != 0) return c < 0;
    }
    return false;
  });
  std::vector<IMediaItem*> sorted;
  sorted.reserve(n);
  for (size_t i : order) sorted.push_back(items_[i]);
  items_.swap(sorted);
  Changed();
  return S_OK;
}
