// The library object's life: creation and destruction, the lock with its deferred close, and
// opening, reopening and closing the database.
#include "media_library.h"

#include "blob_handles.h"
#include "library_schema.h"
#include "library_temp_names.h"
#include "sql_database.h"

namespace {

// The maintenance that every open with maintenance runs, in one transaction with the rest.
constexpr const char* kMaintenance[] = {
    "update media set valid = 1 where valid > 0;",
    "delete from blob_data where refcnt<=0;",
    "delete from str_data where refcnt<=0;",
    "delete from blob_data where bsize=0;",
};

}  // namespace

CMediaLibrary::CMediaLibrary(HMODULE instance, ILibraryScanSink* scanSink)
    : scanSink_(scanSink), instance_(instance) {
  InitializeCriticalSection(&lock_);
  InitializeCriticalSection(&registryLock_);
  if (scanSink_) scanSink_->AddRef();
  stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  wakeEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

CMediaLibrary::~CMediaLibrary() {
  // Close should have stopped them; nothing of the library may outlive it either way.
  StopWorker();
  JoinAnalysis();
  CloseHandle(stopEvent_);
  CloseHandle(wakeEvent_);
  {
    // Blob values that outlive the library keep their bytes.
    CLibraryLock lock(this);
    CLibraryBlobStore::Instance().Detach(this);
  }
  FinalizeStatements();
  db_.reset();
  if (log_ != INVALID_HANDLE_VALUE) CloseHandle(log_);
  if (scanSink_) scanSink_->Release();
  DeleteCriticalSection(&registryLock_);
  DeleteCriticalSection(&lock_);
}

STDMETHODIMP CMediaLibrary::QueryInterface(REFIID riid, void** object) {
  return Answer(riid, object, {IID_IMediaLibrary});
}

STDMETHODIMP CMediaLibrary::GetStatus(MEDIALIBRARYSTATUS* status) {
  if (!status || status->size != sizeof(MEDIALIBRARYSTATUS)) return E_FAIL;
  CLibraryLock lock(this);
  status->open = db_ ? 1 : 0;
  status->suspended = writeSuspended_ ? 1 : 0;
  status->busy = mode_ & LIBMODE_BUSY;
  return S_OK;
}

void CMediaLibrary::Lock() {
  EnterCriticalSection(&lock_);
  ++lockDepth_;
}

void CMediaLibrary::Unlock() {
  bool closedNow = false;
  if (lockDepth_ == 1 && pendingClose_ && GetCurrentThreadId() == ownerThread_) {
    FinalizeStatements();
    db_.reset();
    pendingClose_ = false;
    loggingOn_ = false;
    closed_ = true;
    closedNow = true;
  }
  --lockDepth_;
  LeaveCriticalSection(&lock_);
  if (closedNow) RaiseEvent(LIBEVENT_CLOSED, u"", nullptr);
}

HRESULT CMediaLibrary::Start(LPCWSTR path, int dataVersion) {
  if (!path) return E_POINTER;
  bool opened;
  {
    CLibraryLock lock(this);
    InstallTempFileNaming();
    path_ = path;
    dataVersion_ = dataVersion;
    db_.reset();
    opened = OpenDatabase(true);
    CLibraryBlobStore::Instance().Attach(this);
  }
  if (!worker_) {
    worker_ = CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr);
    if (worker_) SetThreadPriority(worker_, THREAD_PRIORITY_LOWEST);
  }
  return opened ? S_OK : E_FAIL;
}

// Opens path_ into db_ (made when missing); without success db_ is discarded.
bool CMediaLibrary::OpenDatabase(bool maintenance) {
  loggingOn_ = true;
  writeSuspended_ = false;
  if (!db_) db_ = std::make_unique<CSqlDatabase>(static_cast<ISqlErrorSink*>(this));
  db_->SetCloseHook([this] { FinalizeStatements(); });
  // Failures while opening are the recovery's to handle, not the running library's policy's.
  opening_ = true;
  const bool opened = OpenWithRecovery(*db_, path_.c_str(), instance_, dataVersion_, this, this);
  opening_ = false;
  if (!opened) {
    db_.reset();
    return false;
  }
  SetEvent(wakeEvent_);
  pendingClose_ = false;
  ownerThread_ = GetCurrentThreadId();
  db_->BeginTransaction();
  PrepareStatements();
  if (maintenance) {
    for (const char* sql : kMaintenance) db_->Exec(sql);
    AgeEntries();
  }
  db_->CommitTransaction();
  return true;
}

HRESULT CMediaLibrary::AgeEntries() {
  CLibraryLock lock(this);
  if (!db_) return E_FAIL;
  db_->Exec("update media set valid = valid - 1 where valid <= 0;");
  SetEvent(wakeEvent_);
  return S_OK;
}

void CMediaLibrary::Reopen() {
  bool wasClosed;
  {
    CLibraryLock lock(this);
    wasClosed = closed_;
    if (db_) {
      FinalizeStatements();
      db_->Close();
    }
    if (OpenDatabase(wasClosed)) {
      closed_ = false;
      loggingOn_ = true;
      if (wasClosed && scanSink_) {
        scanSink_->OnLibraryOpened();
        if (writeSuspended_) scanSink_->OnLibraryUnavailable();
      }
      if (wasClosed) invalidations_ = 0;
    }
  }
  if (db_ && !writeSuspended_) {
    RaiseEvent(LIBEVENT_OPENED, u"", nullptr);
    ChangeMode(0, LIBMODE_SUSPENDED);
  }
}

void CMediaLibrary::Close(BOOL compact) {
  Lock();
  EnterCriticalSection(&registryLock_);
  if (worker_) {
    // The worker's pass may be waiting for the locks.
    LeaveCriticalSection(&registryLock_);
    Unlock();
    StopWorker();
    Lock();
    EnterCriticalSection(&registryLock_);
  }
  EndBatches(nullptr);
  if (db_ && !writeSuspended_ && compact && compactAtExit_) {
    loggingOn_ = false;
    const int freePages = db_->ExecScalar(u"PRAGMA freelist_count;");
    if (freePages > 8) {
      const std::string sql = "PRAGMA incremental_vacuum(" + std::to_string(freePages < 64 ? freePages : 64) + ");";
      db_->Exec(sql.c_str());
    }
    loggingOn_ = true;
  }
  LeaveCriticalSection(&registryLock_);
  Unlock();
  // Ending the bulk batch may have started an analysis; it finishes before Close returns.
  JoinAnalysis();
}

void CMediaLibrary::SetMemoryLimit(DWORD bytes) { SetSqlMemoryLimit(bytes); }

void CMediaLibrary::AddKeptTag(DWORD tag) {
  CLibraryLock lock(this);
  keptTags_.insert(tag);
}

void CMediaLibrary::RemoveKeptTag(DWORD tag) {
  CLibraryLock lock(this);
  keptTags_.erase(tag);
}

void CMediaLibrary::AddOverridingTag(DWORD tag) {
  CLibraryLock lock(this);
  overridingTags_.insert(tag);
}

LONG CMediaLibrary::ScanMark() { return scanSink_ ? scanSink_->GetMark() : 2; }

DWORD CMediaLibrary::ScanPass() { return scanSink_ ? scanSink_->GetScanPass() : 0; }
