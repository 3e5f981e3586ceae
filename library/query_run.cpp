// A query run's frame: the transaction, the progress handler that lets the cancel flag cut a
// long read short, the candidate rows, and the small statements that move mids between tables.
#include "query_run.h"

#include <sqlite3.h>

#include <string>

#include "utf8_text.h"

namespace {

// SQLite's virtual-machine steps between looks at the cancel flag.
constexpr int kProgressSteps = 1000;

constexpr const char16_t* kWorkTables[] = {
    u"GVMM", u"GVSC", u"results", u"funnela0", u"funnelb0", u"funnelc0", u"groupdst0",
    u"funnela1", u"funnelb1", u"funnelc1", u"groupdst1",
};

}  // namespace

CQueryRun::CQueryRun(CMediaLibrary* library, const QueryParams& params, std::atomic<bool>& cancelled)
    : library_(library), db_(library->Database()), params_(params), cancelled_(cancelled) {
  db_->BeginTransaction();
  sqlite3_progress_handler(db_->Handle(), kProgressSteps, Progress, this);
}

CQueryRun::~CQueryRun() {
  sqlite3_progress_handler(db_->Handle(), 0, nullptr, nullptr);
  for (const char16_t* table : kWorkTables) Exec(u"delete from " + std::u16string(table) + u";");
  db_->CommitTransaction();
  if (silenced_) library_->loggingOn_ = true;
}

int CQueryRun::Progress(void* self) {
  auto* run = static_cast<CQueryRun*>(self);
  if (!run->reading_ || !run->Cancelled()) return 0;
  // The cut read fails on purpose: that failure must not count as the database's.
  if (run->library_->loggingOn_) {
    run->library_->loggingOn_ = false;
    run->silenced_ = true;
  }
  return 1;
}

HRESULT CQueryRun::Status() const {
  if (Cancelled()) return E_ABORT;
  return failed_ ? E_FAIL : S_OK;
}

CSqlStatement* CQueryRun::Statement(const std::u16string& sql) {
  CSqlStatement* statement = library_->Cached(sql);
  if (!statement) failed_ = true;
  return statement;
}

bool CQueryRun::Exec(const std::u16string& sql, const Binder& bind) {
  CSqlStatement* statement = Statement(sql);
  if (!statement) return false;
  if (bind) bind(*statement);
  if (statement->Execute() >= 0) return true;
  failed_ = true;
  return false;
}

bool CQueryRun::SelectRows(const std::u16string& sql, const Binder& bind,
                           const std::function<void(const CSqlQuery&)>& row) {
  CSqlStatement* statement = Statement(sql);
  if (!statement) return false;
  if (bind) bind(*statement);
  db_->ClearLastError();
  reading_ = true;
  {
    CSqlQuery query = statement->ExecQuery();
    for (; !query.Eof() && !Cancelled(); query.NextRow()) row(query);
  }
  reading_ = false;
  if (Cancelled()) return false;
  if (db_->LastErrorCode() != 0) failed_ = true;
  return !failed_;
}

bool CQueryRun::SelectMids(const std::u16string& sql, const Binder& bind, std::vector<DWORD>* mids) {
  mids->clear();
  return SelectRows(sql, bind, [&](const CSqlQuery& row) { mids->push_back(static_cast<DWORD>(row.GetInt(0, 0))); });
}

bool CQueryRun::InsertMids(const std::u16string& table, const std::vector<DWORD>& mids) {
  // Many rows a statement: running one statement per row cost more than the rows themselves.
  constexpr size_t kBatch = 64;
  std::u16string many = u"insert or replace into " + table + u" values (?)";
  for (size_t i = 1; i < kBatch; ++i) many += u",(?)";
  CSqlStatement* batch = Statement(many + u";");
  CSqlStatement* single = Statement(u"insert or replace into " + table + u" values (?);");
  if (!batch || !single) return false;
  size_t done = 0;
  while (done < mids.size()) {
    // Long runs of rows still give way to a cancel now and then.
    if (done > 0 && done % 1024 == 0 && Cancelled()) return false;
    CSqlStatement* insert = mids.size() - done >= kBatch ? batch : single;
    const size_t rows = insert == batch ? kBatch : 1;
    for (size_t r = 0; r < rows; ++r) insert->BindInt(static_cast<int>(r + 1), static_cast<int>(mids[done + r]));
    if (insert->Execute() < 0) return !(failed_ = true);
    done += rows;
  }
  return true;
}

bool CQueryRun::DeleteMids(const std::u16string& table, const std::vector<DWORD>& mids) {
  CSqlStatement* remove = Statement(u"delete from " + table + u" where mid=?;");
  if (!remove) return false;
  for (DWORD mid : mids) {
    remove->BindInt(1, static_cast<int>(mid));
    if (remove->Execute() < 0) return !(failed_ = true);
  }
  return true;
}

HRESULT CQueryRun::Candidates(const char16_t* table) {
  LONG minimum = 1;
  switch (params_.validity) {
    case QVALID_ALL: minimum = 0; break;
    case QVALID_PRESENT: minimum = 1; break;
    case QVALID_ANY: minimum = -100000; break;
    case QVALID_SCAN: minimum = library_->ScanMark(); break;
    case QVALID_SCAN_WAIT:
    case QVALID_SCAN_READY:
      // Without a scan under way there is no generation to ask for yet.
      if (!library_->scanSink_ || library_->ScanPass() == 0) return E_PENDING;
      minimum = library_->ScanMark();
      break;
    default: return E_FAIL;
  }
  minimum_ = minimum;
  Exec(u"delete from results;");
  if (params_.preFilters.empty()) {
    // A number only, so the text can't carry anything else.
    candidates_ = u"(select mid from media where valid >= " + Utf8ToWide(std::to_string(minimum)) + u")";
    return Status();
  }
  candidates_ = table;
  Exec(u"delete from " + candidates_ + u";");
  Exec(u"insert into " + candidates_ + u" select mid from media WHERE valid >=?;",
       [&](CSqlStatement& s) { s.BindInt(1, minimum); });
  return Status();
}

HRESULT CQueryRun::Narrow(const char16_t* table) {
  HRESULT hr = Candidates(table);
  if (SUCCEEDED(hr)) hr = PreFilter(table);
  if (SUCCEEDED(hr)) hr = Funnel(candidates_);
  return hr;
}

std::u16string CQueryRun::TagRowsOf(const std::u16string& source, const std::u16string& table,
                                    const std::u16string& joins) {
  // Not a join led by the table: without statistics for it the planner would first build a
  // filter from every row of the tag table, which costs more than the whole lookup.
  if (IsTable(source)) return u" from " + table + u" tags " + joins + u" where tags.mid in (select mid from " + source + u") AND ";
  // The entry's own row comes last, so that only the tags that pass their test look it up.
  return u" from " + table + u" tags " + joins + u" cross join " + source + u" src on src.mid=tags.mid where ";
}

void CQueryRun::MaterializeResults() {
  if (IsTable(results_)) return;
  Exec(u"insert or replace into results select mid from " + results_ + u";");
  results_ = u"results";
}
