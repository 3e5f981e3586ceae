// The connection of the SQLite layer: opening a device path through the device's VFS, nested
// transactions, one-shot execution and the compile entry that statements come from.
#include "sql_database.h"

#include <sqlite3.h>

#include <string>

#include "sql_device_vfs.h"
#include "utf8_text.h"
#include "wide_text.h"

LPCWSTR SqlErrorText(sqlite3* db) { return db ? static_cast<LPCWSTR>(sqlite3_errmsg16(db)) : u"out of memory"; }

CSqlDatabase::CSqlDatabase(ISqlErrorSink* sink) : sink_(sink) {}

CSqlDatabase::~CSqlDatabase() { Close(); }

void CSqlDatabase::ReportError(int code, LPCWSTR message, LPCWSTR sqlText) {
  lastError_ = code;
  if (sink_) sink_->ReportError(code, message, sqlText);
}

void CSqlDatabase::ReportErrorA(int code, const char* message, const char* sqlText) {
  lastError_ = code;
  if (sink_) sink_->ReportErrorA(code, message, sqlText);
}

void CSqlDatabase::Report(int code, LPCWSTR sql) { ReportError(code, SqlErrorText(db_), sql); }

int CSqlDatabase::Open(LPCWSTR path) {
  Close();
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(WideToUtf8(zblib::View(path)).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 DeviceVfsName());
  if (rc != SQLITE_OK) {
    ReportError(rc, SqlErrorText(db), path);
    sqlite3_close_v2(db);
    return 0;
  }
  db_ = db;
  depth_ = 0;
  rolledBack_ = false;
  sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout_));
  return 1;
}

void CSqlDatabase::Close() {
  if (!db_) return;
  if (closeHook_) closeHook_();
  // A statement somebody still holds keeps the connection as a zombie until it is finalized.
  sqlite3_close_v2(db_);
  db_ = nullptr;
  depth_ = 0;
}

void CSqlDatabase::SetBusyTimeout(DWORD ms) {
  busyTimeout_ = ms;
  if (db_) sqlite3_busy_timeout(db_, static_cast<int>(ms));
}

int CSqlDatabase::CreateFunction(LPCWSTR name, int argumentCount, int textEncoding, void* userData,
                                 SqlFunction function) {
  if (!db_) return -1;
  return sqlite3_create_function16(db_, name, argumentCount, textEncoding, userData, function, nullptr, nullptr);
}

int CSqlDatabase::BeginTransaction() {
  const LONG depth = InterlockedIncrement(&depth_);
  if (depth != 1) return depth;
  rolledBack_ = false;
  return Exec("begin transaction;");
}

// Ends SQLite's transaction when it has one (it may have rolled back by itself after an error).
int CSqlDatabase::EndTransaction(const char* sql) {
  if (!db_ || sqlite3_get_autocommit(db_)) return 0;
  return Exec(sql);
}

int CSqlDatabase::CommitTransaction() {
  const LONG depth = InterlockedDecrement(&depth_);
  if (depth > 0) return 0;
  if (depth < 0) {  // a commit without its begin changes nothing
    InterlockedExchange(&depth_, 0);
    return 0;
  }
  if (rolledBack_) {
    // A level inside rolled back: what the outer levels did since is dropped with it.
    EndTransaction("rollback transaction;");
    ReportErrorA(SQLITE_ABORT, "an inner transaction was rolled back", "commit transaction;");
    return -SQLITE_ABORT;
  }
  const int rc = Exec("commit transaction;");
  if (rc < 0) EndTransaction("rollback transaction;");  // never leave a failed commit open
  return rc;
}

int CSqlDatabase::RollbackTransaction() {
  const LONG depth = InterlockedDecrement(&depth_);
  if (depth < 0) InterlockedExchange(&depth_, 0);
  rolledBack_ = true;
  const int rc = EndTransaction("rollback transaction;");
  // The outer levels go on; their work must not autocommit statement by statement.
  if (depth > 0) Exec("begin transaction;");
  return rc;
}

