// The library's two background threads: the worker that purges entries missing for several
// starts, a few rows and about 100 ms per pass at the lowest priority, and the analysis that
// recomputes SQLite's statistics after a bulk scan and then commits the scan's batch.
#include "media_library.h"

namespace {

constexpr DWORD kFirstTimeoutMs = 1000;
constexpr DWORD kPassBudgetMs = 100;
constexpr DWORD kShortestPauseMs = 50;
constexpr DWORD kStopGraceMs = 5000;

}  // namespace

DWORD WINAPI CMediaLibrary::WorkerMain(LPVOID self) {
  auto* library = static_cast<CMediaLibrary*>(self);
  const HANDLE events[] = {library->stopEvent_, library->wakeEvent_};
  DWORD timeout = kFirstTimeoutMs;
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeout);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
    if (woke == WAIT_OBJECT_0 + 1) timeout = kFirstTimeoutMs;
    timeout = library->PurgePass(timeout);
  }
  return 0;
}

// One pass: the wait before the next one.
DWORD CMediaLibrary::PurgePass(DWORD timeout) {
  CLibraryLock lock(this);
  if (mode_ & LIBMODE_TEMP_TAGS) return timeout;  // a tag batch is being staged: not now
  if (!db_ || pendingClose_) return INFINITE;
  std::vector<LONG> mids;
  {
    CSqlQuery query = db_->ExecQuery(u"select mid, source from media where valid <  -3  LIMIT 5;");
    for (; !query.Eof(); query.NextRow()) mids.push_back(query.GetInt(0, 0));
  }
  if (mids.empty()) return INFINITE;
  db_->BeginTransaction();
  const DWORD start = GetTickCount();
  CSqlStatement remove = db_->CompileStatement(u"delete from media where mid=?;");
  for (auto mid = mids.rbegin(); mid != mids.rend(); ++mid) {
    if (GetTickCount() - start >= kPassBudgetMs || WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0) break;
    remove.BindInt(1, *mid);
    remove.Execute();
  }
  db_->CommitTransaction();
  const DWORD elapsed = GetTickCount() - start;
  return elapsed > kShortestPauseMs ? elapsed : kShortestPauseMs;
}

void CMediaLibrary::StopWorker() {
  if (!worker_) return;
  SetEvent(stopEvent_);
  if (WaitForSingleObject(worker_, kStopGraceMs) != WAIT_OBJECT_0) WaitForSingleObject(worker_, INFINITE);
  CloseHandle(worker_);
  worker_ = nullptr;
}

DWORD WINAPI CMediaLibrary::AnalysisMain(LPVOID self) {
  auto* library = static_cast<CMediaLibrary*>(self);
  library->Lock();
  if (library->db_) {
    library->db_->Exec("analyze;");
    library->db_->CommitTransaction();
  }
  library->mode_ &= ~static_cast<DWORD>(LIBMODE_BUSY);
  library->Unlock();
  OutputDebugStringW(u"..Background Done.\n");
  return 0;
}

bool CMediaLibrary::StartAnalysis() {
  // Threads that finished are let go here; the others are joined by Close.
  std::erase_if(analysis_, [](HANDLE thread) {
    if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
    CloseHandle(thread);
    return true;
  });
  HANDLE thread = CreateThread(nullptr, 0, AnalysisMain, this, 0, nullptr);
  if (!thread) return false;
  analysis_.push_back(thread);
  return true;
}

void CMediaLibrary::JoinAnalysis() {
  std::vector<HANDLE> threads;
  {
    CLibraryLock lock(this);
    threads.swap(analysis_);
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
}
