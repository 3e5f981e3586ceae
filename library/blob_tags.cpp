// Blob tags written and read through streams: a new zero-filled blob row of the final size that
// the caller fills, or an existing row read in place. The stream keeps the library locked and
// its transaction open; its release settles the row and tells the entry's items and listeners.
#include <new>

#include "blob_stream.h"
#include "media_library.h"
#include "tag_tables.h"

LONG CMediaLibrary::OpenBlobStream(LONG blobId, IStream** stream, DWORD size, DWORD mid, DWORD tag, DWORD instance) {
  return OpenBlobStream(blobId, stream, size, mid, tag, instance, nullptr);
}

LONG CMediaLibrary::OpenBlobStream(LONG blobId, IStream** stream, DWORD size, DWORD mid, DWORD tag, DWORD instance,
                                   const std::function<bool(LONG)>& bind) {
  if (!stream) return 0;
  *stream = nullptr;
  Lock();  // kept by the stream on success
  bool ok = db_ != nullptr;
  const bool began = ok;
  const bool isNew = blobId == 0;
  if (began) db_->BeginTransaction();
  if (ok && isNew) {
    CSqlStatement* insert = Statement(kStmtInsertZeroBlob);
    ok = insert && size > 0 && size <= 0x7FFFFFFFu && !writeSuspended_;
    if (ok) {
      insert->BindInt(1, static_cast<int>(size));
      ok = insert->Execute() > 0;
    }
    if (ok) blobId = static_cast<LONG>(db_->LastInsertRowId());
    if (ok && bind) ok = bind(blobId);
  }
  std::unique_ptr<CSqlBlob> blob;
  if (ok) blob = db_->OpenBlob("blob_data", "value", blobId, isNew);
  CBlobStream* made = blob ? new (std::nothrow) CBlobStream(this, std::move(blob), isNew, mid, tag, instance) : nullptr;
  if (!made) {
    // The new row goes again by hand: a rollback would undo an enclosing batch too.
    if (isNew && blobId > 0 && db_) {
      for (const char16_t* sql : {u"delete from blob_tags where blobid=?;", u"delete from blob_data where blobid=?;"}) {
        if (CSqlStatement* remove = Cached(sql)) {
          remove->BindInt(1, blobId);
          remove->Execute();
        }
      }
    }
    if (began && db_) db_->CommitTransaction();
    Unlock();
    return 0;
  }
  *stream = made;
  return blobId;
}

void CMediaLibrary::CloseBlobStream(LONG blobId, bool written, DWORD size, DWORD crc, DWORD mid, DWORD tag,
                                    DWORD instance) {
  CLibraryLock lock(this);
  if (!db_) return;
  if (written) {
    if (CSqlStatement* settle = Cached(u"update blob_data set bsize = ?, bcrc = ? where blobid=?;")) {
      settle->BindInt(1, static_cast<int>(size));
      settle->BindInt(2, static_cast<int>(crc));
      settle->BindInt(3, blobId);
      settle->Execute();
    }
  }
  db_->CommitTransaction();
  if (!written) return;
  NotifyItemsOfRow(mid, nullptr);
  RaiseTagEvent(mid, nullptr, 0, tag, instance, size);
}

HRESULT CMediaLibrary::CreateBlobTag(DWORD mid, DWORD tag, DWORD instance, IStream** stream, DWORD size,
                                     IMediaItem* item) {
  if (TAG_TYPE(tag) != TAG_TYPE_BLOB) return E_INVALIDARG;
  if (!stream) return E_FAIL;
  *stream = nullptr;
  CLibraryLock lock(this);
  if (!db_ || mid == 0) return E_FAIL;
  // The entry's row for the tag points at the new blob before the stream opens it.
  auto bind = [&](LONG blobId) {
    CSqlStatement* remove = Statement(kStmtDeleteBlobTag);
    CSqlStatement* insert = Statement(kStmtInsertBlobTag);
    if (!remove || !insert) return false;
    for (CSqlStatement* s : {remove, insert}) {
      s->BindInt(1, static_cast<int>(mid));
      s->BindInt(2, static_cast<int>(tag));
      s->BindInt(3, static_cast<int>(instance));
    }
    insert->BindInt(4, blobId);
    return remove->Execute() >= 0 && insert->Execute() > 0;
  };
  IStream* made = nullptr;
  if (OpenBlobStream(0, &made, size, mid, tag, instance, bind) <= 0 || !made) return E_FAIL;
  RaiseTagEvent(mid, item, 0, tag, instance, 0);
  *stream = made;
  return S_OK;
}

HRESULT CMediaLibrary::OpenBlobTag(DWORD mid, DWORD tag, DWORD instance, IStream** stream) {
  if (TAG_TYPE(tag) != TAG_TYPE_BLOB) return E_INVALIDARG;
  if (!stream) return E_FAIL;
  *stream = nullptr;
  CLibraryLock lock(this);
  CSqlStatement* select = Statement(kStmtSelectBlob);
  if (!select) return E_FAIL;
  select->BindInt(1, static_cast<int>(mid));
  select->BindInt(2, static_cast<int>(tag));
  select->BindInt(3, static_cast<int>(instance));
  LONG blobId = 0;
  {
    CSqlQuery row = select->ExecQuery();
    if (!row.Eof()) blobId = row.GetInt(2, 0);
  }
  if (blobId <= 0) return E_FAIL;
  return OpenBlobStream(blobId, stream, 0, mid, tag, instance) > 0 ? S_OK : E_FAIL;
}
