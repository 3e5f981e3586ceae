// Moving the library's database to another folder: the connection closes, a second thread
// renames the file or, across volumes or over an existing file, copies it; the caller's
// progress is fed from the sizes every 500 ms, and the library opens again where the file is.
// A copy is written under a temporary name, checked byte for byte and only then put in place;
// the source goes last, so a move that fails half way leaves the library where it was.
#include <memory>

#include "media_library.h"
#include "wide_text.h"

namespace {

constexpr DWORD kPollMs = 500;
constexpr DWORD kCompareChunk = 64 * 1024;

struct FileMove {
  std::u16string from;
  std::u16string to;
  std::u16string partial;  // the copy while it is being written
  bool moved = false;
};

bool FileSize(const std::u16string& path, ULONGLONG* size) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  *size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return true;
}

bool SameBytes(const std::u16string& a, const std::u16string& b) {
  HANDLE first = CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE second = CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  bool same = first != INVALID_HANDLE_VALUE && second != INVALID_HANDLE_VALUE;
  std::unique_ptr<BYTE[]> one(new BYTE[kCompareChunk]), two(new BYTE[kCompareChunk]);
  while (same) {
    DWORD readOne = 0, readTwo = 0;
    same = ReadFile(first, one.get(), kCompareChunk, &readOne, nullptr) &&
           ReadFile(second, two.get(), kCompareChunk, &readTwo, nullptr) && readOne == readTwo &&
           std::equal(one.get(), one.get() + readOne, two.get());
    if (readOne == 0) break;
  }
  if (first != INVALID_HANDLE_VALUE) CloseHandle(first);
  if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
  return same;
}

// Copies the source beside the destination, checks the copy, puts it in place, and only then
// deletes the source.
bool CopyThenDelete(const FileMove& move) {
  DeleteFileW(move.partial.c_str());
  if (!CopyFileW(move.from.c_str(), move.partial.c_str(), FALSE) || !SameBytes(move.from, move.partial)) {
    DeleteFileW(move.partial.c_str());
    return false;
  }
  DeleteFileW(move.to.c_str());
  if (!MoveFileW(move.partial.c_str(), move.to.c_str())) {
    DeleteFileW(move.partial.c_str());
    return false;
  }
  DeleteFileW(move.from.c_str());
  return true;
}

DWORD WINAPI MoveMain(LPVOID parameter) {
  auto* move = static_cast<FileMove*>(parameter);
  move->moved = MoveFileW(move->from.c_str(), move->to.c_str()) || CopyThenDelete(*move);
  return 0;
}

// Moves the file on a second thread, reporting 10 to 80 from the sizes while it runs.
bool MoveFileWithProgress(FileMove* move, LibraryMoveProgress progress, void* context) {
  ULONGLONG sourceSize = 0;
  FileSize(move->from, &sourceSize);
  HANDLE thread = CreateThread(nullptr, 0, MoveMain, move, 0, nullptr);
  if (!thread) {
    MoveMain(move);
  } else {
    while (WaitForSingleObject(thread, kPollMs) != WAIT_OBJECT_0) {
      ULONGLONG written = 0;
      if (progress && sourceSize > 0 && (FileSize(move->partial, &written) || FileSize(move->to, &written)) &&
          written <= sourceSize) {
        progress(static_cast<int>(10 + written * 70 / sourceSize), context);
      }
    }
    CloseHandle(thread);
  }
  if (progress) progress(80, context);
  return move->moved;
}

}  // namespace

int CMediaLibrary::MoveLibrary(LPCWSTR newPath, LibraryMoveProgress progress, void* context) {
  if (!newPath || !*newPath) return 0;
  auto report = [&](int percent) {
    if (progress) progress(percent, context);
  };
  report(0);
  bool success = false;
  {
    CLibraryLock lock(this);
    if (zblib::EqualNoCase(newPath, path_)) {
      report(100);  // already there: nothing else happens
      return 1;
    }
    if (db_) {
      report(5);
      DWORD batches = 0;
      EndBatches(&batches);
      report(10);
      FinalizeStatements();
      db_->Close();
      FileMove move{path_, newPath, std::u16string(newPath) + u".moving"};
      bool moved = true;
      if (GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        moved = MoveFileWithProgress(&move, progress, context);
        // A journal left beside a cleanly closed database holds nothing to replay.
        if (moved) DeleteFileW((path_ + u"-journal").c_str());
      }
      if (moved) {
        writeSuspended_ = false;
        path_ = newPath;
      }
      report(80);
      success = OpenDatabase(false) && moved;
      report(90);
      ChangeMode(batches, 0);
    } else {
      EndBatches(nullptr);
      path_ = newPath;
      report(10);
      success = OpenDatabase(true);
      report(80);
      if (success && scanSink_) {
        scanSink_->OnLibraryOpened();
        if (writeSuspended_) scanSink_->OnLibraryUnavailable();
      }
      if (success) invalidations_ = 0;
      report(90);
    }
  }
  if (success && !writeSuspended_) {
    RaiseEvent(LIBEVENT_OPENED, u"", nullptr);
    ChangeMode(0, LIBMODE_SUSPENDED);
  }
  report(100);
  return success ? 1 : 0;
}
