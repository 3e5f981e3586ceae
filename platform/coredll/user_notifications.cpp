// User notifications and the object-store database they live in ("DB_notify_events"): both are
// views of the device's notification store (device/notify_store.h), so a program that removes
// its own database record removes its notification. Property 1 of a record is the application
// path, property 2 its arguments, property 3 the trigger type, property 4 the event.
#include <cstring>
#include <optional>
#include <notify.h>
#include <string>
#include <vector>
#include <windbase.h>

#include "coredll/kernel_object.h"
#include "device/notify_store.h"

namespace store = zb::device::notify;

namespace {

constexpr WCHAR kNotifyDatabase[] = u"DB_notify_events";

HANDLE ToHandle(uint32_t oid) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(oid)); }
uint32_t ToOid(HANDLE h) {
  const auto v = reinterpret_cast<uintptr_t>(h);
  return v <= 0xFFFFFFFFu ? static_cast<uint32_t>(v) : 0;
}

std::optional<store::Record> Find(uint32_t oid) {
  for (const store::Record& r : store::All())
    if (r.oid == oid) return r;
  return std::nullopt;
}

std::u16string Text(const WCHAR* text) { return text ? std::u16string(text) : std::u16string(); }

// An open database: the oid of the current record (0 before the first); a deleted current
// record keeps its place, so "the next one" is still well defined.
class Database : public zb::KernelObject {
 public:
  uint32_t current = 0;
};

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

