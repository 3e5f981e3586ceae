// The database side of opening the library: the settings every connection gets, the library's
// SQL functions and temporary tables, and the schema check that rebuilds an old or foreign
// database from the schema scripts carried as TEXT resources.
#pragma once
#include <windows.h>

class CSqlDatabase;
class ISqlErrorSink;
class ISqlFunctionHost;

constexpr int kLibrarySchemaNumber = 23;

// Pragmas (exclusive locking held from the start, 2048-byte pages, full syncs, incremental
// auto-vacuum, temporary storage in memory), the SQL functions and the query engine's tables.
void SetUpConnection(CSqlDatabase& db, ISqlFunctionHost* host);

// True when the database holds schema 23 with this data version, or was rebuilt to it; false
// when it holds a newer schema, can't be read, or the rebuild failed.
bool CheckSchema(CSqlDatabase& db, HMODULE instance, int dataVersion);

// Opens the database file and readies it, with the recovery for a file that cannot be used: an
// unusable database is moved aside under a ".bad" name and made anew (reported to `sink` with
// code 0), but a file that is only out of reach now (held by another program, read-only, the
// medium full or gone) is left alone, and so is one that can't be moved. False leaves `db` closed.
bool OpenWithRecovery(CSqlDatabase& db, LPCWSTR path, HMODULE instance, int dataVersion, ISqlFunctionHost* host,
                      ISqlErrorSink* sink);

// Runs a TEXT resource of the module as a script; true when it ran without error.
bool RunSchemaScript(CSqlDatabase& db, HMODULE instance, int id);
