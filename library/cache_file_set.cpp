// The download cache's files: room is made by deleting older copies (a big enough one first),
// the total counts the bytes stored in this run, and a set never leaves its files behind.
#include "cache_file_set.h"

#include <cstdio>

#include "settingsui/special_folders.h"

namespace {

constexpr DWORD kBlock = 4096;
constexpr FILETIME kNever = {0xFFFFFFFF, 0x7FFFFFFF};

std::u16string NormalisedKey(LPCWSTR key) {
  std::u16string text = key ? key : u"";
  for (char16_t stop : {u'\r', u'\n'}) {
    const size_t at = text.find(stop);
    if (at != std::u16string::npos) text.resize(at);
  }
  return text;
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Copies from the reader's position to its end; false at a failed or short write.
bool CopyFileData(HANDLE from, HANDLE to, bool* reachedEnd) {
  BYTE buffer[kBlock];
  *reachedEnd = false;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(from, buffer, kBlock, &read, nullptr)) return false;
    if (read == 0) {
      *reachedEnd = true;
      return true;
    }
    DWORD written = 0;
    if (!WriteFile(to, buffer, read, &written, nullptr) || written != read) return false;
  }
}

}  // namespace

CCacheFileSet::CCacheFileSet(void* context, DWORD sizeBound, LPCWSTR folder) : context_(context), bound_(sizeBound) {
  if (folder) {
    folder_ = folder;
  } else {
    WCHAR path[MAX_PATH] = {};
    GetSpecialFolderPath(kProgramFolderId, path);
    folder_ = path;
  }
  if (!folder_.empty() && folder_.back() == u'\\') folder_.pop_back();
  Clear();
}

CCacheFileSet::~CCacheFileSet() { Clear(); }

void CCacheFileSet::Clear() {
  for (const Entry& entry : entries_) DeleteFileW(entry.path.c_str());
  entries_.clear();
  total_ = 0;
  for (int number = 0; number >= 0 && DeleteFileW(GetCacheFileName(number).c_str()); ++number) {
  }
}

std::u16string CCacheFileSet::GetCacheFileName(int number) {
  if (number == -1) {
    number = 0;
    while (number >= 0 && Exists(GetCacheFileName(number))) ++number;
  }
  char name[32];
  std::snprintf(name, sizeof name, "\\zbcache%04X.tmp", static_cast<unsigned>(number));
  return folder_ + std::u16string(name, name + std::char_traits<char>::length(name));
}

const CCacheFileSet::Entry* CCacheFileSet::Find(const std::u16string& key) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->key == key) return &*it;
  }
  return nullptr;
}

void CCacheFileSet::Drop(size_t index, bool deleteFile) {
  if (deleteFile) DeleteFileW(entries_[index].path.c_str());
  total_ -= entries_[index].size < total_ ? entries_[index].size : total_;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

BOOL CCacheFileSet::IsCached(LPCWSTR key, const FILETIME* now) {
  const std::u16string wanted = NormalisedKey(key);
  for (const Entry& entry : entries_) {
    if (entry.key == wanted && (!now || CompareFileTime(&entry.expiry, now) >= 0)) return TRUE;
  }
  return FALSE;
}

BOOL CCacheFileSet::CopyTo(LPCWSTR key, HANDLE file) {
  const Entry* entry = Find(NormalisedKey(key));
  if (!entry || file == INVALID_HANDLE_VALUE) return FALSE;
  HANDLE cached = CreateFileW(entry->path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (cached == INVALID_HANDLE_VALUE) return FALSE;
  bool reachedEnd = false;
  CopyFileData(cached, file, &reachedEnd);
  CloseHandle(cached);
  return reachedEnd ? TRUE : FALSE;
}

BOOL CCacheFileSet::CanStore(LPCWSTR key, DWORD size) {
  if (key && Exists(key)) return FALSE;
  const ULONGLONG bound = bound_;
  auto over = [&] { return static_cast<ULONGLONG>(total_) + size > bound; };
  if (over() && size < bound_ && !entries_.empty()) {
    // A copy whose file went is of no use: it leaves the set rather than block room forever.
    for (size_t i = entries_.size(); i-- > 0;) {
      if (!Exists(entries_[i].path)) Drop(i, false);
    }
    while (over()) {
      const ULONGLONG need = static_cast<ULONGLONG>(size) + total_ - bound;
      if (entries_.empty()) return FALSE;
      size_t pick = 0;
      for (size_t i = 1; i < entries_.size(); ++i) {
        if (entries_[i].size >= need && entries_[i].size > entries_[pick].size) pick = i;
      }
      if (!DeleteFileW(entries_[pick].path.c_str())) return FALSE;
      Drop(pick, false);
    }
  }
  if (static_cast<ULONGLONG>(total_) + size >= bound) return FALSE;
  return EnoughFreeSpace(size) ? TRUE : FALSE;
}

// The first component of the cache's path must be a folder whose free space is known, and that
// space more than twice the bound or more than ten times the download.
bool CCacheFileSet::EnoughFreeSpace(DWORD size) {
  const std::u16string name = GetCacheFileName(0);
  const size_t second = name.find(u'\\', 1);
  const std::u16string first = second == std::u16string::npos ? u"\\" : name.substr(0, second);
  const DWORD attributes = GetFileAttributesW(first.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExW(first.c_str(), &available, &total, &free)) return false;
  const ULONGLONG room = available.QuadPart;
  return !(room <= 2ull * bound_ && room <= 10ull * size);
}

BOOL CCacheFileSet::Store(LPCWSTR key, HANDLE source, DWORD size, const FILETIME* expiry) {
  // The bound holds whoever calls: a copy that reaches it is never kept.
  if (source == INVALID_HANDLE_VALUE || size >= bound_) return FALSE;
  const std::u16string wanted = NormalisedKey(key);
  const std::u16string path = GetCacheFileName(-1);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  bool reachedEnd = false;
  CopyFileData(source, file, &reachedEnd);
  const DWORD stored = GetFileSize(file, nullptr);
  CloseHandle(file);
  if (stored != size) {
    DeleteFileW(path.c_str());
    return FALSE;
  }
  for (size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i].key == wanted) Drop(i, true);
  }
  entries_.push_back(Entry{wanted, path, expiry ? *expiry : kNever, size});
  total_ += size;
  return TRUE;
}
