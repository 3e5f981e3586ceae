// The type-to-table map and the text of every prepared statement of tag storage, by slot.
#include "tag_tables.h"

#include "tagids.h"

namespace {

struct TableRow {
  DWORD type;
  LPCWSTR table;
  LPCWSTR temp;
  int insert;
  int tempInsert;
  int select;
};

constexpr TableRow kTables[] = {
    {TAG_TYPE_STR, u"str_tags", nullptr, kStmtInsertStrTag, 0, 26},
    {TAG_TYPE_INT, u"int_tags", u"temp_int_tags", 4, 14, 22},
    {TAG_TYPE_REAL, u"real_tags", u"temp_real_tags", 5, 15, 23},
    {TAG_TYPE_DATE, u"date_tags", u"temp_date_tags", 6, 16, 24},
    {TAG_TYPE_BLOB, u"blob_tags", nullptr, kStmtInsertBlobTag, 0, 27},
    {TAG_TYPE_GUID, u"guid_tags", u"temp_guid_tags", 7, 17, 25},
};

const TableRow* RowFor(DWORD tag) {
  for (const TableRow& row : kTables) {
    if (row.type == TAG_TYPE(tag)) return &row;
  }
  return nullptr;
}

struct StatementRow {
  int slot;
  const char16_t* sql;
};

constexpr StatementRow kStatements[] = {
    {1, u"insert into media values (NULL, ?, ?, ?, ?, ?, datetime('now'));"},
    {2, u"update media set valid = ?, lastdate=datetime('now') where source=?"},
    {3, u"update media set valid = 0 where source=? AND valid > 0"},
    {4, u"insert or replace into int_tags values (?, ?, ?, ?);"},
    {5, u"insert or replace into real_tags values (?, ?, ?, ?);"},
    {6, u"insert or replace into date_tags values (?, ?, ?, ?, ?);"},
    {7, u"insert or replace into guid_tags values (?, ?, ?, ?);"},
    {8, u"insert into str_tags values (?, ?, ?, ?);"},
    {9, u"insert into blob_tags values (?, ?, ?, ?);"},
    {10, u"delete from str_tags where mid=? and tag=? and instance=?;"},
    {11, u"delete from blob_tags where mid=? and tag=? and instance=?;"},
    {12, u"insert into str_data (value, slen, refcnt) values (?, ?, 0);"},
    {13, u"insert into blob_data (value, bsize, bcrc, refcnt) values (?, ?, ?, 0);"},
    {14, u"insert or replace into temp_int_tags values (?, ?, ?, ?);"},
    {15, u"insert or replace into temp_real_tags values (?, ?, ?, ?);"},
    {16, u"insert or replace into temp_date_tags values (?, ?, ?, ?, ?);"},
    {17, u"insert or replace into temp_guid_tags values (?, ?, ?, ?);"},
    {20, u"update media set valid = ?, lastdate=datetime('now') where WSTARTSWITH(source, ?)"},
    {21, u"update media set valid = 0 where WSTARTSWITH(source, ?) AND valid > 0"},
    {22, u"select tag, instance, value from int_tags where mid=? and tag=? and instance=?;"},
    {23, u"select tag, instance, value from real_tags where mid=? and tag=? and instance=?;"},
    {24, u"select tag, instance, svalue from date_tags where mid=? and tag=? and instance=?;"},
    {25, u"select tag, instance, value from guid_tags where mid=? and tag=? and instance=?;"},
    {26, u"select tag, instance, value from str_tags inner join str_data ON str_tags.strid=str_data.strid where mid=? and "
         u"tag=? and instance=?;"},
    {27, u"select tag, instance, blob_tags.blobid, bsize from blob_tags inner join blob_data ON "
         u"blob_tags.blobid=blob_data.blobid where mid=? and tag=? and instance=?;"},
    {28, u"select mid, filesize, filedatelow, filedatehigh from media where source=?;"},
    {29, u"select strid from str_data where slen=? and value=?;"},
    {30, u"select count(*) from str_tags where tag=? and strid=?;"},
    // Every row of the size and checksum: the bytes decide which one, if any, is the same blob.
    {31, u"select blobid from blob_data WHERE blob_data.bsize=? AND blob_data.bcrc=?;"},
    {32, u"select value, bsize from blob_data WHERE blob_data.blobid=?;"},
    {33, u"select sum(subtotal) from (select count(*) as subtotal from int_tags where mid=? union all select count(*) "
         u"as subtotal from real_tags where mid=? union all select count(*) as subtotal from date_tags where mid=? union "
         u"all select count(*) as subtotal from guid_tags where mid=? union all select count(*) as subtotal from "
         u"str_tags where mid=? union all select count(*) as subtotal from blob_tags where mid=?);"},
    {34, u"insert into blob_data (value, bsize, bcrc, refcnt) values (zeroblob(?), 0, 0, 0);"},
};

}  // namespace

LPCWSTR TagTableName(DWORD tag) {
  const TableRow* row = RowFor(tag);
  return row ? row->table : u"";
}

LPCWSTR TempTagTableName(DWORD tag) {
  const TableRow* row = RowFor(tag);
  return row ? row->temp : nullptr;
}

const char16_t* TagStatementText(int slot) {
  for (const StatementRow& row : kStatements) {
    if (row.slot == slot) return row.sql;
  }
  return nullptr;
}

int InsertStatementFor(DWORD type, bool temp) {
  const TableRow* row = RowFor(TAG_ID(0, type));
  if (!row) return 0;
  return temp && row->tempInsert ? row->tempInsert : row->insert;
}

int SelectStatementFor(DWORD type) {
  const TableRow* row = RowFor(TAG_ID(0, type));
  return row ? row->select : 0;
}
