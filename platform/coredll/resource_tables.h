// Where a module's resources are: the tables its binary registered when it loaded (found by the
// binary's link map), or, for a data file and for version queries by file name, the tables read
// from the file's ".zbrsrc" section. HRSRC values point at table entries, so each is checked
// against the known tables before use.
#pragma once
#include <filesystem>
#include <vector>
#include <windows.h>

#include "coredll/resource_blob.h"

namespace zb::res {

// The tables of a module; false (with the error set) for a module handle that is not loaded.
bool TablesOf(HMODULE module, std::vector<BlobView>* tables);

// The tables in a file on the host; false with ERROR_FILE_NOT_FOUND or ERROR_BAD_FORMAT.
bool TablesOfFile(const std::filesystem::path& host, std::vector<BlobView>* tables);

// The table and entry an HRSRC stands for; false for anything else.
bool EntryOf(HRSRC resource, BlobView* table, Entry* entry);

inline HRSRC HandleOf(const BlobView& table, uint32_t index) {
  return reinterpret_cast<HRSRC>(const_cast<uint8_t*>(table.EntryAddress(index)));
}

// Finds a resource by type and name (ids or upper-cased names), preferring US English, then
// neutral, then any language. Sets ERROR_RESOURCE_TYPE_NOT_FOUND or _NAME_NOT_FOUND when absent.
HRSRC Find(const std::vector<BlobView>& tables, LPCWSTR name, LPCWSTR type);

// A found resource's bytes.
const uint8_t* DataOf(HRSRC resource, uint32_t* size);

}  // namespace zb::res
