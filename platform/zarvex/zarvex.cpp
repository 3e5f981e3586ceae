// zarvex over libzip: archives are opened read-only from their host file, names come out as
// UTF-16, and an entry is written under its last name part, so a hostile name ("..\x") never
// leaves the destination folder.
#include <zarvex.h>
#include <zbexports.h>
#include <zip.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/paths.h"

namespace {

ZARVEX_MESSAGE_CALLBACK g_callback = nullptr;
int g_written = 0;

zip_t* OpenArchive(LPCWSTR archive) {
  uint32_t error = 0;
  auto host = archive ? zb::device::ToHost(archive, &error) : std::nullopt;
  if (!host) return nullptr;
  int code = 0;
  return zip_open(host->c_str(), ZIP_RDONLY, &code);
}

std::u16string Utf16(const char* utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::u16string out(n > 0 ? n - 1 : 0, u'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
  return out;
}

std::u16string LastPart(const std::u16string& name) {
  const size_t slash = name.find_last_of(u"\\/");
  return slash == std::u16string::npos ? name : name.substr(slash + 1);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int ZarvexSetup(const ZARVEX_SETUP* setup, int) {
  if (!setup) return 0;
  g_callback = setup->callback;
  return 1;
}

__attribute__((visibility("default"))) int ZarvexList(LPCWSTR archive, ZARVEX_ENTRY* entries, int* capacity) {
  if (!capacity) return 0;
  zip_t* z = OpenArchive(archive);
  if (!z) {
    *capacity = 0;
    return 0;
  }
  const zip_int64_t count = zip_get_num_entries(z, 0);
  for (zip_int64_t i = 0; entries && i < std::min<zip_int64_t>(count, *capacity); ++i) {
    ZARVEX_ENTRY& e = entries[i];
    e = {};
    const char* name = zip_get_name(z, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    const std::u16string wide = name ? Utf16(name) : u"";
    std::copy_n(wide.begin(), std::min<size_t>(wide.size(), 259), e.name);
  }
  *capacity = static_cast<int>(std::min<zip_int64_t>(count, INT32_MAX));
  zip_close(z);
  return 1;
}

__attribute__((visibility("default"))) int ZarvexExtract(LPCWSTR archive, LPCWSTR folder, int, int index) {
  zip_t* z = OpenArchive(archive);
  if (!z || !folder || index < 1) {
    if (z) zip_close(z);
    return 0;
  }
  const zip_uint64_t i = static_cast<zip_uint64_t>(index - 1);
  const char* name = zip_get_name(z, i, ZIP_FL_ENC_GUESS);
  zip_file_t* f = name ? zip_fopen_index(z, i, 0) : nullptr;
  const std::u16string part = name ? LastPart(Utf16(name)) : u"";
  int ok = 0;
  if (f && !part.empty() && part != u"." && part != u"..") {
    std::u16string target = folder;
    if (!target.empty() && target.back() != u'\\') target += u'\\';
    target += part;
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
      char buffer[16384];
      zip_int64_t got = 0;
      ok = 1;
      while ((got = zip_fread(f, buffer, sizeof buffer)) > 0) {
        DWORD written = 0;
        if (!WriteFile(out, buffer, static_cast<DWORD>(got), &written, nullptr) || written != got) ok = 0;
      }
      if (got < 0) ok = 0;  // a damaged entry
      CloseHandle(out);
      if (!ok) DeleteFileW(target.c_str());
    }
  }
  if (f) zip_fclose(f);
  zip_close(z);
  g_written += ok;
  return ok;
}

__attribute__((visibility("default"))) int ZarvexBeginCount(int) { return g_written = 0; }
__attribute__((visibility("default"))) int ZarvexEndCount(int) { return g_written; }

}  // extern "C"

ZB_ORDINAL_EXPORTS({ZARVEX_ORDINAL_LIST, "ZarvexList"}, {ZARVEX_ORDINAL_EXTRACT, "ZarvexExtract"},
                   {ZARVEX_ORDINAL_SETUP, "ZarvexSetup"}, {ZARVEX_ORDINAL_BEGIN_COUNT, "ZarvexBeginCount"},
                   {ZARVEX_ORDINAL_END_COUNT, "ZarvexEndCount"});
