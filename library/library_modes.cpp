// The mode word: each bit set or cleared begins or ends a batch of writes (a transaction), tells
// the Local Content scan whether the library is available, or flushes the temporary tags.
#include "media_library.h"

namespace {

// The order in which changed bits are acted on.
constexpr DWORD kBitOrder[] = {LIBMODE_HOLD, LIBMODE_PLAYLIST, LIBMODE_SCAN, LIBMODE_SUSPENDED, LIBMODE_TEMP_TAGS,
                               LIBMODE_BULK, LIBMODE_BUSY};

constexpr const char* kFlush[] = {
    "insert or replace into int_tags select * from temp_int_tags;",
    "insert or replace into real_tags select * from temp_real_tags;",
    "insert or replace into date_tags select * from temp_date_tags;",
    "insert or replace into guid_tags select * from temp_guid_tags;",
    "delete from temp_int_tags;",
    "delete from temp_real_tags;",
    "delete from temp_date_tags;",
    "delete from temp_guid_tags;",
};

HRESULT Committed(int rc) { return rc < 0 ? E_FAIL : S_OK; }

}  // namespace

HRESULT CMediaLibrary::ChangeMode(DWORD set, DWORD clear) {
  CLibraryLock lock(this);
  if (!db_) return S_OK;
  const DWORD newMode = (mode_ & ~clear) | set;
  const DWORD changed = newMode ^ mode_;
  HRESULT result = S_OK;
  for (DWORD bit : kBitOrder) {
    if (!(changed & bit)) continue;
    if (FAILED(ApplyModeBit(bit, (newMode & bit) != 0, newMode))) result = E_FAIL;
  }
  return result;
}

// Acts on one changed bit and stores it; bits stored by calls nested in here (an error that
// suspends writing) are kept.
HRESULT CMediaLibrary::ApplyModeBit(DWORD bit, bool on, DWORD newMode) {
  HRESULT result = S_OK;
  const bool suspendedAfter = (newMode & LIBMODE_SUSPENDED) != 0;
  const bool holdAfter = (newMode & LIBMODE_HOLD) != 0;
  switch (bit) {
    case LIBMODE_HOLD:
      if (on) {
        db_->BeginTransaction();
        if (!suspendedAfter && scanSink_) scanSink_->OnLibraryUnavailable();
      } else {
        result = Committed(db_->CommitTransaction());
        if (!suspendedAfter && scanSink_) scanSink_->OnLibraryAvailable();
      }
      break;
    case LIBMODE_SUSPENDED:
      if (!holdAfter && scanSink_) {
        if (on) scanSink_->OnLibraryUnavailable();
        else scanSink_->OnLibraryAvailable();
      }
      break;
    case LIBMODE_TEMP_TAGS:
      if (on) {
        if (writeSuspended_) return S_OK;  // no batch to stage into while writes are off
        db_->BeginTransaction();
      } else if (writeSuspended_) {
        db_->RollbackTransaction();
        result = E_FAIL;
      } else {
        OutputDebugStringW(u"Flushing temp tables\r\n");
        for (const char* sql : kFlush) db_->Exec(sql);
        result = Committed(db_->CommitTransaction());
      }
      break;
    case LIBMODE_BULK:
      if (on) {
        db_->BeginTransaction();
      } else {
        // The analysis thread commits the bulk batch; without it the batch stays open.
        if (!StartAnalysis()) return E_FAIL;
        mode_ = (mode_ & ~LIBMODE_BULK) | LIBMODE_BUSY;
        return S_OK;
      }
      break;
    case LIBMODE_PLAYLIST:
    case LIBMODE_SCAN:
      if (on) db_->BeginTransaction();
      else result = Committed(db_->CommitTransaction());
      break;
    default:  // LIBMODE_BUSY: stored only
      break;
  }
  mode_ = on ? (mode_ | bit) : (mode_ & ~bit);
  return result;
}

// Ends every batch, remembering which were open. LIBMODE_SUSPENDED stays, and so does
// LIBMODE_BUSY, which tells of an analysis still running.
void CMediaLibrary::EndBatches(DWORD* ended) {
  CLibraryLock lock(this);
  constexpr DWORD kKept = LIBMODE_SUSPENDED | LIBMODE_BUSY;
  if (ended) *ended = mode_ & ~kKept;
  ChangeMode(0, ~kKept);
}

bool CMediaLibrary::IsBusy() {
  CLibraryLock lock(this);
  return (mode_ & LIBMODE_BUSY) != 0;
}
