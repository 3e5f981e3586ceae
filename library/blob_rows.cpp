// The blob_data rows behind blob values: finding the row that holds exactly some bytes (size and
// checksum only narrow the search; two different blobs may share both), inserting one, reading
// one back, and the trigger's news that a row goes.
#include <cstring>
#include <vector>

#include "blob_handles.h"
#include "media_library.h"
#include "tag_tables.h"

LONG CMediaLibrary::FindOrInsertBlob(const void* bytes, DWORD size, DWORD crc) {
  if (!bytes || size == 0) return 0;
  CLibraryLock lock(this);
  CSqlStatement* find = Statement(kStmtFindBlobs);
  CSqlStatement* insert = Statement(kStmtInsertBlobData);
  if (!find || !insert) return 0;
  find->BindInt(1, static_cast<int>(size));
  find->BindInt(2, static_cast<int>(crc));
  std::vector<LONG> candidates;
  for (CSqlQuery row = find->ExecQuery(); !row.Eof(); row.NextRow()) candidates.push_back(row.GetInt(0, 0));
  std::vector<BYTE> stored;
  for (LONG id : candidates) {
    if (ReadBlobRow(id, &stored) && stored.size() == size && std::memcmp(stored.data(), bytes, size) == 0) return id;
  }
  if (writeSuspended_) return 0;
  insert->BindBlob(1, bytes, static_cast<int>(size));
  insert->BindInt(2, static_cast<int>(size));
  insert->BindInt(3, static_cast<int>(crc));
  if (insert->Execute() <= 0) return 0;
  return static_cast<LONG>(db_->LastInsertRowId());
}

bool CMediaLibrary::ReadBlobRow(LONG blobId, std::vector<BYTE>* bytes) {
  CLibraryLock lock(this);
  CSqlStatement* read = Statement(kStmtReadBlob);
  if (!read || blobId <= 0) return false;
  read->BindInt(1, blobId);
  CSqlQuery row = read->ExecQuery();
  if (row.Eof()) return false;
  int size = 0;
  const auto* data = static_cast<const BYTE*>(row.GetBlob(0, &size));
  bytes->assign(data, data + (data ? size : 0));
  return true;
}

void CMediaLibrary::OnBlobRemoved(LONG blobId, const void* bytes, DWORD size, DWORD crc) {
  CLibraryBlobStore::Instance().OnBlobRemoved(this, blobId, bytes, size, crc);
}