int CSqlDatabase::Exec(const char* sql) {
  if (!db_) return -SQLITE_MISUSE;
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    ReportErrorA(rc, message ? message : sqlite3_errstr(rc), sql);
    sqlite3_free(message);
    return -rc;
  }
  return sqlite3_changes(db_);
}

int CSqlDatabase::ExecDML(LPCWSTR sql) {
  if (!db_) return -SQLITE_MISUSE;
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare16_v2(db_, sql, -1, &stmt, nullptr);
  if (rc != SQLITE_OK) {
    Report(rc, sql);
    return -rc;
  }
  rc = sqlite3_step(stmt);
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
    Report(rc, sql);
    sqlite3_finalize(stmt);
    return -rc;
  }
  sqlite3_finalize(stmt);
  return sqlite3_changes(db_);
}

CSqlQuery CSqlDatabase::ExecQuery(LPCWSTR sql) {
  if (!db_) return CSqlQuery();
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare16_v2(db_, sql, -1, &stmt, nullptr);
  if (rc != SQLITE_OK || !stmt) {
    if (rc != SQLITE_OK) Report(rc, sql);
    return CSqlQuery();
  }
  rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    Report(rc, sql);
    sqlite3_finalize(stmt);
    return CSqlQuery();
  }
  return CSqlQuery(db_, new SqlSharedStatement{stmt, 1}, this, rc == SQLITE_DONE);
}

int CSqlDatabase::ExecScalar(LPCWSTR sql) {
  CSqlQuery query = ExecQuery(sql);
  if (query.Eof() || query.ColumnCount() == 0) return -1;
  LPCWSTR text = query.GetText(0);
  if (!text) return 0;
  size_t i = 0;
  while (text[i] == u' ' || text[i] == u'\t') ++i;
  const bool negative = text[i] == u'-';
  if (text[i] == u'-' || text[i] == u'+') ++i;
  int value = 0;
  for (; text[i] >= u'0' && text[i] <= u'9'; ++i) value = value * 10 + (text[i] - u'0');
  return negative ? -value : value;
}

bool CSqlDatabase::TableExists(LPCWSTR name) {
  std::u16string sql = u"select count(*) from sqlite_master where type='table' and name='";
  sql += name ? name : u"";
  sql += u"'";
  return ExecScalar(sql.c_str()) > 0;
}

CSqlStatement CSqlDatabase::CompileStatement(LPCWSTR sql) {
  if (!db_) return CSqlStatement();
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare16_v2(db_, sql, -1, &stmt, nullptr);
  if (rc != SQLITE_OK) Report(rc, sql);
  // Without a handle the statement still reports what is done with it.
  return CSqlStatement(db_, rc == SQLITE_OK ? stmt : nullptr, this);
}

DWORD CSqlDatabase::LastInsertRowId() const {
  return db_ ? static_cast<DWORD>(sqlite3_last_insert_rowid(db_)) : 0;
}

std::unique_ptr<CSqlBlob> CSqlDatabase::OpenBlob(const char* table, const char* column, LONG rowId, bool writable) {
  if (!db_) return nullptr;
  sqlite3_blob* blob = nullptr;
  const int rc = sqlite3_blob_open(db_, "main", table, column, static_cast<sqlite3_int64>(rowId), writable ? 1 : 0, &blob);
  if (rc != SQLITE_OK) {
    Report(rc, nullptr);
    if (blob) sqlite3_blob_close(blob);
    return nullptr;
  }
  return std::make_unique<CSqlBlob>(db_, blob, static_cast<ISqlErrorSink*>(this), rowId);
}

void SetSqlMemoryLimit(DWORD bytes) { sqlite3_soft_heap_limit64(static_cast<sqlite3_int64>(bytes)); }

std::u16string EscapeQuotes(LPCWSTR text) {
  std::u16string out;
  for (size_t i = 0; text && text[i]; ++i) {
    out += text[i];
    if (text[i] == u'\'') out += u'\'';
  }
  return out;
}
