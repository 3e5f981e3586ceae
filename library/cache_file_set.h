// CCacheFileSet: copies of downloaded content, keyed by URL, kept in numbered files beside the
// program ("zbcache%04X.tmp") so that a later request within the copy's time to live is answered
// from the file. The player core owns one set, bounded by "httpCacheStorageSize".
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CCacheFileSet {
 public:
  // `folder` (a device path without the trailing "\") holds the files: the program's folder
  // when null. Files left by an earlier run are deleted, up to the first gap in the numbers.
  CCacheFileSet(void* context, DWORD sizeBound, LPCWSTR folder = nullptr);
  ~CCacheFileSet();
  CCacheFileSet(const CCacheFileSet&) = delete;
  CCacheFileSet& operator=(const CCacheFileSet&) = delete;

  // 1 when a copy of the key exists that has not expired at `now` (any copy without `now`).
  BOOL IsCached(LPCWSTR key, const FILETIME* now);
  // Copies the key's file into `file`; 1 when the whole cached file was copied.
  BOOL CopyTo(LPCWSTR key, HANDLE file);
  // 1 when `size` bytes may be stored for the key, after making room; never for a size that
  // reaches the bound, nor for a key that names a local file.
  BOOL CanStore(LPCWSTR key, DWORD size);
  // Copies `source` from its position to its end into a new cache file; kept only when that came
  // to `size` bytes. A copy of the same key it replaces goes. No expiry: it never expires.
  BOOL Store(LPCWSTR key, HANDLE source, DWORD size, const FILETIME* expiry);
  // The file name for a number; with -1, the first number whose file does not exist.
  std::u16string GetCacheFileName(int number);

  DWORD Total() const { return total_; }
  size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    std::u16string key;
    std::u16string path;
    FILETIME expiry;
    DWORD size;
  };
  void Clear();
  const Entry* Find(const std::u16string& key) const;
  void Drop(size_t index, bool deleteFile);
  bool EnoughFreeSpace(DWORD size);

  void* context_;
  DWORD bound_;
  DWORD total_ = 0;
  std::u16string folder_;
  std::vector<Entry> entries_;
};
