// Statements, the queries stepped from them, and incremental blobs of the SQLite layer. A
// statement and its queries share one compiled handle; the last one to let go finalizes it.
#include <sqlite3.h>

#include "sql_database.h"

namespace {

void Drop(SqlSharedStatement*& shared) {
  if (!shared) return;
  if (InterlockedDecrement(&shared->refs) == 0) {
    sqlite3_finalize(shared->handle);
    delete shared;
  }
  shared = nullptr;
}

}  // namespace

// ---- CSqlQuery ----

CSqlQuery::CSqlQuery(sqlite3* db, SqlSharedStatement* shared, ISqlErrorSink* sink, bool atEnd)
    : db_(db), shared_(shared), sink_(sink), atEnd_(atEnd), columns_(sqlite3_column_count(shared->handle)) {}

CSqlQuery::CSqlQuery(CSqlQuery&& other) noexcept { *this = std::move(other); }

CSqlQuery& CSqlQuery::operator=(CSqlQuery&& other) noexcept {
  if (this != &other) {
    Finalize();
    db_ = other.db_;
    shared_ = other.shared_;
    sink_ = other.sink_;
    atEnd_ = other.atEnd_;
    columns_ = other.columns_;
    other.shared_ = nullptr;
    other.atEnd_ = true;
  }
  return *this;
}

CSqlQuery::~CSqlQuery() { Finalize(); }

void CSqlQuery::NextRow() {
  if (Eof()) return;
  const int rc = sqlite3_step(shared_->handle);
  if (rc == SQLITE_ROW) return;
  if (rc == SQLITE_DONE) {
    atEnd_ = true;
    return;
  }
  if (sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
  Finalize();
}

bool CSqlQuery::IsNull(int column) const {
  return !InRange(column) || atEnd_ || sqlite3_column_type(shared_->handle, column) == SQLITE_NULL;
}

LPCWSTR CSqlQuery::GetText(int column) const {
  if (!InRange(column) || atEnd_) return nullptr;
  return static_cast<LPCWSTR>(sqlite3_column_text16(shared_->handle, column));
}

// SQLite gives no text for NULL alone (an empty text is not null), so one call settles both.
LPCWSTR CSqlQuery::GetText(int column, LPCWSTR fallback) const {
  LPCWSTR text = GetText(column);
  return text ? text : fallback;
}

const char* CSqlQuery::GetUtf8(int column) const {
  if (!InRange(column) || atEnd_) return nullptr;
  return reinterpret_cast<const char*>(sqlite3_column_text(shared_->handle, column));
}

int CSqlQuery::GetInt(int column, int fallback) const {
  return IsNull(column) ? fallback : sqlite3_column_int(shared_->handle, column);
}

double CSqlQuery::GetDouble(int column, double fallback) const {
  return IsNull(column) ? fallback : sqlite3_column_double(shared_->handle, column);
}

const void* CSqlQuery::GetBlob(int column, int* size) const {
  if (!InRange(column) || atEnd_) {
    if (size) *size = 0;
    return nullptr;
  }
  const void* bytes = sqlite3_column_blob(shared_->handle, column);
  if (size) *size = sqlite3_column_bytes(shared_->handle, column);
  return bytes;
}

int CSqlQuery::ColumnType(int column) const {
  return InRange(column) && !atEnd_ ? sqlite3_column_type(shared_->handle, column) : SQLITE_NULL;
}

void CSqlQuery::Finalize() {
  if (!shared_) return;
  sqlite3_reset(shared_->handle);  // lets go of the read position; the statement may be reused
  Drop(shared_);
  atEnd_ = true;
}

// ---- CSqlStatement ----

CSqlStatement::CSqlStatement(sqlite3* db, sqlite3_stmt* handle, ISqlErrorSink* sink)
    : db_(db), shared_(handle ? new SqlSharedStatement{handle, 1} : nullptr), sink_(sink) {}

CSqlStatement::CSqlStatement(CSqlStatement&& other) noexcept { *this = std::move(other); }

CSqlStatement& CSqlStatement::operator=(CSqlStatement&& other) noexcept {
  if (this != &other) {
    Release();
    db_ = other.db_;
    shared_ = other.shared_;
    sink_ = other.sink_;
    other.shared_ = nullptr;
  }
  return *this;
}

CSqlStatement::~CSqlStatement() { Release(); }

void CSqlStatement::Release() { Drop(shared_); }

int CSqlStatement::BindResult(int rc) {
  if (rc == SQLITE_OK) return 0;
  if (sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
  return rc;
}

int CSqlStatement::BindText(int index, LPCWSTR text) {
  if (!shared_) return BindResult(SQLITE_MISUSE);
  return BindResult(sqlite3_bind_text16(shared_->handle, index, text ? text : u"", -1, SQLITE_TRANSIENT));
}

int CSqlStatement::BindInt(int index, int value) {
  if (!shared_) return BindResult(SQLITE_MISUSE);
  return BindResult(sqlite3_bind_int(shared_->handle, index, value));
}

int CSqlStatement::BindDouble(int index, double value) {
  if (!shared_) return BindResult(SQLITE_MISUSE);
  return BindResult(sqlite3_bind_double(shared_->handle, index, value));
}

int CSqlStatement::BindBlob(int index, const void* bytes, int size) {
  if (!shared_) return BindResult(SQLITE_MISUSE);
  return BindResult(sqlite3_bind_blob(shared_->handle, index, bytes, size, SQLITE_TRANSIENT));
}

int CSqlStatement::Execute() {
  if (!shared_) return -1;
  sqlite3_stmt* stmt = shared_->handle;
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
    const int changed = sqlite3_changes(db_);
    const int reset = sqlite3_reset(stmt);
    if (reset != SQLITE_OK && sink_) sink_->ReportError(reset, SqlErrorText(db_), nullptr);
    return changed;
  }
  if (sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
  const int reset = sqlite3_reset(stmt);
  return reset != SQLITE_OK ? -reset : -rc;
}

CSqlQuery CSqlStatement::ExecQuery() {
  if (!shared_) return CSqlQuery();
  const int rc = sqlite3_step(shared_->handle);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    if (sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
    sqlite3_reset(shared_->handle);
    return CSqlQuery();
  }
  InterlockedIncrement(&shared_->refs);
  return CSqlQuery(db_, shared_, sink_, rc == SQLITE_DONE);
}

// ---- CSqlBlob ----

CSqlBlob::CSqlBlob(sqlite3* db, sqlite3_blob* handle, ISqlErrorSink* sink, LONG rowId)
    : db_(db), handle_(handle), sink_(sink), rowId_(rowId), size_(sqlite3_blob_bytes(handle)) {}

CSqlBlob::~CSqlBlob() { Close(); }

int CSqlBlob::Read(void* buffer, int count, int offset) {
  const int rc = handle_ ? sqlite3_blob_read(handle_, buffer, count, offset) : SQLITE_MISUSE;
  if (rc == SQLITE_OK) return count;
  if (sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
  return 0;
}

int CSqlBlob::Write(const void* buffer, int count, int offset) {
  const int rc = handle_ ? sqlite3_blob_write(handle_, buffer, count, offset) : SQLITE_MISUSE;
  if (rc == SQLITE_OK) return count;
  if (sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
  return 0;
}

void CSqlBlob::Close() {
  if (!handle_) return;
  const int rc = sqlite3_blob_close(handle_);
  handle_ = nullptr;
  if (rc != SQLITE_OK && sink_) sink_->ReportError(rc, SqlErrorText(db_), nullptr);
}
