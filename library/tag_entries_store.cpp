// Storing a whole item. A new entry row is written beside the old one under a temporary source;
// the library's own values (play counts, ratings, dates of the kept tags) move over from the old
// row, then the old row goes and the new one takes the source, all in one transaction.
#include <algorithm>
#include <set>
#include <vector>

#include "media_item.h"
#include "media_library.h"
#include "tag_tables.h"
#include "tag_value.h"

namespace {

constexpr DWORD kFirstStoreDate = 0x00047918;
constexpr DWORD kLastStoreDate = 0x00047919;
constexpr DWORD kFileWriteDate = 0x000407D8;
constexpr DWORD kKeepList = 0x80027FFD;
constexpr DWORD kOverrideList = 0x80027FFE;
constexpr char16_t kTempMark[] = u"~TEMP~";

void AddListed(const CMediaItem& item, DWORD list, std::set<DWORD>* tags) {
  for (const CMediaItem::Entry& entry : item.Entries()) {
    if (entry.first.id == list) tags->insert(static_cast<DWORD>(entry.first.instance));
  }
}

}  // namespace

HRESULT CMediaLibrary::StoreEntry(IMediaItem* item) {
  if (!item) return E_FAIL;
  CMediaItem* entry = dynamic_cast<CMediaItem*>(item);
  CMediaItem* copy = nullptr;
  if (!entry) {
    copy = CreateMediaItem();
    if (!copy || FAILED(copy->CopyFrom(item, 0, -1, TRUE))) {
      if (copy) copy->Release();
      return E_FAIL;
    }
    entry = copy;
  }
  struct Releaser {
    CMediaItem* p;
    ~Releaser() {
      if (p) p->Release();
    }
  } releaseCopy{copy};

  const std::u16string source = entry->Source();
  if (source.empty()) return E_FAIL;
  CLibraryLock lock(this);
  if (!db_ || writeSuspended_) return E_FAIL;

  SYSTEMTIME now;
  GetTagClockTime(&now);
  BOOL hasFirstStore = FALSE;
  if (FAILED(entry->HasTag(kFirstStoreDate, &hasFirstStore)) || !hasFirstStore) entry->SetSystemTime(kFirstStoreDate, &now);
  entry->SetSystemTime(kLastStoreDate, &now);
  LONG failedNew = 0;
  if (FAILED(entry->GetInt(TAG_READ_FAILED, &failedNew))) failedNew = 0;

  db_->BeginTransaction();
  std::set<DWORD> kept = keptTags_;
  DWORD oldMid = 0;
  if (CSqlStatement* find = Cached(u"select mid from media where source=?;")) {
    find->BindText(1, source.c_str());
    CSqlQuery row = find->ExecQuery();
    if (!row.Eof()) oldMid = static_cast<DWORD>(row.GetInt(0, 0));
  }
  if (oldMid != 0) {
    const CTagValue failedOld = GetTagValue(oldMid, TAG_READ_FAILED, 0);
    if (failedNew != 0 && (failedOld.id != TAG_READ_FAILED || failedOld.integer == 0)) {
      // A file that could not be read never replaces a good entry.
      db_->CommitTransaction();
      return S_OK;
    }
    if (CSqlStatement* listed = Cached(u"select instance from int_tags where mid=? and tag=?;")) {
      listed->BindInt(1, static_cast<int>(oldMid));
      listed->BindInt(2, static_cast<int>(kKeepList));
      for (CSqlQuery row = listed->ExecQuery(); !row.Eof(); row.NextRow()) kept.insert(static_cast<DWORD>(row.GetInt(0, 0)));
    }
    AddListed(*entry, kKeepList, &kept);
  }

  const std::u16string rowSource = oldMid ? kTempMark + source + kTempMark : source;
  LONG size = 0;
  if (FAILED(entry->GetInt(TAG_SIZE, &size))) size = 0;
  FILETIME written{};
  if (FAILED(entry->GetFileTime(kFileWriteDate, &written))) written = FILETIME{};
  CSqlStatement* insert = Statement(kStmtInsertMedia);
  int inserted = -1;
  if (insert) {
    insert->BindText(1, rowSource.c_str());
    insert->BindInt(2, ScanPass() != 0 ? ScanMark() : 1);
    insert->BindInt(3, size);
    insert->BindInt(4, static_cast<int>(written.dwLowDateTime));
    insert->BindInt(5, static_cast<int>(written.dwHighDateTime));
    inserted = insert->Execute();
  }
  if (inserted <= 0) {
    db_->RollbackTransaction();
    return E_FAIL;
  }
  const DWORD newMid = db_->LastInsertRowId();

  if (oldMid == 0) {
    kept.clear();
  } else {
    kept.insert(kFirstStoreDate);
    std::set<DWORD> overriding = overridingTags_;
    std::vector<DWORD> order(kept.begin(), kept.end());
    std::sort(order.begin(), order.end(), [](DWORD a, DWORD b) { return static_cast<LONG>(a) < static_cast<LONG>(b); });
    for (DWORD tag : order) {
      int moved = 0;
      // Values staged in the temporary tables move too, or the flush would orphan them.
      for (LPCWSTR table : {TagTableName(tag), TempTagTableName(tag)}) {
        if (!table || !*table) continue;
        CSqlStatement* move = Cached(u"update " + std::u16string(table) + u" set mid=? where mid=? and tag=?;");
        if (!move) continue;
        move->BindInt(1, static_cast<int>(newMid));
        move->BindInt(2, static_cast<int>(oldMid));
        move->BindInt(3, static_cast<int>(tag));
        const int rows = move->Execute();
        if (rows > 0) moved += rows;
      }
      if (moved == 0) overriding.insert(tag);
    }
    AddListed(*entry, kOverrideList, &overriding);
    for (DWORD tag : overriding) kept.erase(tag);
  }

  for (const CMediaItem::Entry& e : entry->Entries()) {
    if (writeSuspended_) break;
    if (kept.count(e.first.id)) continue;
    CTagValue value = e.second;
    value.id = e.first.id;
    value.instance = static_cast<DWORD>(e.first.instance);
    SetTagValue(newMid, value, FALSE, nullptr);
  }

  if (oldMid != 0 && !writeSuspended_) {
    for (const char16_t* sql : {u"delete from media where mid=?;", u"delete from temp_int_tags where mid=?;",
                                u"delete from temp_real_tags where mid=?;", u"delete from temp_date_tags where mid=?;",
                                u"delete from temp_guid_tags where mid=?;"}) {
      if (CSqlStatement* remove = Cached(sql)) {
        remove->BindInt(1, static_cast<int>(oldMid));
        remove->Execute();
      }
    }
    if (CSqlStatement* rename = Cached(u"update media set source = ? where mid=?")) {
      rename->BindText(1, source.c_str());
      rename->BindInt(2, static_cast<int>(newMid));
      rename->Execute();
    }
  }

  if (writeSuspended_) {
    db_->RollbackTransaction();
    return E_FAIL;
  }
  if (db_->CommitTransaction() < 0) return E_FAIL;
  if (oldMid != 0) RaiseEvent(LIBEVENT_ITEMS_REMOVED, source.c_str(), nullptr);
  if (!listeners_[LIBEVENT_ITEM_ADDED].empty()) {
    LIBEVENTINFO info{};
    info.size = sizeof info;
    info.item = entry;
    entry->AddRef();
    RaiseEvent(LIBEVENT_ITEM_ADDED, source.c_str(), &info);
    entry->Release();
  }
  return S_OK;
}
