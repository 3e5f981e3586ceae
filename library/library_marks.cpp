// Entries by source: whether one exists, deleting them, and the scan's marks on the `valid`
// column (seen, missing, and the countdown that leads to the worker's purge).
#include "media_library.h"

namespace {

std::u16string FolderPattern(LPCWSTR source) { return std::u16string(source) + u"*"; }

// The statements of the two marks, for one source or for a folder and everything in it; the
// valid mark binds the scan's mark first.
struct MarkStatements {
  const char16_t* source;
  const char16_t* folder;
  DWORD event;
};
constexpr MarkStatements kMarks[] = {
    {u"update media set valid = 0 where source=? AND valid > 0",
     u"update media set valid = 0 where WSTARTSWITH(source, ?) AND valid > 0", LIBEVENT_MARKED_INVALID},
    {u"update media set valid = ?, lastdate=datetime('now') where source=?",
     u"update media set valid = ?, lastdate=datetime('now') where WSTARTSWITH(source, ?)", LIBEVENT_MARKED_VALID},
};

}  // namespace

int CMediaLibrary::ExecChange(LPCWSTR sql, const std::function<void(CSqlStatement&)>& bind) {
  db_->BeginTransaction();
  // The scan marks every file it finds: each statement is compiled once.
  CSqlStatement* statement = Cached(sql);
  int rows = -1;
  if (statement) {
    bind(*statement);
    rows = statement->Execute();
  }
  const int committed = db_->CommitTransaction();
  return committed < 0 ? committed : rows;
}

STDMETHODIMP CMediaLibrary::ItemExists(LPCWSTR source) {
  if (!source) return E_FAIL;
  CLibraryLock lock(this);
  if (!db_) return E_FAIL;
  CSqlStatement find = db_->CompileStatement(u"select mid from media where source=?;");
  find.BindText(1, source);
  return find.ExecQuery().Eof() ? E_FAIL : S_OK;
}

STDMETHODIMP CMediaLibrary::DeleteItems(LPCWSTR pattern) {
  if (!pattern) return E_FAIL;
  CLibraryLock lock(this);
  if (!db_) return E_FAIL;
  const int rows = ExecChange(u"delete from media where WLIKE(source, ?);",
                              [&](CSqlStatement& s) { s.BindText(1, pattern); });
  if (rows <= 0) return E_FAIL;
  RaiseEvent(LIBEVENT_ITEMS_REMOVED, pattern, nullptr);
  return S_OK;
}

STDMETHODIMP CMediaLibrary::DeleteServiceItem(LPCWSTR name) {
  if (!name) return E_FAIL;
  return DeleteItems((std::u16string(kServiceItemPrefix) + name).c_str());
}

HRESULT CMediaLibrary::InvalidateAll(BOOL force) {
  CLibraryLock lock(this);
  // The scan asks on every pass; only the pass it names invalidates.
  if (!force && static_cast<DWORD>(++invalidations_) != ScanPass()) return S_OK;
  if (!db_ || writeSuspended_) return S_OK;
  const int rows = ExecChange(u"update media set valid = 0 where valid = 1", [](CSqlStatement&) {});
  if (rows > 0) RaiseEvent(LIBEVENT_MARKED_INVALID, u"", nullptr);
  return S_OK;
}

HRESULT CMediaLibrary::SetMark(LPCWSTR source, BOOL isFolder, bool valid) {
  if (!source) return E_FAIL;
  CLibraryLock lock(this);
  if (!db_) return E_FAIL;
  if (writeSuspended_) return S_OK;
  const MarkStatements& marks = kMarks[valid ? 1 : 0];
  const LONG mark = ScanMark();
  const int rows = ExecChange(isFolder ? marks.folder : marks.source, [&](CSqlStatement& s) {
    int index = 1;
    if (valid) s.BindInt(index++, mark);
    s.BindText(index, source);
  });
  if (rows > 0) RaiseEvent(marks.event, isFolder ? FolderPattern(source).c_str() : source, nullptr);
  return S_OK;
}

HRESULT CMediaLibrary::MarkValid(LPCWSTR source, BOOL isFolder) { return SetMark(source, isFolder, true); }

HRESULT CMediaLibrary::MarkInvalid(LPCWSTR source, BOOL isFolder) { return SetMark(source, isFolder, false); }
