// The library's error policy and error log. Every SQLite failure arrives here. A failure of the
// one statement that caused it (a malformed query, a clash with a leftover table) fails only the
// call that ran it; a full medium or exhausted memory suspends writing; an error that means the
// database itself is broken or unwritable also closes the connection at the owner's next unlock.
#include <cstdio>

#include "library_error_policy.h"
#include "media_library.h"
#include "utf8_text.h"

namespace {

struct CodeAction {
  int code;
  LibraryErrorAction action;
};

// SQLite's primary result codes; any code not listed closes the connection.
constexpr CodeAction kPolicy[] = {
    {0, LibraryErrorAction::kLogOnly},              // the library's own messages
    {1, LibraryErrorAction::kLogOnly},              // SQL error: the statement was bad
    {2, LibraryErrorAction::kClose},                // internal error
    {3, LibraryErrorAction::kClose},                // access permission denied
    {4, LibraryErrorAction::kLogOnly},              // abort
    {5, LibraryErrorAction::kLogOnly},              // busy
    {6, LibraryErrorAction::kLogOnly},              // locked
    {7, LibraryErrorAction::kSuspendWhileFileExists},  // out of memory
    {8, LibraryErrorAction::kClose},                // read-only database
    {9, LibraryErrorAction::kLogOnly},              // interrupted
    {10, LibraryErrorAction::kClose},               // disk I/O error
    {11, LibraryErrorAction::kClose},               // the database is malformed
    {12, LibraryErrorAction::kLogOnly},             // unknown opcode
    {13, LibraryErrorAction::kSuspendWhileFileExists},  // the database or disk is full
    {14, LibraryErrorAction::kClose},               // unable to open the file
    {15, LibraryErrorAction::kClose},               // locking protocol
    {16, LibraryErrorAction::kLogOnly},             // empty
    {17, LibraryErrorAction::kLogOnly},             // the schema changed under a statement
    {18, LibraryErrorAction::kLogOnly},             // a value too big
    {19, LibraryErrorAction::kLogOnly},             // constraint violation
    {20, LibraryErrorAction::kLogOnly},             // datatype mismatch
    {21, LibraryErrorAction::kLogOnly},             // library misuse
    {22, LibraryErrorAction::kClose},               // large files unsupported
    {23, LibraryErrorAction::kLogOnly},             // authorisation denied
    {25, LibraryErrorAction::kLogOnly},             // bind index out of range
    {26, LibraryErrorAction::kClose},               // not a database
};

}  // namespace

LibraryErrorAction ErrorActionFor(int code) {
  const int primary = (code < 0 ? -code : code) & 0xFF;
  for (const CodeAction& row : kPolicy) {
    if (row.code == primary) return row.action;
  }
  return LibraryErrorAction::kClose;
}

void CMediaLibrary::ReportError(int code, LPCWSTR message, LPCWSTR sqlText) {
  if (!loggingOn_) return;
  const int c = code < 0 ? -code : code;
  LibraryErrorAction action = opening_ ? LibraryErrorAction::kLogOnly : ErrorActionFor(c);
  if (action == LibraryErrorAction::kSuspendWhileFileExists) {
    if (GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
      if (!writeSuspended_) {
        writeSuspended_ = true;
        ChangeMode(LIBMODE_SUSPENDED, LIBMODE_SUSPENDED);
        RaiseEvent(LIBEVENT_SUSPENDED, u"", nullptr);
      }
      action = LibraryErrorAction::kLogOnly;
    } else {
      action = LibraryErrorAction::kClose;  // the medium went away with the file
    }
  }
  if (action == LibraryErrorAction::kClose && !pendingClose_) {
    writeSuspended_ = true;
    ChangeMode(LIBMODE_SUSPENDED, LIBMODE_SUSPENDED);
    RaiseEvent(LIBEVENT_SUSPENDED, u"", nullptr);
    pendingClose_ = true;
    loggingOn_ = false;
  }
  WriteLog(c, message ? message : u"", sqlText ? sqlText : u"");
}

void CMediaLibrary::ReportErrorA(int code, const char* message, const char* sqlText) {
  const std::u16string wideMessage = Utf8ToWide(message ? message : "");
  const std::u16string wideSql = Utf8ToWide(sqlText ? sqlText : "");
  ReportError(code, wideMessage.c_str(), sqlText ? wideSql.c_str() : nullptr);
}

void CMediaLibrary::WriteLog(int code, std::u16string_view message, std::u16string_view sqlText) {
  if (log_ == INVALID_HANDLE_VALUE) return;
  char head[48];
  std::snprintf(head, sizeof head, "%u %d: ", static_cast<unsigned>(GetTickCount()), code);
  std::u16string line(head, head + std::char_traits<char>::length(head));
  for (std::u16string_view part : {message, sqlText}) {
    line += part;
    if (part.empty() || part.back() != u'\n') line += u"\r\n";
  }
  DWORD written = 0;
  WriteFile(log_, line.data(), static_cast<DWORD>(line.size() * sizeof(char16_t)), &written, nullptr);
}

void CMediaLibrary::SetLogFile(LPCWSTR path) {
  if (!path || !*path) return;
  CLibraryLock lock(this);
  if (log_ != INVALID_HANDLE_VALUE) CloseHandle(log_);
  log_ = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log_ == INVALID_HANDLE_VALUE) return;
  static constexpr BYTE kByteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(log_, kByteOrderMark, sizeof kByteOrderMark, &written, nullptr);
}
