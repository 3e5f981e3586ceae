// Skin package entries through zarvex. The listing of the last package is cached; a listing is
// keyed by the package's path and its last-write time, so a package replaced under the same name
// is listed again. An extraction counts only when the entry was written now: a stale file of the
// same name in the temporary folder is removed first.
#include "skin/skin_package.h"

#include <zarvex.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/skin_description.h"
#include "skin/skin_file_types.h"

namespace {

struct Listing {
  std::u16string path;
  FILETIME written{};
  std::vector<std::u16string> names;
};

Listing& Cache() {
  static Listing listing;
  return listing;
}

struct Zarvex {
  HMODULE module = nullptr;
  ZARVEX_LIST_FN list = nullptr;
  ZARVEX_EXTRACT_FN extract = nullptr;
  ZARVEX_COUNT_FN begin = nullptr, end = nullptr;
};

// The callback zarvex asks through: errors are shown, questions get their first answer.
int CALLBACK AnswerZarvex(LPCWSTR text, UINT flags) {
  if ((flags & MB_ICONMASK) == MB_ICONERROR) return MessageBoxW(GetForegroundWindow(), text, u"Error", flags);
  return (flags & MB_TYPEMASK) == MB_YESNO || (flags & 3) ? IDYES : IDOK;
}

const Zarvex& Library() {
  static Zarvex z = [] {
    Zarvex z;
    z.module = LoadLibraryW(u"zarvex.dll");
    if (!z.module) return z;
    auto at = [&z](int ordinal) {
      return reinterpret_cast<void (*)()>(GetProcAddressW(z.module, MAKEINTRESOURCEW(ordinal)));
    };
    z.list = reinterpret_cast<ZARVEX_LIST_FN>(at(ZARVEX_ORDINAL_LIST));
    z.extract = reinterpret_cast<ZARVEX_EXTRACT_FN>(at(ZARVEX_ORDINAL_EXTRACT));
    z.begin = reinterpret_cast<ZARVEX_COUNT_FN>(at(ZARVEX_ORDINAL_BEGIN_COUNT));
    z.end = reinterpret_cast<ZARVEX_COUNT_FN>(at(ZARVEX_ORDINAL_END_COUNT));
    if (auto setup = reinterpret_cast<ZARVEX_SETUP_FN>(at(ZARVEX_ORDINAL_SETUP))) {
      const ZARVEX_SETUP block{12, AnswerZarvex, 0};
      setup(&block, 0);
    }
    return z;
  }();
  return z;
}

// The package's last-write time and size: a package replaced under its name differs in one.
FILETIME LastWrite(LPCWSTR path) {
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(path, &data);
  if (find == INVALID_HANDLE_VALUE) return FILETIME{};
  FindClose(find);
  return FILETIME{data.ftLastWriteTime.dwLowDateTime ^ data.nFileSizeLow, data.ftLastWriteTime.dwHighDateTime};
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The cached listing of the package, listed again when another package or a newer file is asked.
const Listing& Listed(LPCWSTR package) {
  Listing& cache = Cache();
  const FILETIME written = LastWrite(package);
  if (!_wcsicmp(cache.path.c_str(), package) && SameTime(cache.written, written)) return cache;
  cache = Listing{package, written, {}};
  const Zarvex& z = Library();
  if (!z.list) return cache;
  std::vector<ZARVEX_ENTRY> entries(kSkinPackageCapacity);
  int count = kSkinPackageCapacity;
  if (!z.list(package, entries.data(), &count) || count >= kSkinPackageCapacity || count < 0) return cache;
  for (int i = 0; i < count; ++i) {
    entries[i].name[259] = 0;
    cache.names.emplace_back(entries[i].name);
  }
  return cache;
}

LPCWSTR FilePart(LPCWSTR name) {
  LPCWSTR part = name;
  for (LPCWSTR p = name; *p; ++p)
    if (*p == u'\\' || *p == u'/') part = p + 1;
  return part;
}

void CopyOut(const std::u16string& text, WCHAR* out) {
  const size_t n = std::min<size_t>(text.size(), 259);
  std::copy_n(text.begin(), n, out);
  out[n] = 0;
}

}  // namespace

void ForgetSkinPackageListing() { Cache() = Listing{}; }

int ListSkinPackage(LPCWSTR package, int* count) {
  if (!package || !*package) return 0;
  const Listing& l = Listed(package);
  if (count) *count = static_cast<int>(l.names.size());
  return l.names.empty() ? 0 : 1;
}

int FindSkinEntry(LPCWSTR package, LPCWSTR name, WCHAR* stored) {
  if (!package || !*package || !name) return 0;
  const Listing& l = Listed(package);
  for (size_t i = 0; i < l.names.size(); ++i) {
    if (_wcsicmp(FilePart(l.names[i].c_str()), name)) continue;
    if (stored) CopyOut(l.names[i], stored);
    return static_cast<int>(i + 1);
  }
  return 0;
}

int ExtractSkinEntry(LPCWSTR package, LPCWSTR name, WCHAR* path, BOOL* temporary) {
  if (temporary) *temporary = FALSE;
  if (!name || !*name || !path) return 0;
  path[0] = 0;
  const int index = package && *package ? FindSkinEntry(package, name, nullptr) : 0;
  const Zarvex& z = Library();
  if (index > 0 && z.extract) {
    WCHAR folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::u16string target = std::u16string(folder) + name;
    DeleteFileW(target.c_str());  // only a file written now counts
    if (z.begin) z.begin(0);
    z.extract(package, folder, 17, index);
    if (z.end) z.end(0);
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      CopyOut(target, path);
      if (temporary) *temporary = TRUE;
      return 1;
    }
  }
  // Beside the package.
  LPCWSTR slash = package ? wcsrchr(package, u'\\') : nullptr;
  if (!slash) return 0;
  const std::u16string beside = std::u16string(package, slash + 1) + name;
  if (GetFileAttributesW(beside.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
  CopyOut(beside, path);
  return 1;
}

BOOL IsSmartphoneDevice() {
  WCHAR type[64] = {};
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0)) return FALSE;
  return _wcsicmp(type, u"SmartPhone") == 0;
}

