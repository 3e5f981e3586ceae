// The database the library makes and keeps: exactly the schema of the create script with its
// page settings, the rebuild of older, newer and foreign databases prepared with the sqlite3
// shell, the tables each connection gets, and a file in another program's hands left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "library_fixture.h"
#include "library_schema.h"
#include "sql_database.h"

namespace {

using namespace libtest;

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// `.schema` of a database made by running the create script into an empty file.
std::string ScriptSchema() {
  const fs::path fresh = fs::temp_directory_path() / ("zblib-schema-" + std::to_string(::getpid()) + ".db");
  fs::remove(fresh);
  Shell(fresh, ReadScript("schema_create.sql"));
  const std::string schema = Shell(fresh, ".schema");
  fs::remove(fresh);
  return schema;
}

class LibrarySchemaTest : public LibraryTest {};

TEST_F(LibrarySchemaTest, ANewDatabaseHasExactlyTheCreateScriptsSchema) {
  HRESULT started = E_FAIL;
  OpenLibrary(kPath, &started);
  EXPECT_EQ(started, S_OK);
  CloseLibrary();
  const std::string schema = Shell(HostDb(), ".schema");
  EXPECT_NE(schema.find("CREATE TABLE media"), std::string::npos);
  EXPECT_EQ(schema, ScriptSchema());
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA page_size;"), "2048");
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA auto_vacuum;"), "2") << "incremental";
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
  EXPECT_EQ(ShellValue(HostDb(), "select name || '=' || value from config order by name;"), "schema=23\nversion=7");
}

struct PreparedCase {
  const char* name;
  std::string sql;    // run by the shell into the file before the library opens it
  bool kept;          // the row of "\kept.mp3" survives
  const char* extra;  // a table of its own that the drop script leaves
};

std::string CurrentSchemaWith(const char* config) {
  return ReadScript("schema_create.sql") + config +
         "insert into media values (NULL, '\\kept.mp3', 1, 10, 0, 0, datetime('now'));";
}

TEST_F(LibrarySchemaTest, OlderNewerAndForeignDatabasesAreRebuilt) {
  const PreparedCase cases[] = {
      {"schema 23, data version 7", CurrentSchemaWith("insert into config values ('schema', 23); insert into config values ('version', 7);"), true, ""},
      {"schema 23, data version 6", CurrentSchemaWith("insert into config values ('schema', 23); insert into config values ('version', 6);"), false, ""},
      {"schema 23 without a data version", CurrentSchemaWith("insert into config values ('schema', 23);"), false, ""},
      {"schema 22", CurrentSchemaWith("insert into config values ('schema', 22); insert into config values ('version', 7);"), false, ""},
      {"schema 24", CurrentSchemaWith("insert into config values ('schema', 24); insert into config values ('version', 7);"), false, ""},
      {"a config table without the schema", CurrentSchemaWith(""), false, ""},
      {"an earlier schema's leftovers",
       "create table config (name VARCHAR, value INTEGER, UNIQUE(name)); insert into config values ('schema', 20);"
       "create table media (mid INTEGER PRIMARY KEY, source VARCHAR);"
       "create table str_data (strid INTEGER PRIMARY KEY, value VARCHAR);"
       "create index str_strid_idx on str_data(strid);"
       "create trigger str_data_removed after delete on str_data begin select 1; end;"
       "insert into media values (1, '\\kept.mp3');",
       false, ""},
      {"somebody else's database", "create table notes (text VARCHAR); insert into notes values ('mine');", false, "notes"},
  };
  for (const PreparedCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(HostDb());
    Shell(HostDb(), c.sql);
    HRESULT started = E_FAIL;
    OpenLibrary(kPath, &started);
    EXPECT_EQ(started, S_OK);
    EXPECT_EQ(Scalar(u"select count(*) from media where source='\\kept.mp3';"), c.kept ? 1 : 0);
    CloseLibrary();
    // What the file holds now is the current schema, whatever it held before.
    EXPECT_EQ(SortedLines(ShellValue(HostDb(), "select name from sqlite_master where type='table';")),
              SortedLines(std::string("blob_data\nblob_tags\nconfig\ndate_tags\nguid_tags\nint_tags\nmedia\nreal_tags\n"
                                      "sqlite_sequence\nstr_data\nstr_tags\n") + c.extra));
    EXPECT_EQ(ShellValue(HostDb(), "select name || '=' || value from config order by name;"), "schema=23\nversion=7");
  }
}

TEST_F(LibrarySchemaTest, ARebuiltDatabaseHasTheScriptsTablesTriggersAndIndexes) {
  Shell(HostDb(), CurrentSchemaWith("insert into config values ('schema', 22);") +
                      "create index str_strid_idx on str_data(strid);");
  OpenLibrary();
  CloseLibrary();
  EXPECT_EQ(SortedLines(Shell(HostDb(), ".schema")), SortedLines(ScriptSchema()));
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
}

TEST_F(LibrarySchemaTest, AFileThatIsNoDatabaseIsReplacedAndTheReasonLogged) {
  std::ofstream(HostDb(), std::ios::binary) << std::string(3000, 'x');
  library_ = new CMediaLibrary(GetModuleHandleW(nullptr), &sink_);
  library_->SetLogFile(u"\\Library\\errors.log");
  EXPECT_EQ(library_->Start(kPath, 7), S_OK);
  EXPECT_EQ(Scalar(u"select value from config where name='schema';"), 23);
  // The failures met while recovering belong to the recovery: the new database is writable.
  MEDIALIBRARYSTATUS status{sizeof status, 0, 9, 9};
  library_->GetStatus(&status);
  EXPECT_EQ(status.open, 1u);
  EXPECT_EQ(status.suspended, 0u);
  Exec("insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, 0);");
  EXPECT_EQ(library_->MarkInvalid(u"\\a.mp3", FALSE), S_OK);
  EXPECT_EQ(Scalar(u"select valid from media;"), 0);
  CloseLibrary();
  std::ifstream in(device_.Host("Library/errors.log"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  std::u16string text(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  EXPECT_NE(text.find(u" 0: schema update failed. creating new database.\r\n"), std::u16string::npos) << WideToUtf8(text);
}

TEST_F(LibrarySchemaTest, EveryConnectionGetsTheQueryAndTemporaryTagTables) {
  OpenLibrary();
  // Nineteen id tables, four string-match tables and six temporary tag tables.
  EXPECT_EQ(Scalar(u"select count(*) from sqlite_temp_master where type='table';"), 29);
  for (const char16_t* table : {u"GVSC", u"GVMM", u"results", u"groupdst3", u"funnela0", u"funnelb2", u"funnelc3"}) {
    EXPECT_EQ(Scalar(u"select count(*) from pragma_table_info('" + std::u16string(table) + u"') where name='mid' and pk=1;"), 1)
        << WideToUtf8(table);
  }
  EXPECT_EQ(Scalar(u"select count(*) from pragma_table_info('strmatch1') where name='strid' and pk=1;"), 1);
  // Each temporary tag table has its main table's columns.
  for (const char16_t* table : {u"int_tags", u"real_tags", u"guid_tags", u"date_tags", u"str_tags", u"blob_tags"}) {
    const std::u16string columns = u"select group_concat(name || ' ' || type, ',') from pragma_table_info('";
    const std::u16string main = columns + table + u"')";
    const std::u16string temp = columns + u"temp_" + table + u"')";
    EXPECT_EQ(Scalar(u"select (" + main + u") = (" + temp + u") and (" + main + u") is not null;"), 1) << WideToUtf8(table);
  }
}

// Another program holding the file keeps it busy; the library must not take that for a broken
// database and delete it.
TEST_F(LibrarySchemaTest, AFileHeldByAnotherProgramIsNotDeleted) {
  Shell(HostDb(), CurrentSchemaWith("insert into config values ('schema', 23); insert into config values ('version', 7);"));
  {
    ProgramHoldingTheFile holder(HostDb());
    ASSERT_TRUE(holder.Holds());
    CSqlDatabase db(nullptr);
    db.SetBusyTimeout(100);
    EXPECT_FALSE(OpenWithRecovery(db, kPath, GetModuleHandleW(nullptr), 7, nullptr, nullptr));
    EXPECT_FALSE(db.IsOpen());
  }
  EXPECT_EQ(ShellValue(HostDb(), "select source from media;"), "\\kept.mp3");
}

}  // namespace
