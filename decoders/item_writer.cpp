// One read's writes into an item (see item_writer.h). Appended text is held for single-valued text
// tags only, where the item keeps exactly the text it is given, trimmed; other tags convert what
// they are given, so their values go to the item one by one as before (they are short).
#include "item_writer.h"

#include "item_instances.h"

namespace {

bool HeldAsText(DWORD tag) { return TAG_TYPE(tag) == TAG_TYPE_STR && !TAG_IS_MULTI(tag) && TAG_NUMBER(tag) != 0; }

bool ReadText(IMediaItem* item, DWORD tag, std::u16string* text) {
  BSTR value = nullptr;
  if (FAILED(item->GetString(tag, &value)) || !value) return false;
  text->assign(value);
  SysFreeString(value);
  return true;
}

// The text as the item stores it: without white space at either end.
std::u16string_view Trimmed(std::u16string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && iswspace(text[begin])) ++begin;
  while (end > begin && iswspace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

IMediaItem* ItemWriter::For(DWORD tag) {
  auto it = joined_.find(tag);
  if (it != joined_.end()) {
    Write(tag, it->second);
    joined_.erase(it);
  }
  return item_;
}

bool ItemWriter::Allow(DWORD tag) { return ++values_[tag] <= kMaxValuesPerTag; }

DWORD ItemWriter::FreeInstance(DWORD tag, DWORD from) {
  if (!Allow(tag)) return kNoInstance;
  DWORD& reached = searched_.try_emplace({tag, from}, from).first->second;
  reached = FirstFreeInstance(item_, tag, reached);
  return reached;
}

void ItemWriter::KeepInGenreCollection(const std::u16string& old, const std::u16string& text) {
  BOOL present = FALSE;
  item_->HasInstance(TAG_GENRE_COLLECTION, 0, &present);
  if (!present) SetInstanceText(item_, TAG_GENRE_COLLECTION, 0, old);
  const DWORD n = FreeInstance(TAG_GENRE_COLLECTION);
  if (n != kNoInstance) SetInstanceText(item_, TAG_GENRE_COLLECTION, n, text);
}

HRESULT ItemWriter::AppendText(DWORD tag, const std::u16string& text, std::u16string_view separator) {
  if (!Allow(tag)) return S_OK;
  if (!HeldAsText(tag)) return AppendToItem(tag, text, separator);
  auto [it, fresh] = joined_.try_emplace(tag);
  Joined& j = it->second;
  if (fresh) j.present = ReadText(item_, tag, &j.text);
  const std::u16string_view trimmed = Trimmed(text);
  if (!j.present) {
    if (trimmed.empty()) return E_FAIL;
    j.text.assign(trimmed);
    j.present = j.changed = true;
    return S_OK;
  }
  if (j.text == text) return S_OK;
  bool restart = false;
  if (tag == TAG_GENRE) {
    KeepInGenreCollection(j.text, text);
    restart = j.text.size() == 5 && _wcsicmp(j.text.c_str(), u"Other") == 0;  // not a walk of the whole text
  }
  if (restart) {
    // Joined with nothing, the text stands alone; the item refuses one that is only blanks.
    if (!trimmed.empty()) j.text.assign(trimmed), j.changed = true;
    return S_OK;
  }
  if (text.empty()) return S_OK;
  j.text.append(separator).append(text);
  j.text.resize(Trimmed(j.text).size());  // its start is trimmed already
  j.changed = true;
  return S_OK;
}

HRESULT ItemWriter::AppendToItem(DWORD tag, const std::u16string& text, std::u16string_view separator) {
  std::u16string old;
  if (!ReadText(item_, tag, &old)) return item_->SetString(tag, text.c_str());
  if (old == text) return S_OK;
  const std::u16string joined = old.empty() || text.empty() ? old + text : old + std::u16string(separator) + text;
  if (FAILED(item_->SetString(tag, joined.c_str()))) item_->SetString(tag, text.c_str());
  return S_OK;
}

void ItemWriter::Write(DWORD tag, Joined& joined) {
  if (joined.changed) item_->SetString(tag, joined.text.c_str());
  joined.changed = false;
}

void ItemWriter::Flush() {
  for (auto& [tag, joined] : joined_) Write(tag, joined);
}
