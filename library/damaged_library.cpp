// Moving an unusable library aside before a new one is made in its place. Every step that fails
// leaves the file where it is: a library that cannot be kept is not replaced either.
#include "damaged_library.h"

#include <string>

#include "sql_database.h"
#include "utf8_text.h"

namespace {

std::u16string CopyName(const std::u16string& path, int n) {
  return path + u".bad" + (n == 0 ? std::u16string() : u"." + Utf8ToWide(std::to_string(n)));
}

std::u16string Journal(const std::u16string& path) { return path + u"-journal"; }

bool Exists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Log(ISqlErrorSink* sink, const std::u16string& text) {
  if (sink) sink->ReportError(0, text.c_str(), nullptr);
  OutputDebugStringW((u"Library: " + text + u"\r\n").c_str());
}

std::u16string WithError(const std::u16string& text) {
  return text + u" (error " + Utf8ToWide(std::to_string(GetLastError())) + u")";
}

// A database file and its journal belong together: SQLite finds the journal by the file's name.
bool MoveWithJournal(ISqlErrorSink* sink, const std::u16string& from, const std::u16string& to) {
  if (!MoveFileW(from.c_str(), to.c_str())) {
    Log(sink, WithError(u"cannot move " + from + u" to " + to));
    return false;
  }
  if (Exists(Journal(from)) && !MoveFileW(Journal(from).c_str(), Journal(to).c_str())) {
    Log(sink, WithError(u"cannot move " + Journal(from) + u" to " + Journal(to)));
  }
  return true;
}

bool DeleteWithJournal(ISqlErrorSink* sink, const std::u16string& path) {
  if (!DeleteFileW(path.c_str())) {
    Log(sink, WithError(u"cannot delete " + path));
    return false;
  }
  DeleteFileW(Journal(path).c_str());
  return true;
}

// Makes the last copy name free: the oldest copy goes, the newer ones move up one.
bool DropOldestCopy(ISqlErrorSink* sink, const std::u16string& path) {
  Log(sink, u"dropping the oldest damaged library " + CopyName(path, 0));
  if (!DeleteWithJournal(sink, CopyName(path, 0))) return false;
  for (int n = 1; n < kKeptDamagedLibraries; ++n) {
    if (!MoveWithJournal(sink, CopyName(path, n), CopyName(path, n - 1))) return false;
  }
  return true;
}

}  // namespace

bool MoveDamagedLibraryAside(LPCWSTR path, ISqlErrorSink* sink) {
  const std::u16string file(path);
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    Log(sink, u"the unusable library " + file + u" is read-only; it is left as it is");
    return false;
  }
  int slot = 0;
  while (slot < kKeptDamagedLibraries && Exists(CopyName(file, slot))) ++slot;
  if (slot == kKeptDamagedLibraries) {
    if (!DropOldestCopy(sink, file)) return false;
    slot = kKeptDamagedLibraries - 1;
  }
  if (!MoveWithJournal(sink, file, CopyName(file, slot))) {
    Log(sink, u"the unusable library " + file + u" is left as it is");
    return false;
  }
  Log(sink, u"kept the unusable library as " + CopyName(file, slot));
  return true;
}
