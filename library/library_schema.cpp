// Setting up a connection and checking its schema. The scripts are the program's TEXT resources
// 107 (create), 108 (drop) and 109 (temporary tag tables), narrow text without a terminator.
#include "library_schema.h"

#include <string>

#include "damaged_library.h"
#include "resources/library_resources.h"
#include "sql_database.h"
#include "sql_functions.h"

namespace {

struct Pragma {
  const char* set;
  const char16_t* read;  // when given, the setting is made only if the file holds another value
  int value;
};

// Setting auto_vacuum rewrites the file's header even when it holds that value already; a file
// that is opened only to be checked (and may be damaged) must be left as it was.
constexpr Pragma kPragmas[] = {
    {"PRAGMA page_size = 2048;", nullptr, 0},
    {"PRAGMA synchronous = FULL;", nullptr, 0},
    {"PRAGMA auto_vacuum = INCREMENTAL;", u"PRAGMA auto_vacuum;", 2},
    {"PRAGMA temp_store = MEMORY;", nullptr, 0},
};

// The query engine's working tables, one integer key column each.
constexpr const char* kMidTables[] = {
    "GVSC",     "GVMM",     "results",  "groupdst0", "groupdst1", "groupdst2", "groupdst3",
    "funnela0", "funnela1", "funnela2", "funnela3",  "funnelb0",  "funnelb1",  "funnelb2",
    "funnelb3", "funnelc0", "funnelc1", "funnelc2",  "funnelc3",
};
constexpr const char* kStringMatchTables[] = {"strmatch0", "strmatch1", "strmatch2", "strmatch3"};

int ConfigValue(CSqlDatabase& db, LPCWSTR name, bool* found) {
  std::u16string sql = u"select value from config where name='";
  sql += name;
  sql += u"';";
  CSqlQuery query = db.ExecQuery(sql.c_str());
  *found = !query.Eof();
  return *found ? query.GetInt(0, 0) : 0;
}

// Failures that say the file is out of reach now rather than unusable: never a reason to delete.
bool IsTransient(int code) {
  constexpr int kTransient[] = {3 /*perm*/,      5 /*busy*/,     6 /*locked*/,   7 /*nomem*/, 8 /*readonly*/,
                                9 /*interrupt*/, 10 /*ioerr*/,   13 /*full*/,    14 /*cantopen*/,
                                15 /*protocol*/, 23 /*auth*/};
  for (int c : kTransient) {
    if ((code & 0xFF) == c) return true;
  }
  return false;
}

bool FileExists(LPCWSTR path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

bool SetConfig(CSqlDatabase& db, LPCWSTR sql, int value) {
  CSqlStatement statement = db.CompileStatement(sql);
  if (!statement.IsValid() || statement.BindInt(1, value) != 0) return false;
  return statement.Execute() >= 0;
}

}  // namespace

void SetUpConnection(CSqlDatabase& db, ISqlFunctionHost* host) {
  db.ExecQuery(u"PRAGMA locking_mode = EXCLUSIVE;");
  for (const Pragma& pragma : kPragmas) {
    if (!pragma.read || db.ExecScalar(pragma.read) != pragma.value) db.Exec(pragma.set);
  }
  // The lock is taken now and kept, not at the first write: no other program uses the file
  // while the library has it open, reading included.
  db.Exec("begin exclusive transaction; commit transaction;");
  RegisterLibraryFunctions(db, host);
  db.BeginTransaction();
  for (const char* table : kMidTables) {
    db.Exec(("create temporary table " + std::string(table) + " (mid INTEGER PRIMARY KEY);").c_str());
  }
  for (const char* table : kStringMatchTables) {
    db.Exec(("create temporary table " + std::string(table) + " (strid INTEGER PRIMARY KEY);").c_str());
  }
  db.CommitTransaction();
}

bool CheckSchema(CSqlDatabase& db, HMODULE instance, int dataVersion) {
  db.ClearLastError();
  if (db.TableExists(u"config")) {
    bool found = false;
    const int schema = ConfigValue(db, u"schema", &found);
    if (found && schema > kLibrarySchemaNumber) return false;
    if (found && schema == kLibrarySchemaNumber) {
      const int version = ConfigValue(db, u"version", &found);
      if (found && version == dataVersion) return true;
    }
  }
  // Settings that can't be read are damage, not an older schema: rebuilding in place would
  // drop every entry that might still be recovered.
  if (db.LastErrorCode() != 0) return false;
  if (!RunSchemaScript(db, instance, IDR_LIBRARY_SCHEMA_DROP)) return false;
  if (!RunSchemaScript(db, instance, IDR_LIBRARY_SCHEMA_CREATE)) return false;
  if (!SetConfig(db, u"insert or replace into config values ('schema', ?);", kLibrarySchemaNumber)) return false;
  SetConfig(db, u"insert or replace into config values ('version', ?);", dataVersion);
  return true;
}

bool OpenWithRecovery(CSqlDatabase& db, LPCWSTR path, HMODULE instance, int dataVersion, ISqlFunctionHost* host,
                      ISqlErrorSink* sink) {
  db.ClearLastError();
  if (!db.Open(path)) {
    if (FileExists(path) && !IsTransient(db.LastErrorCode())) MoveDamagedLibraryAside(path, sink);
    return false;
  }
  SetUpConnection(db, host);
  db.ClearLastError();
  if (CheckSchema(db, instance, dataVersion)) return true;
  db.Close();
  if (IsTransient(db.LastErrorCode())) return false;
  if (sink) sink->ReportErrorA(0, "schema update failed. creating new database.", nullptr);
  if (!MoveDamagedLibraryAside(path, sink)) return false;
  if (!db.Open(path)) return false;
  SetUpConnection(db, host);
  if (CheckSchema(db, instance, dataVersion)) return true;
  db.Close();
  return false;
}

bool RunSchemaScript(CSqlDatabase& db, HMODULE instance, int id) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), u"TEXT");
  HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return false;
  const std::string script(bytes, SizeofResource(instance, resource));  // terminated by the copy
  if (db.Exec(script.c_str()) >= 0) return true;
  // A script stopped half way must not leave its own transaction open.
  if (db.TransactionDepth() == 0) db.AbandonTransaction();
  return false;
}
