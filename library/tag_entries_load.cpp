// Reading whole entries: the source and every tag row of the entry, table by table, into a
// detached item. A row whose value cannot take its tag's type is left out.
#include "media_item.h"
#include "media_library.h"
#include "tag_rows.h"
#include "tag_tables.h"

namespace {

struct EntryQuery {
  DWORD type;
  const char16_t* sql;
};

constexpr EntryQuery kEntryQueries[] = {
    {TAG_TYPE_INT, u"select tag, instance, value from int_tags where mid=?;"},
    {TAG_TYPE_REAL, u"select tag, instance, value from real_tags where mid=?;"},
    {TAG_TYPE_GUID, u"select tag, instance, value from guid_tags where mid=?;"},
    {TAG_TYPE_DATE, u"select tag, instance, svalue from date_tags where mid=?;"},
    {TAG_TYPE_STR,
     u"select tag, instance, value from str_tags inner join str_data ON str_tags.strid=str_data.strid where mid=?;"},
    {TAG_TYPE_BLOB,
     u"select tag, instance, blob_tags.blobid, bsize from blob_tags inner join blob_data ON "
     u"blob_tags.blobid=blob_data.blobid where mid=?;"},
};

}  // namespace

HRESULT CMediaLibrary::LoadEntry(DWORD mid, IMediaItem* item) {
  auto* target = dynamic_cast<CMediaItem*>(item);
  if (!target) return E_POINTER;
  CLibraryLock lock(this);
  CSqlStatement* find = Cached(u"select source, valid from media where mid=?;");
  if (!find) return E_FAIL;
  find->BindInt(1, static_cast<int>(mid));
  {
    CSqlQuery row = find->ExecQuery();
    if (row.Eof()) return E_FAIL;
    target->SetSource(row.GetText(0, u""));
  }
  for (const EntryQuery& query : kEntryQueries) {
    CSqlStatement* select = Cached(query.sql);
    if (!select) continue;
    select->BindInt(1, static_cast<int>(mid));
    for (CSqlQuery row = select->ExecQuery(); !row.Eof(); row.NextRow()) {
      CTagValue value;
      if (ReadTagRow(this, query.type, row, &value)) target->SetEntry(value.id, value.instance, value);
    }
  }
  return S_OK;
}

HRESULT CMediaLibrary::LoadItem(LPCWSTR source, IMediaItem* item) {
  auto* target = dynamic_cast<CMediaItem*>(item);
  if (!source || !target) return E_POINTER;
  target->Reset();
  CLibraryLock lock(this);
  CSqlStatement* find = Statement(kStmtFindMedia);
  if (!find) return E_FAIL;
  find->BindText(1, source);
  DWORD mid = 0;
  {
    CSqlQuery row = find->ExecQuery();
    if (row.Eof()) return E_FAIL;
    mid = static_cast<DWORD>(row.GetInt(0, 0));
  }
  return LoadEntry(mid, target);
}