extern "C" HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER* trigger,
                                          CE_USER_NOTIFICATION*) {
  if (!trigger || trigger->dwSize < 52 || !trigger->lpszApplication || !*trigger->lpszApplication) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  store::Record record{0, trigger->dwType, trigger->dwEvent, Text(trigger->lpszApplication),
                       Text(trigger->lpszArguments)};
  if (notification) {
    record.oid = ToOid(notification);
    if (!store::Replace(record)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    return notification;
  }
  const uint32_t oid = store::Add(record);
  if (!oid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return ToHandle(oid);
}

extern "C" BOOL CeClearUserNotification(HANDLE notification) {
  return store::Remove(ToOid(notification)) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

extern "C" BOOL CeGetUserNotificationHandles(HANDLE* handles, DWORD count, LPDWORD needed) {
  const std::vector<store::Record> records = store::All();
  if (needed) *needed = static_cast<DWORD>(records.size());
  if (count < records.size()) return count == 0 && !handles ? TRUE : Fail(ERROR_INSUFFICIENT_BUFFER);
  if (!handles && !records.empty()) return Fail(ERROR_INVALID_PARAMETER);
  for (size_t i = 0; i < records.size(); ++i) handles[i] = ToHandle(records[i].oid);
  return TRUE;
}

extern "C" BOOL CeGetUserNotification(HANDLE notification, DWORD bufferSize, LPDWORD needed, LPBYTE buffer) {
  auto record = Find(ToOid(notification));
  if (!record) return Fail(ERROR_INVALID_HANDLE);
  const size_t appBytes = (record->application.size() + 1) * sizeof(WCHAR);
  const size_t argBytes = (record->arguments.size() + 1) * sizeof(WCHAR);
  const size_t total = sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER) + appBytes + argBytes;
  if (needed) *needed = static_cast<DWORD>(total);
  if (!buffer || bufferSize < total) return Fail(ERROR_INSUFFICIENT_BUFFER);
  auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer);
  auto* trigger = reinterpret_cast<CE_NOTIFICATION_TRIGGER*>(buffer + sizeof *header);
  auto* app = reinterpret_cast<WCHAR*>(buffer + sizeof *header + sizeof *trigger);
  auto* args = reinterpret_cast<WCHAR*>(reinterpret_cast<BYTE*>(app) + appBytes);
  std::memcpy(app, record->application.c_str(), appBytes);
  std::memcpy(args, record->arguments.c_str(), argBytes);
  *trigger = CE_NOTIFICATION_TRIGGER{52, record->type, record->event, app, args, {}, {}};
  *header = CE_NOTIFICATION_INFO_HEADER{notification, 0, trigger, nullptr};
  return TRUE;
}

extern "C" HANDLE CeOpenDatabase(PCEOID, LPWSTR name, CEPROPID, DWORD, HWND) {
  if (!name || std::u16string(name) != kNotifyDatabase) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto database = std::make_shared<Database>();
  const std::vector<store::Record> records = store::All();
  database->current = records.empty() ? 0 : records.front().oid;
  return zb::AllocHandle(database);
}

extern "C" CEOID CeSeekDatabase(HANDLE handle, DWORD seekType, DWORD value, LPDWORD index) {
  auto database = zb::LookupHandleAs<Database>(handle);
  if (!database) return static_cast<CEOID>(Fail(ERROR_INVALID_HANDLE));
  const std::vector<store::Record> records = store::All();
  // Position of the first live record at or after the current oid.
  size_t at = 0;
  while (at < records.size() && records[at].oid < database->current) ++at;
  const bool onCurrent = at < records.size() && records[at].oid == database->current;
  long target = -1;
  switch (seekType) {
    case CEDB_SEEK_BEGINNING:
      target = static_cast<long>(value);
      break;
    case CEDB_SEEK_CURRENT:
      // From a deleted record, one step on is the record that took its place.
      target = static_cast<long>(at) + static_cast<long>(static_cast<int32_t>(value)) - (onCurrent ? 0 : 1);
      break;
    case CEDB_SEEK_END:
      target = static_cast<long>(records.size()) - 1 - static_cast<long>(value);
      break;
    case CEDB_SEEK_CEOID:
      for (size_t i = 0; i < records.size(); ++i)
        if (records[i].oid == value) target = static_cast<long>(i);
      break;
    default:
      return static_cast<CEOID>(Fail(ERROR_INVALID_PARAMETER));
  }
  if (target < 0 || target >= static_cast<long>(records.size())) {
    SetLastError(ERROR_SEEK);
    return 0;
  }
  database->current = records[static_cast<size_t>(target)].oid;
  if (index) *index = static_cast<DWORD>(target);
  return database->current;
}

extern "C" CEOID CeReadRecordProps(HANDLE handle, DWORD flags, LPWORD propCount, CEPROPID* props, LPBYTE* buffer,
                                   LPDWORD bufferSize) {
  auto database = zb::LookupHandleAs<Database>(handle);
  if (!database) return static_cast<CEOID>(Fail(ERROR_INVALID_HANDLE));
  if (!propCount || !buffer || !bufferSize || props) return static_cast<CEOID>(Fail(ERROR_INVALID_PARAMETER));
  auto record = Find(database->current);
  if (!record) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return 0;
  }
  const std::u16string texts[2] = {record->application, record->arguments};
  const size_t head = 4 * sizeof(CEPROPVAL);
  const size_t total = head + (texts[0].size() + 1 + texts[1].size() + 1) * sizeof(WCHAR);
  if (*bufferSize < total || !*buffer) {
    if (!(flags & CEDB_ALLOWREALLOC)) {
      *bufferSize = static_cast<DWORD>(total);
      return static_cast<CEOID>(Fail(ERROR_INSUFFICIENT_BUFFER));
    }
    HLOCAL grown = *buffer ? LocalReAlloc(*buffer, total, LMEM_MOVEABLE) : LocalAlloc(LMEM_FIXED, total);
    if (!grown) return static_cast<CEOID>(Fail(ERROR_NOT_ENOUGH_MEMORY));
    *buffer = static_cast<LPBYTE>(grown);
    *bufferSize = static_cast<DWORD>(total);
  }
  auto* values = reinterpret_cast<CEPROPVAL*>(*buffer);
  auto* text = reinterpret_cast<WCHAR*>(*buffer + head);
  for (int i = 0; i < 2; ++i) {
    std::memcpy(text, texts[i].c_str(), (texts[i].size() + 1) * sizeof(WCHAR));
    values[i] = CEPROPVAL{static_cast<CEPROPID>(MAKELONG(CEVT_LPWSTR, i + 1)), 0, 0, {}};
    values[i].val.lpwstr = text;
    text += texts[i].size() + 1;
  }
  values[2] = CEPROPVAL{static_cast<CEPROPID>(MAKELONG(CEVT_UI4, 3)), 0, 0, {}};
  values[2].val.ulVal = record->type;
  values[3] = CEPROPVAL{static_cast<CEPROPID>(MAKELONG(CEVT_UI4, 4)), 0, 0, {}};
  values[3].val.ulVal = record->event;
  *propCount = 4;
  return record->oid;
}

extern "C" BOOL CeDeleteRecord(HANDLE handle, CEOID record) {
  if (!zb::LookupHandleAs<Database>(handle)) return Fail(ERROR_INVALID_HANDLE);
  return store::Remove(record) ? TRUE : Fail(ERROR_INVALID_PARAMETER);
}
