// Tag storage, one value at a time: writing a value into the table of its type (strings and
// blobs as shared rows with reference counts), reading one back, deleting tags, counting them,
// and the events and notifications that follow a change.
#include <cstring>

#include "blob_handles.h"
#include "media_library.h"
#include "tag_rows.h"
#include "tag_tables.h"
#include "tag_value.h"

namespace {

void BindKey(CSqlStatement& s, DWORD mid, DWORD tag, DWORD instance) {
  s.BindInt(1, static_cast<int>(mid));
  s.BindInt(2, static_cast<int>(tag));
  s.BindInt(3, static_cast<int>(instance));
}

std::u16string SourceOf(IMediaItem* item) {
  BSTR source = nullptr;
  if (!item || FAILED(item->GetSource(&source)) || !source) return {};
  std::u16string text(source);
  SysFreeString(source);
  return text;
}

}  // namespace

bool CMediaLibrary::Listens(DWORD event, DWORD tag) {
  for (const Listener& listener : listeners_[event]) {
    if (listener.tagFilter == 0 || listener.tagFilter == tag) return true;
  }
  return false;
}

void CMediaLibrary::RaiseTagEvent(DWORD mid, IMediaItem* item, DWORD kind, DWORD tag, DWORD instance,
                                  DWORD blobSize) {
  if (!Listens(LIBEVENT_TAGS_CHANGED, tag)) return;
  LIBEVENTINFO info{};
  info.size = sizeof info;
  info.kind = kind;
  info.tag = tag;
  info.instance = instance;
  info.blobSize = blobSize;
  const std::u16string source = item ? SourceOf(item) : GetSourceByMid(mid);
  RaiseEvent(LIBEVENT_TAGS_CHANGED, source.c_str(), &info);
}

// The statements of one value; S_OK when every one of them went through.
HRESULT CMediaLibrary::WriteValue(DWORD mid, const CTagValue& value) {
  const DWORD tag = value.id;
  const DWORD type = TAG_TYPE(tag);
  auto ran = [](int rc) { return rc >= 0; };
  switch (type) {
    case TAG_TYPE_STR: {
      CSqlStatement* find = Statement(kStmtFindStr);
      CSqlStatement* insertData = Statement(kStmtInsertStrData);
      CSqlStatement* remove = Statement(kStmtDeleteStrTag);
      CSqlStatement* insert = Statement(kStmtInsertStrTag);
      if (!find || !insertData || !remove || !insert || value.text.empty()) return E_FAIL;
      const int length = static_cast<int>(value.text.size());
      LONG strid = 0;
      find->BindInt(1, length);
      find->BindText(2, value.text.c_str());
      {
        CSqlQuery row = find->ExecQuery();
        if (!row.Eof()) strid = row.GetInt(0, 0);
      }
      if (strid == 0) {
        insertData->BindText(1, value.text.c_str());
        insertData->BindInt(2, length);
        if (insertData->Execute() <= 0) return E_FAIL;
        strid = static_cast<LONG>(db_->LastInsertRowId());
      }
      BindKey(*remove, mid, tag, value.instance);
      if (!ran(remove->Execute())) return E_FAIL;
      BindKey(*insert, mid, tag, value.instance);
      insert->BindInt(4, strid);
      if (insert->Execute() <= 0) return E_FAIL;
      if (Listens(LIBEVENT_VALUE_ADDED, tag)) {
        CSqlStatement* count = Statement(kStmtCountStrUses);
        if (count) {
          count->BindInt(1, static_cast<int>(tag));
          count->BindInt(2, strid);
          CSqlQuery uses = count->ExecQuery();
          const bool first = !uses.Eof() && uses.GetInt(0, 0) == 1;
          uses.Finalize();
          if (first) {
            LIBEVENTINFO info{};
            info.size = sizeof info;
            info.tag = tag;
            info.instance = value.instance;
            info.valueText = value.text.c_str();
            RaiseEvent(LIBEVENT_VALUE_ADDED, u"", &info);
          }
        }
      }
      return S_OK;
    }
    case TAG_TYPE_BLOB: {
      const CBlobRef* blob = value.Blob();
      CSqlStatement* remove = Statement(kStmtDeleteBlobTag);
      CSqlStatement* insert = Statement(kStmtInsertBlobTag);
      if (!blob || !remove || !insert) return E_FAIL;
      const LONG blobId = CLibraryBlobStore::Instance().GetBlobId(this, *blob);
      if (blobId <= 0) return E_FAIL;
      BindKey(*remove, mid, tag, value.instance);
      if (!ran(remove->Execute())) return E_FAIL;
      BindKey(*insert, mid, tag, value.instance);
      insert->BindInt(4, blobId);
      return insert->Execute() > 0 ? S_OK : E_FAIL;
    }
    case TAG_TYPE_INT:
    case TAG_TYPE_REAL:
    case TAG_TYPE_DATE:
    case TAG_TYPE_GUID: {
      CSqlStatement* insert = Statement(InsertStatementFor(type, (mode_ & LIBMODE_TEMP_TAGS) != 0));
      if (!insert) return E_FAIL;
      BindKey(*insert, mid, tag, value.instance);
      if (type == TAG_TYPE_INT) {
        insert->BindInt(4, value.integer);
      } else if (type == TAG_TYPE_REAL) {
        insert->BindDouble(4, static_cast<double>(value.real));
      } else if (type == TAG_TYPE_GUID) {
        insert->BindBlob(4, &value.guid, sizeof value.guid);
      } else {
        std::u16string text;
        if (FAILED(value.ToText(&text)) || text.empty()) return E_FAIL;
        insert->BindText(4, FullDateValue(text).c_str());
        insert->BindText(5, text.c_str());
      }
      return insert->Execute() > 0 ? S_OK : E_FAIL;
    }
    default:
      return E_FAIL;
  }
}

