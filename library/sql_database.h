// The thin object layer over SQLite's C interface that all library code uses: a connection with
// nested transactions, statements, queries and incremental blobs. Every failure goes to the
// owner's error sink; the layer itself shows nothing and has no lock of its own.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_blob;
struct sqlite3_context;
struct sqlite3_value;

// Receives every failure of the layer, with SQLite's result code (0 for the owner's own
// messages), the message and the SQL text (or null).
class ISqlErrorSink {
 public:
  virtual void ReportError(int code, LPCWSTR message, LPCWSTR sqlText) = 0;
  virtual void ReportErrorA(int code, const char* message, const char* sqlText) = 0;

 protected:
  ~ISqlErrorSink() = default;
};

// A compiled statement shared by a CSqlStatement and the queries made from it; whoever drops
// the last reference finalizes it.
struct SqlSharedStatement {
  sqlite3_stmt* handle;
  LONG refs;
};

class CSqlQuery {
 public:
  CSqlQuery() = default;
  CSqlQuery(sqlite3* db, SqlSharedStatement* shared, ISqlErrorSink* sink, bool atEnd);
  CSqlQuery(CSqlQuery&& other) noexcept;
  CSqlQuery& operator=(CSqlQuery&& other) noexcept;
  virtual ~CSqlQuery();

  bool Eof() const { return !shared_ || atEnd_; }
  void NextRow();
  int ColumnCount() const { return columns_; }
  LPCWSTR GetText(int column) const;  // null when out of range
  LPCWSTR GetText(int column, LPCWSTR fallback) const;
  // The text as SQLite stores it (UTF-8, terminated), null when it is NULL or out of range; a
  // later GetText of the same column leaves it invalid.
  const char* GetUtf8(int column) const;
  int GetInt(int column, int fallback) const;
  double GetDouble(int column, double fallback) const;
  const void* GetBlob(int column, int* size) const;
  int ColumnType(int column) const;
  void Finalize();

 private:
  bool InRange(int column) const { return shared_ && column >= 0 && column < columns_; }
  bool IsNull(int column) const;

  sqlite3* db_ = nullptr;
  SqlSharedStatement* shared_ = nullptr;
  ISqlErrorSink* sink_ = nullptr;
  bool atEnd_ = true;
  int columns_ = 0;
};

class CSqlStatement {
 public:
  CSqlStatement() = default;
  CSqlStatement(sqlite3* db, sqlite3_stmt* handle, ISqlErrorSink* sink);
  CSqlStatement(CSqlStatement&& other) noexcept;
  CSqlStatement& operator=(CSqlStatement&& other) noexcept;
  virtual ~CSqlStatement();

  bool IsValid() const { return shared_ != nullptr; }
  int BindText(int index, LPCWSTR text);
  int BindInt(int index, int value);
  int BindDouble(int index, double value);
  int BindBlob(int index, const void* bytes, int size);
  // Steps once: the changed-row count, or a negative code.
  int Execute();
  CSqlQuery ExecQuery();

 private:
  int BindResult(int rc);
  void Release();

  sqlite3* db_ = nullptr;
  SqlSharedStatement* shared_ = nullptr;
  ISqlErrorSink* sink_ = nullptr;
};

class CSqlBlob {
 public:
  CSqlBlob(sqlite3* db, sqlite3_blob* handle, ISqlErrorSink* sink, LONG rowId);
  virtual ~CSqlBlob();
  CSqlBlob(const CSqlBlob&) = delete;
  CSqlBlob& operator=(const CSqlBlob&) = delete;

  int Read(void* buffer, int count, int offset);
  int Write(const void* buffer, int count, int offset);
  int Size() const { return handle_ ? size_ : 0; }
  LONG RowId() const { return rowId_; }
  void Close();

 private:
  sqlite3* db_;
  sqlite3_blob* handle_;
  ISqlErrorSink* sink_;
  LONG rowId_;
  int size_;
};

using SqlFunction = void (*)(sqlite3_context* context, int count, sqlite3_value** values);

// The connection hands itself to its statements as their sink, so it sees every failure's code
// on the way to the owner's sink.
class CSqlDatabase : private ISqlErrorSink {
 public:
  explicit CSqlDatabase(ISqlErrorSink* sink);
  virtual ~CSqlDatabase();
  CSqlDatabase(const CSqlDatabase&) = delete;
  CSqlDatabase& operator=(const CSqlDatabase&) = delete;

  // Opens a device path: 1 on success, 0 on failure (reported with the path).
  int Open(LPCWSTR path);
  // Runs the close hook first, so an owner's prepared statements let go of the connection.
  void Close();
  void SetCloseHook(std::function<void()> hook) { closeHook_ = std::move(hook); }
  bool IsOpen() const { return db_ != nullptr; }
  void SetBusyTimeout(DWORD ms);
  int CreateFunction(LPCWSTR name, int argumentCount, int textEncoding, void* userData, SqlFunction function);

  // Nested transactions: only the outermost level talks to SQLite. A rollback at any depth
  // undoes everything since the outermost begin; the outer levels' remaining work is held in a
  // fresh transaction that their end discards, and the outermost commit then reports the failure.
  int BeginTransaction();
  int CommitTransaction();
  int RollbackTransaction();
  LONG TransactionDepth() const { return depth_; }

  int Exec(const char* sql);
  int ExecDML(LPCWSTR sql);
  CSqlQuery ExecQuery(LPCWSTR sql);
  int ExecScalar(LPCWSTR sql);
  bool TableExists(LPCWSTR name);
  CSqlStatement CompileStatement(LPCWSTR sql);
  DWORD LastInsertRowId() const;
  std::unique_ptr<CSqlBlob> OpenBlob(const char* table, const char* column, LONG rowId, bool writable);
  // Rolls back a transaction that SQLite has open outside the nesting (a script's own).
  void AbandonTransaction() { EndTransaction("rollback transaction;"); }
  // SQLite's code of the last failure reported through this connection since it was cleared.
  int LastErrorCode() const { return lastError_; }
  void ClearLastError() { lastError_ = 0; }

  sqlite3* Handle() const { return db_; }

 private:
  void ReportError(int code, LPCWSTR message, LPCWSTR sqlText) override;
  void ReportErrorA(int code, const char* message, const char* sqlText) override;
  void Report(int code, LPCWSTR sql);
  int EndTransaction(const char* sql);

  sqlite3* db_ = nullptr;
  DWORD busyTimeout_ = 60000;
  LONG depth_ = 0;
  bool rolledBack_ = false;
  ISqlErrorSink* sink_;
  int lastError_ = 0;
  std::function<void()> closeHook_;
};

// SQLite's soft heap limit for the process.
void SetSqlMemoryLimit(DWORD bytes);

// The connection's last error message, for reports.
LPCWSTR SqlErrorText(sqlite3* db);

// The text with every apostrophe doubled, for pasting into an SQL literal.
std::u16string EscapeQuotes(LPCWSTR text);
