// What the library object's tests share: a fresh device with the library's folder, the sqlite3
// shell run on the database's host file, a scan sink and an event recorder that remember what
// they were told, and a library opened the way the player opens it.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media_library.h"
#include "testing/test_device.h"
#include "utf8_text.h"

namespace libtest {

namespace fs = std::filesystem;

// Runs the sqlite3 shell on a host file with `sql` as its input; its output (stdout and stderr).
inline std::string Shell(const fs::path& db, const std::string& sql, int* status = nullptr) {
  const fs::path script = fs::temp_directory_path() / ("zblib-shell-" + std::to_string(::getpid()) + ".sql");
  std::ofstream(script) << sql << "\n";
  const std::string command = std::string(SQLITE3_SHELL) + " -batch '" + db.string() + "' < '" + script.string() + "' 2>&1";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = ::pclose(pipe);
    if (status) *status = rc;
  }
  fs::remove(script);
  return out;
}

// The shell's answer with the final line feed dropped.
inline std::string ShellValue(const fs::path& db, const std::string& sql) {
  std::string out = Shell(db, sql);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Another program (the sqlite3 shell) holding the database's exclusive lock while it lives.
class ProgramHoldingTheFile {
 public:
  explicit ProgramHoldingTheFile(const fs::path& db) : db_(db) {
    const std::string command = std::string(SQLITE3_SHELL) + " -batch '" + db.string() + "' > /dev/null";
    holder_ = ::popen(command.c_str(), "w");
    if (!holder_) return;
    std::fputs("PRAGMA locking_mode = EXCLUSIVE;\nbegin exclusive;\nselect 'locked';\n", holder_);
    std::fflush(holder_);
  }
  ~ProgramHoldingTheFile() {
    if (holder_) ::pclose(holder_);
  }
  ProgramHoldingTheFile(const ProgramHoldingTheFile&) = delete;
  ProgramHoldingTheFile& operator=(const ProgramHoldingTheFile&) = delete;

  // Waits (bounded) until the shell has the lock: a write of ours would then be busy.
  bool Holds() const {
    for (int i = 0; holder_ && i < 100; ++i) {
      int status = 0;
      if (Shell(db_, ".timeout 0\nbegin immediate;", &status).find("locked") != std::string::npos) return true;
      ::usleep(50000);
    }
    return false;
  }

 private:
  fs::path db_;
  FILE* holder_ = nullptr;
};

inline std::string ReadScript(const char* name) {
  std::ifstream in(fs::path(LIBRARY_SCHEMA_DIR) / name);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scan sink with a chosen pass number and mark that lists the notifications it got.
class RecordingSink : public ILibraryScanSink {
 public:
  DWORD pass = 0;
  LONG mark = 2;
  std::vector<std::string> calls;

  STDMETHODIMP QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }  // owned by the test
  STDMETHODIMP_(DWORD) GetScanPass() override { return pass; }
  STDMETHODIMP_(LONG) GetMark() override { return mark; }
  STDMETHODIMP_(void) Reserved() override {}
  STDMETHODIMP_(void) OnLibraryOpened() override { calls.push_back("opened"); }
  STDMETHODIMP_(void) OnLibraryAvailable() override { calls.push_back("available"); }
  STDMETHODIMP_(void) OnLibraryUnavailable() override { calls.push_back("unavailable"); }

  ULONG refs = 1;
};

struct RaisedEvent {
  DWORD event;
  std::u16string text;
  DWORD tag;
  DWORD instance;
  std::u16string value;
};

// Listens to events through Advise; each raise is one entry.
struct EventRecorder {
  std::vector<RaisedEvent> raised;

  static void Callback(DWORD event, DWORD_PTR context, LPCWSTR text, const LIBEVENTINFO* info) {
    auto* self = reinterpret_cast<EventRecorder*>(context);
    self->raised.push_back({event, text ? text : u"", info ? info->tag : 0, info ? info->instance : 0,
                            info && info->valueText ? info->valueText : u""});
  }
  void Listen(CMediaLibrary* library, DWORD event, DWORD filter = 0) {
    ASSERT_EQ(library->Advise(event, filter, Callback, reinterpret_cast<DWORD_PTR>(this)), S_OK);
  }
  std::vector<DWORD> Events() const {
    std::vector<DWORD> events;
    for (const RaisedEvent& e : raised) events.push_back(e.event);
    return events;
  }
};

// A fresh device whose library lives in "\Library\metadata.db".
class LibraryTest : public ::testing::Test {
 protected:
  static constexpr char16_t kPath[] = u"\\Library\\metadata.db";

  void SetUp() override { fs::create_directories(device_.Host("Library")); }
  void TearDown() override { CloseLibrary(); }

  fs::path HostDb() const { return device_.Host("Library/metadata.db"); }

  // A new library object started on kPath (or `path`); the result of Start in *started.
  CMediaLibrary* OpenLibrary(const char16_t* path = kPath, HRESULT* started = nullptr) {
    CloseLibrary();
    library_ = new CMediaLibrary(GetModuleHandleW(nullptr), &sink_);
    const HRESULT hr = library_->Start(path, 7);
    if (started) *started = hr;
    return library_;
  }

  void CloseLibrary() {
    if (!library_) return;
    library_->Close(FALSE);
    library_->Release();
    library_ = nullptr;
  }

  // Runs SQL on the open library's connection under its lock; the changed-row count.
  int Exec(const std::string& sql) {
    CLibraryLock lock(library_);
    return library_->Database() ? library_->Database()->Exec(sql.c_str()) : -1;
  }
  int Scalar(const std::u16string& sql) {
    CLibraryLock lock(library_);
    return library_->Database() ? library_->Database()->ExecScalar(sql.c_str()) : -1;
  }

  zb::testing::TestDevice device_;
  RecordingSink sink_;
  CMediaLibrary* library_ = nullptr;
};

}  // namespace libtest
