// zonbrelwakeup: the small program the system starts when the device wakes up (older systems
// can do no more). It removes its own entry from the notification database, finds the player's
// window by the class name on its command line and posts it 1357 with its own process id, so
// that the player can wait for it to end and register it again.
#include <windbase.h>
#include <windows.h>

namespace {

constexpr UINT kWakeupMessage = 1357;
constexpr WORD kApplicationProperty = 1;

bool IsOwnEntry(const WCHAR* path, const WCHAR* self) {
  if (self[0] == u'\\' && _wcsicmp(path, self) == 0) return true;
  return wcsstr(path, self) != nullptr;
}

void RemoveOwnEntries(const WCHAR* self) {
  CEOID oid = 0;
  WCHAR name[] = u"DB_notify_events";
  HANDLE database = CeOpenDatabase(&oid, name, 0, 0, nullptr);
  if (database == INVALID_HANDLE_VALUE) return;
  for (;;) {
    WORD count = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    const CEOID record = CeReadRecordProps(database, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size);
    if (!record) break;
    const auto* values = reinterpret_cast<const CEPROPVAL*>(buffer);
    for (WORD i = 0; i < count; ++i) {
      if (HIWORD(values[i].propid) != kApplicationProperty || LOWORD(values[i].propid) != CEVT_LPWSTR) continue;
      if (values[i].val.lpwstr && IsOwnEntry(values[i].val.lpwstr, self)) {
        CeDeleteRecord(database, record);
        break;
      }
    }
    LocalFree(buffer);
    DWORD index = 0;
    if (!CeSeekDatabase(database, CEDB_SEEK_CURRENT, 1, &index)) break;
  }
  CloseHandle(database);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
  if (!commandLine || !*commandLine) return 0;
  WCHAR self[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, self, MAX_PATH) && self[0]) RemoveOwnEntries(self);
  HWND player = FindWindowW(commandLine, nullptr);
  if (!player || !PostMessageW(player, kWakeupMessage, 0, static_cast<LPARAM>(GetCurrentProcessId())))
    OutputDebugStringW(u"zonbrelwakeup: the player's window was not found\r\n");
  return 0;
}
