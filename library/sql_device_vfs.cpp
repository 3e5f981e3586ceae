// The device VFS: SQLite's default VFS with device paths resolved at the one point where SQLite
// makes a file name absolute, and temporary files named next to the database first and then by
// the library's callback. Everything else is the default VFS unchanged; its calls get their own
// VFS record, which carries their private data.
#include "sql_device_vfs.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "device/paths.h"
#include "device/text.h"

namespace {

constexpr int kTempNameBytes = 1024;  // kept with each open temporary file
constexpr int kProposedNameBytes = 260;

struct DeviceVfs {
  sqlite3_vfs vfs;
  sqlite3_vfs* base;
  std::mutex lock;
  std::string prefix = "etilqs_";
  TempFileNamer namer = nullptr;
  std::string databaseFolder;  // device path of the last database's folder, UTF-8
};

DeviceVfs& State() {
  static DeviceVfs state{};
  return state;
}

sqlite3_vfs* Base() { return State().base; }

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  const std::u16string device = zb::FromUtf8(name);
  std::optional<std::filesystem::path> host = zb::device::ToHost(device);
  if (!host) return SQLITE_CANTOPEN;
  {
    DeviceVfs& s = State();
    std::lock_guard guard(s.lock);
    const size_t slash = device.find_last_of(u"\\/");
    s.databaseFolder = zb::ToUtf8(slash == std::u16string::npos ? std::u16string() : device.substr(0, slash));
  }
  return Base()->xFullPathname(Base(), host->c_str(), size, out);
}

// A temporary file: proposed beside the database, renamed by the library, made where that lands.
int OpenTemp(sqlite3_file* file, int flags, int* outFlags) {
  DeviceVfs& s = State();
  std::string folder, prefix;
  TempFileNamer namer;
  {
    std::lock_guard guard(s.lock);
    folder = s.databaseFolder;
    prefix = s.prefix;
    namer = s.namer;
  }
  if (!namer) return Base()->xOpen(Base(), nullptr, file, flags, outFlags);
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char random[16];
  Base()->xRandomness(Base(), sizeof random, reinterpret_cast<char*>(random));
  std::string proposed = folder + "\\" + prefix;
  for (unsigned char r : random) proposed += kChars[r % (sizeof kChars - 1)];
  char buffer[kProposedNameBytes] = {};
  std::strncpy(buffer, proposed.c_str(), sizeof buffer - 1);
  namer(buffer, sizeof buffer);
  std::optional<std::filesystem::path> host = zb::device::ToHost(zb::FromUtf8(buffer));
  if (!host || host->native().size() >= kTempNameBytes) return SQLITE_CANTOPEN;
  // The default VFS may keep the name while the file is open: it lives in the file's own tail.
  char* name = reinterpret_cast<char*>(file) + Base()->szOsFile;
  std::memset(name, 0, kTempNameBytes);
  std::memcpy(name, host->c_str(), host->native().size());
  return Base()->xOpen(Base(), name, file, flags | SQLITE_OPEN_CREATE | SQLITE_OPEN_DELETEONCLOSE, outFlags);
}

// A database file marked read-only is opened for reading, whoever runs the player: the
// default VFS only falls back to reading when the host refuses to write, which it never does
// for the superuser, and a read-only library must never be rebuilt or replaced.
bool MarkedReadOnly(const char* name) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(name, ec);
  return fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  if (!name) return OpenTemp(file, flags, outFlags);
  if ((flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READWRITE) && MarkedReadOnly(name)) {
    flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
  }
  return Base()->xOpen(Base(), name, file, flags, outFlags);
}

int Delete(sqlite3_vfs*, const char* name, int sync) { return Base()->xDelete(Base(), name, sync); }
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return Base()->xAccess(Base(), name, flags, out); }
void* DlOpen(sqlite3_vfs*, const char* name) { return Base()->xDlOpen(Base(), name); }
void DlError(sqlite3_vfs*, int size, char* out) { Base()->xDlError(Base(), size, out); }
void (*DlSym(sqlite3_vfs*, void* library, const char* symbol))(void) { return Base()->xDlSym(Base(), library, symbol); }
void DlClose(sqlite3_vfs*, void* library) { Base()->xDlClose(Base(), library); }
int Randomness(sqlite3_vfs*, int size, char* out) { return Base()->xRandomness(Base(), size, out); }
int SleepFor(sqlite3_vfs*, int microseconds) { return Base()->xSleep(Base(), microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return Base()->xCurrentTime(Base(), now); }
int LastError(sqlite3_vfs*, int size, char* out) { return Base()->xGetLastError(Base(), size, out); }
int CurrentTime64(sqlite3_vfs*, sqlite3_int64* now) { return Base()->xCurrentTimeInt64(Base(), now); }

}  // namespace

const char* DeviceVfsName() {
  static std::once_flag once;
  std::call_once(once, [] {
    sqlite3_initialize();
    DeviceVfs& s = State();
    s.base = sqlite3_vfs_find(nullptr);
    sqlite3_vfs& v = s.vfs;
    v.iVersion = 2;
    v.szOsFile = s.base->szOsFile + kTempNameBytes;
    v.mxPathname = s.base->mxPathname;
    v.zName = "zbdevice";
    v.xOpen = Open;
    v.xDelete = Delete;
    v.xAccess = Access;
    v.xFullPathname = FullPathname;
    v.xDlOpen = DlOpen;
    v.xDlError = DlError;
    v.xDlSym = DlSym;
    v.xDlClose = DlClose;
    v.xRandomness = Randomness;
    v.xSleep = SleepFor;
    v.xCurrentTime = CurrentTime;
    v.xGetLastError = LastError;
    v.xCurrentTimeInt64 = CurrentTime64;
    sqlite3_vfs_register(&v, 0);
  });
  return "zbdevice";
}

void SetTempFileNaming(const char* prefix, TempFileNamer namer) {
  DeviceVfs& s = State();
  std::lock_guard guard(s.lock);
  s.prefix = prefix ? prefix : "etilqs_";
  s.namer = namer;
}