HRESULT CMediaLibrary::SetTagValue(DWORD mid, const CTagValue& value, BOOL notify, IMediaItem* item) {
  HRESULT written;
  {
    CLibraryLock lock(this);
    if (!db_ || writeSuspended_ || mid == 0) return E_FAIL;
    written = WriteValue(mid, value);
    // A failure that suspended writing during the statements counts as not written.
    if (writeSuspended_) written = E_FAIL;
  }
  if (FAILED(written)) return written;
  NotifyItemsOfRow(mid, item);
  if (notify) {
    CLibraryLock lock(this);
    RaiseTagEvent(mid, item, 0, value.id, value.instance, 0);
  }
  return S_OK;
}

CTagValue CMediaLibrary::GetTagValue(DWORD mid, DWORD tag, DWORD instance) {
  CTagValue value;
  CLibraryLock lock(this);
  CSqlStatement* select = Statement(SelectStatementFor(TAG_TYPE(tag)));
  if (!select) return value;
  BindKey(*select, mid, tag, instance);
  CSqlQuery row = select->ExecQuery();
  if (row.Eof() || !ReadTagRow(this, TAG_TYPE(tag), row, &value) || value.id != tag) value = CTagValue();
  return value;
}

HRESULT CMediaLibrary::DeleteTag(DWORD mid, DWORD tag, DWORD instance, IMediaItem* item) {
  {
    CLibraryLock lock(this);
    const std::u16string table = TagTableName(tag);
    if (!db_ || writeSuspended_ || table.empty()) return E_FAIL;
    const bool multi = TAG_IS_MULTI(tag);
    const std::u16string where = multi ? u" where mid=? and tag=?  and instance=? ;" : u" where mid=? and tag=? ;";
    db_->BeginTransaction();
    int rows = 0;
    // A value staged in the temporary table would come back at the flush: it goes as well.
    for (LPCWSTR name : {table.c_str(), TempTagTableName(tag)}) {
      if (!name) continue;
      CSqlStatement* remove = Cached(u"delete from " + std::u16string(name) + where);
      if (!remove) continue;
      BindKey(*remove, mid, tag, instance);
      const int changed = remove->Execute();
      rows = changed < 0 ? changed : (rows < 0 ? rows : rows + changed);
    }
    if (db_->CommitTransaction() < 0 || rows < 0) return E_FAIL;
  }
  NotifyItemsOfRow(mid, item);
  CLibraryLock lock(this);
  RaiseTagEvent(mid, item, 1, tag, instance, 0);
  return S_OK;
}

HRESULT CMediaLibrary::DeleteEntryTags(DWORD mid, IMediaItem* item) {
  static constexpr const char16_t* kTables[] = {u"int_tags",      u"real_tags",      u"date_tags",
                                                u"guid_tags",     u"str_tags",       u"blob_tags",
                                                u"temp_int_tags", u"temp_real_tags", u"temp_date_tags",
                                                u"temp_guid_tags"};
  {
    CLibraryLock lock(this);
    if (!db_ || writeSuspended_) return E_FAIL;
    db_->BeginTransaction();
    bool failed = false;
    for (const char16_t* table : kTables) {
      CSqlStatement* remove = Cached(u"delete from " + std::u16string(table) + u" where mid=?;");
      if (!remove) continue;
      remove->BindInt(1, static_cast<int>(mid));
      failed = remove->Execute() < 0 || failed;
    }
    if (db_->CommitTransaction() < 0 || failed) return E_FAIL;
  }
  NotifyItemsOfRow(mid, item);
  CLibraryLock lock(this);
  if (!listeners_[LIBEVENT_TAGS_CHANGED].empty()) {
    const std::u16string source = item ? SourceOf(item) : GetSourceByMid(mid);
    RaiseEvent(LIBEVENT_TAGS_CHANGED, source.c_str(), nullptr);
  }
  return S_OK;
}

HRESULT CMediaLibrary::CountTags(DWORD mid, DWORD* count) {
  if (!count) return E_POINTER;
  *count = 0;
  CLibraryLock lock(this);
  CSqlStatement* select = Statement(kStmtCountTags);
  if (!select || mid == 0) return E_FAIL;
  for (int i = 1; i <= 6; ++i) select->BindInt(i, static_cast<int>(mid));
  CSqlQuery row = select->ExecQuery();
  if (row.Eof()) return E_FAIL;
  *count = static_cast<DWORD>(row.GetInt(0, 0));
  return S_OK;
}