BOOL SkinPlatformMatches(LPCWSTR platform) {
  const bool smartphone = IsSmartphoneDevice();
  if ((!platform || !*platform) && !smartphone) return TRUE;
  WCHAR type[64] = {};
  if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0)) return TRUE;
  if (!platform || !*platform) return FALSE;
  std::u16string have = type, want = platform;
  for (auto& c : have) c = static_cast<WCHAR>(towlower(c));
  for (auto& c : want) c = static_cast<WCHAR>(towlower(c));
  return have.find(want) != std::u16string::npos;
}

namespace {

bool EndsWith(const std::u16string& s, LPCWSTR tail) {
  const size_t n = wcslen(tail);
  return s.size() >= n && !_wcsicmp(s.c_str() + s.size() - n, tail);
}

// "name-W-H.group": the size from the last two '-' parts, so base names may hold '-' too.
bool ParseGroupName(const std::u16string& entry, SkinVariant* v) {
  const std::u16string name = FilePart(entry.c_str());
  if (name.size() <= 9 || !EndsWith(name, u".group")) return false;
  const std::u16string stem = name.substr(0, name.size() - 6);
  const size_t last = stem.rfind(u'-');
  const size_t before = last == std::u16string::npos || last == 0 ? std::u16string::npos : stem.rfind(u'-', last - 1);
  if (before == std::u16string::npos) return false;
  const std::u16string w = stem.substr(before + 1, last - before - 1), h = stem.substr(last + 1);
  auto digits = [](const std::u16string& s) {
    return !s.empty() && s.size() <= 5 && std::all_of(s.begin(), s.end(), [](WCHAR c) { return c >= u'0' && c <= u'9'; });
  };
  if (!digits(w) || !digits(h)) return false;
  auto number = [](const std::u16string& s) {
    int n = 0;
    for (WCHAR c : s) n = n * 10 + (c - u'0');
    return n;
  };
  CopyOut(stem.substr(0, before), v->baseName);
  v->size = SIZE{number(w), number(h)};
  return true;
}

}  // namespace

int ReadSkinVariant(LPCWSTR file, SkinVariant* variant) {
  if (!file || !variant) return 0;
  *variant = SkinVariant{};
  if (GetSkinFileType(file) == 2) return ReadSkinDescriptionInfo(file, variant->baseName, &variant->size, variant->platform, nullptr);
  if (GetSkinFileType(file) != 1) return 0;
  const Listing& l = Listed(file);
  bool found = false;
  for (const std::u16string& entry : l.names) {
    if (ParseGroupName(entry, variant)) found = true;
    if (EndsWith(entry, u".platform")) {
      const std::u16string name = FilePart(entry.c_str());
      CopyOut(name.substr(0, name.size() - 9), variant->platform);
      found = true;
    }
  }
  return found ? 1 : 0;
}
