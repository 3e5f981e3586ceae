// The registry functions of the platform API. An open key is a handle to the Key object itself,
// so it follows the key through reloads and reports ERROR_KEY_DELETED once the key is gone.
// Errors are returned, not set as the last error, as on the device.
#include <cstring>
#include <windows.h>

#include "coredll/kernel_object.h"
#include "coredll/registry_store.h"

namespace {

using zb::registry::Key;
using zb::registry::Roots;
using zb::registry::Store;
using zb::registry::Value;

class KeyHandle : public zb::KernelObject {
 public:
  explicit KeyHandle(std::shared_ptr<Key> key) : key(std::move(key)) {}
  const std::shared_ptr<Key> key;
};

std::u16string_view Text(LPCWSTR text) { return text ? std::u16string_view(text) : std::u16string_view(); }

HKEY NewHandle(std::shared_ptr<Key> key) {
  return reinterpret_cast<HKEY>(zb::AllocHandle(std::make_shared<KeyHandle>(std::move(key))));
}

// Runs `work`(key, changed) on the key behind `hKey` under the store's lock.
template <class Work>
LONG OnKey(HKEY hKey, Store::Access access, Work&& work) {
  int root = zb::registry::RootIndex(hKey);
  std::shared_ptr<KeyHandle> open;
  if (root < 0 && !(open = zb::LookupHandleAs<KeyHandle>(hKey))) return ERROR_INVALID_HANDLE;
  return Store::Instance().Run(access, [&](const Roots& roots, bool& changed) -> LONG {
    const std::shared_ptr<Key>& key = root >= 0 ? roots[root] : open->key;
    if (key->deleted()) return ERROR_KEY_DELETED;
    return work(key, changed);
  });
}

// Copies a name with its terminator; `count` holds the buffer's size in characters and
// receives the name's length without the terminator. Leaves both alone when it does not fit.
bool CopyName(std::u16string_view name, LPWSTR buffer, LPDWORD count) {
  if (*count <= name.size()) return false;
  std::memcpy(buffer, name.data(), name.size() * sizeof(WCHAR));
  buffer[name.size()] = u'\0';
  *count = static_cast<DWORD>(name.size());
  return true;
}

// The data conventions shared by RegQueryValueExW and RegEnumValueW: no buffer asks for the
// size; a short buffer gets ERROR_MORE_DATA and the size it needs, and is left untouched.
LONG CopyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (type) *type = value.type;
  if (!size) return ERROR_SUCCESS;
  auto needed = static_cast<DWORD>(value.data.size());
  if (data && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data && needed) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

// The class strings are not kept: every key's class is empty.
void EmptyClass(LPWSTR className, LPDWORD classCount) {
  if (className && *classCount > 0) className[0] = u'\0';
  if (classCount) *classCount = 0;
}

}  // namespace

// Hands out a handle only once the call has succeeded, so a change that could not be saved
// leaves no handle to a key that never came to be.
LONG Opened(LONG result, std::shared_ptr<Key> key, PHKEY phkResult) {
  if (result == ERROR_SUCCESS) *phkResult = NewHandle(std::move(key));
  return result;
}

extern "C" LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  std::vector<std::u16string_view> names;
  if (!zb::registry::SplitKeyPath(Text(lpSubKey), names)) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<Key> found;
  LONG result = OnKey(hKey, Store::Access::Read, [&](std::shared_ptr<Key> key, bool&) -> LONG {
    for (std::u16string_view name : names) {
      if (!(key = key->Child(name))) return ERROR_FILE_NOT_FOUND;
    }
    found = std::move(key);
    return ERROR_SUCCESS;
  });
  return Opened(result, std::move(found), phkResult);
}

extern "C" LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM, struct _SECURITY_ATTRIBUTES*,
                                PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  std::vector<std::u16string_view> names;
  if (!zb::registry::SplitKeyPath(Text(lpSubKey), names)) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<Key> made;
  bool created = false;
  LONG result = OnKey(hKey, Store::Access::Write, [&](std::shared_ptr<Key> key, bool& changed) -> LONG {
    for (std::u16string_view name : names) {
      std::shared_ptr<Key> child = key->Child(name);
      if (!child) {
        child = key->AddChild(std::u16string(name));
        changed = true;
      }
      key = std::move(child);
    }
    made = std::move(key);
    created = changed;
    return ERROR_SUCCESS;
  });
  if (result == ERROR_SUCCESS && lpdwDisposition) {
    *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  return Opened(result, std::move(made), phkResult);
}

extern "C" LONG RegCloseKey(HKEY hKey) {
  if (zb::registry::RootIndex(hKey) >= 0) return ERROR_SUCCESS;
  if (!zb::LookupHandleAs<KeyHandle>(hKey) || !zb::ReleaseHandle(hKey)) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}

