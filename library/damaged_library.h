// Keeping a library that cannot be used. Its file is moved aside under a numbered ".bad" name
// beside it (the registry keeps its damaged file the same way), so one bad page costs a fresh
// library but never the entries somebody may still recover from the old file.
#pragma once
#include <windows.h>

class ISqlErrorSink;

// Damaged copies kept beside the library: "metadata.db.bad", "metadata.db.bad.1", ...
constexpr int kKeptDamagedLibraries = 3;

// Moves the database at `path` (and its rollback journal) to the first free copy name; when
// every name is taken the oldest copy goes and the others move up one. A read-only file is the
// user's to keep and stays where it is. Each step is reported to `sink` (code 0) and the debug
// output. True when nothing is left at `path`; false when the file is still there and must not
// be replaced.
bool MoveDamagedLibraryAside(LPCWSTR path, ISqlErrorSink* sink);
