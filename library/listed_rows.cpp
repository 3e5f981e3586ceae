// CListedRows: a query's rows as text, and the items made from them on demand.
#include "listed_rows.h"

#include <algorithm>
#include <cstring>

#include "media_library.h"
#include "tagids.h"
#include "wide_text.h"

// What precedes a row's texts in its block.
struct CListedRows::Header {
  DWORD mid;
  DWORD sourceLength;
  DWORD textLength;
  BYTE sourceWide;
  BYTE hasText;
  BYTE textWide;
};

namespace {

constexpr size_t kBlockBytes = 256 * 1024;

size_t Bytes(const ListedText& text) { return text.data ? text.length * (text.wide ? 2 : 1) : 0; }

void Widen(const char* data, size_t length, bool wide, std::u16string* out) {
  if (wide) {
    out->resize(length);
    std::memcpy(out->data(), data, length * sizeof(char16_t));
  } else {
    out->assign(data, data + length);
  }
}

}  // namespace

CListedRows::CListedRows(CMediaLibrary* library, DWORD tag)
    : library_(library), tag_(tag), changes_(library->RowChanges()) {
  library_->AddRef();
}

CListedRows::~CListedRows() { library_->Release(); }

size_t CListedRows::Add(DWORD mid, const ListedText& source, const ListedText& text) {
  const size_t size = sizeof(Header) + Bytes(source) + Bytes(text);
  if (blocks_.empty() || used_ + size > room_) {
    room_ = std::max(kBlockBytes, size);
    blocks_.push_back(std::make_unique<char[]>(room_));
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  const Header header{mid,
                      static_cast<DWORD>(source.length),
                      static_cast<DWORD>(text.data ? text.length : 0),
                      static_cast<BYTE>(source.wide),
                      static_cast<BYTE>(text.data != nullptr),
                      static_cast<BYTE>(text.wide)};
  std::memcpy(at, &header, sizeof header);
  std::memcpy(at + sizeof header, source.data, Bytes(source));
  if (text.data) std::memcpy(at + sizeof header + Bytes(source), text.data, Bytes(text));
  const size_t row = (blocks_.size() - 1) * kBlockBytes * 2 + used_;  // block and offset in one key
  used_ += size;
  return row;
}

const char* CListedRows::At(size_t row) const {
  return blocks_[row / (kBlockBytes * 2)].get() + row % (kBlockBytes * 2);
}

void CListedRows::Source(size_t row, std::u16string* source) const {
  Header h;
  std::memcpy(&h, At(row), sizeof h);
  Widen(At(row) + sizeof h, h.sourceLength, h.sourceWide, source);
}

bool CListedRows::Fresh() const { return library_->RowChanges() == changes_; }

bool CListedRows::Text(size_t row, DWORD id, std::u16string* text) const {
  Header h;
  std::memcpy(&h, At(row), sizeof h);
  if (id != tag_ || TAG_TYPE(id) != TAG_TYPE_STR || TAG_IS_MULTI(id) || !h.hasText || !Fresh()) return false;
  Widen(At(row) + sizeof h + h.sourceLength * (h.sourceWide ? 2 : 1), h.textLength, h.textWide, text);
  // As the item stores a text it is given: trimmed, and nothing when nothing is left.
  const std::u16string_view trimmed = zblib::Trim(*text);
  if (trimmed.size() != text->size()) *text = std::u16string(trimmed);
  return !text->empty();
}

IMediaItem* CListedRows::MakeItem(size_t row) const {
  Header h;
  std::memcpy(&h, At(row), sizeof h);
  const bool preset = h.hasText && Fresh();
  std::u16string source, text;
  Widen(At(row) + sizeof h, h.sourceLength, h.sourceWide, &source);
  if (preset) Widen(At(row) + sizeof h + h.sourceLength * (h.sourceWide ? 2 : 1), h.textLength, h.textWide, &text);
  return library_->OpenListedItem(h.mid, source.c_str(), tag_, preset ? text.c_str() : nullptr);
}