// Every change is on disk when its call returns, so there is nothing left to flush.
extern "C" LONG RegFlushKey(HKEY hKey) {
  LONG result = OnKey(hKey, Store::Access::Read, [](const std::shared_ptr<Key>&, bool&) -> LONG { return ERROR_SUCCESS; });
  return result == ERROR_SUCCESS ? Store::Instance().Flush() : result;
}

extern "C" LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  std::vector<std::u16string_view> names;
  if (!zb::registry::SplitKeyPath(Text(lpSubKey), names) || names.empty()) return ERROR_INVALID_PARAMETER;
  return OnKey(hKey, Store::Access::Write, [&](std::shared_ptr<Key> key, bool& changed) -> LONG {
    for (size_t i = 0; i + 1 < names.size(); ++i) {
      if (!(key = key->Child(names[i]))) return ERROR_FILE_NOT_FOUND;
    }
    changed = key->RemoveChild(names.back());
    return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

extern "C" LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                                 LPDWORD lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  return OnKey(hKey, Store::Access::Read, [&](const std::shared_ptr<Key>& key, bool&) -> LONG {
    const Value* value = key->FindValue(Text(lpValueName));
    return value ? CopyData(*value, lpType, lpData, lpcbData) : ERROR_FILE_NOT_FOUND;
  });
}

extern "C" LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                               DWORD cbData) {
  if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
  std::vector<BYTE> data(lpData, lpData + cbData);
  return OnKey(hKey, Store::Access::Write, [&](const std::shared_ptr<Key>& key, bool& changed) -> LONG {
    changed = key->SetValue(Text(lpValueName), dwType, std::move(data));
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  return OnKey(hKey, Store::Access::Write, [&](const std::shared_ptr<Key>& key, bool& changed) -> LONG {
    changed = key->DeleteValue(Text(lpValueName));
    return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

extern "C" LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcName, LPDWORD, LPWSTR lpClass,
                              LPDWORD lpcClass, PFILETIME lpftLastWriteTime) {
  if (!lpName || !lpcName || (lpClass && !lpcClass)) return ERROR_INVALID_PARAMETER;
  return OnKey(hKey, Store::Access::Read, [&](const std::shared_ptr<Key>& key, bool&) -> LONG {
    if (dwIndex >= key->children().size()) return ERROR_NO_MORE_ITEMS;
    if (!CopyName(key->children()[dwIndex]->name(), lpName, lpcName)) return ERROR_MORE_DATA;
    EmptyClass(lpClass, lpcClass);
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{};
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcValueName, LPDWORD,
                              LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (!lpValueName || !lpcValueName || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  return OnKey(hKey, Store::Access::Read, [&](const std::shared_ptr<Key>& key, bool&) -> LONG {
    if (dwIndex >= key->values().size()) return ERROR_NO_MORE_ITEMS;
    const Value& value = key->values()[dwIndex];
    if (!CopyName(value.name, lpValueName, lpcValueName)) return ERROR_MORE_DATA;
    return CopyData(value, lpType, lpData, lpcbData);
  });
}

extern "C" LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcClass, LPDWORD, LPDWORD lpcSubKeys,
                                 LPDWORD lpcMaxSubKeyLen, LPDWORD lpcMaxClassLen, LPDWORD lpcValues,
                                 LPDWORD lpcMaxValueNameLen, LPDWORD lpcMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                 PFILETIME lpftLastWriteTime) {
  if (lpClass && !lpcClass) return ERROR_INVALID_PARAMETER;
  return OnKey(hKey, Store::Access::Read, [&](const std::shared_ptr<Key>& key, bool&) -> LONG {
    size_t maxKey = 0, maxName = 0, maxData = 0;
    for (const auto& child : key->children()) maxKey = std::max(maxKey, child->name().size());
    for (const Value& value : key->values()) {
      maxName = std::max(maxName, value.name.size());
      maxData = std::max(maxData, value.data.size());
    }
    const std::pair<LPDWORD, size_t> answers[] = {
        {lpcSubKeys, key->children().size()}, {lpcMaxSubKeyLen, maxKey}, {lpcMaxClassLen, 0},
        {lpcValues, key->values().size()},    {lpcMaxValueNameLen, maxName}, {lpcMaxValueLen, maxData},
        {lpcbSecurityDescriptor, 0},
    };
    for (const auto& [out, answer] : answers) {
      if (out) *out = static_cast<DWORD>(answer);
    }
    EmptyClass(lpClass, lpcClass);
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{};
    return ERROR_SUCCESS;
  });
}
