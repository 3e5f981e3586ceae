// Where each value type of a tag is stored: its table, the temporary table that stages frequent
// writes, and the prepared statements of tag storage by slot.
#pragma once
#include <windows.h>

// The table of the tag's type; empty for a type without one.
LPCWSTR TagTableName(DWORD tag);
// The staging table of the tag's type; null for strings, blobs and unknown types.
LPCWSTR TempTagTableName(DWORD tag);

// Slots of the prepared statements (1 to 40).
enum TagStatement : int {
  kStmtInsertMedia = 1,
  kStmtInsertInt = 4,
  kStmtInsertReal = 5,
  kStmtInsertDate = 6,
  kStmtInsertGuid = 7,
  kStmtInsertStrTag = 8,
  kStmtInsertBlobTag = 9,
  kStmtDeleteStrTag = 10,
  kStmtDeleteBlobTag = 11,
  kStmtInsertStrData = 12,
  kStmtInsertBlobData = 13,
  kStmtInsertTempInt = 14,
  kStmtSelectInt = 22,
  kStmtSelectStr = 26,
  kStmtSelectBlob = 27,
  kStmtFindMedia = 28,
  kStmtFindStr = 29,
  kStmtCountStrUses = 30,
  kStmtFindBlobs = 31,
  kStmtReadBlob = 32,
  kStmtCountTags = 33,
  kStmtInsertZeroBlob = 34,
};

// The SQL text of a slot, null for an empty one.
const char16_t* TagStatementText(int slot);
// The slot of the insert (or temporary insert) and the single select for a value type.
int InsertStatementFor(DWORD type, bool temp);
int SelectStatementFor(DWORD type);
