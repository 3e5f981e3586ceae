// The registry of resource tables. Tables in binaries register from the binary's static
// constructor (the code zbrc generates) and leave from its destructor; tables read from files
// are kept for the process's life, since HRSRC values and loaded resources point into them.
#include "coredll/resource_tables.h"

#include <dlfcn.h>
#include <elf.h>
#include <fstream>
#include <link.h>
#include <list>
#include <mutex>

#include "coredll/loader.h"
#include "device/text.h"

namespace zb::res {
namespace {

namespace fs = std::filesystem;

struct Registered {
  const void* linkMap;
  BlobView table;
};

struct FileTables {
  fs::path host;
  fs::file_time_type modified;
  uintmax_t size = 0;
  std::vector<uint8_t> bytes;
  std::vector<BlobView> tables;
};

struct Registry {
  std::mutex lock;
  std::vector<Registered> loaded;
  std::list<FileTables> files;  // a list, so the bytes never move
};

Registry& Tables() {
  static Registry* registry = new Registry;  // binaries unregister from static destructors
  return *registry;
}

const void* LinkMapOf(const void* address) {
  Dl_info info{};
  void* map = nullptr;
  if (!dladdr1(address, &info, &map, RTLD_DL_LINKMAP)) return nullptr;
  return map;
}

constexpr uint64_t kLargestSection = 256u << 20;

// The ".zbrsrc" section of a 64-bit little-endian ELF file; empty when it has none.
bool ReadSection(const fs::path& host, std::vector<uint8_t>* out) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  Elf64_Ehdr header{};
  if (!in.read(reinterpret_cast<char*>(&header), sizeof(header)) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
      header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum) {
    return false;
  }
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  in.seekg(static_cast<std::streamoff>(header.e_shoff));
  if (!in.read(reinterpret_cast<char*>(sections.data()), static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr))))
    return false;
  const Elf64_Shdr& names = sections[header.e_shstrndx];
  if (names.sh_size > kLargestSection) return false;
  std::string nameBytes(names.sh_size, '\0');
  in.seekg(static_cast<std::streamoff>(names.sh_offset));
  if (!in.read(nameBytes.data(), static_cast<std::streamsize>(nameBytes.size()))) return false;
  for (const Elf64_Shdr& s : sections) {
    if (s.sh_name >= nameBytes.size() || std::strcmp(nameBytes.c_str() + s.sh_name, kSectionName) != 0) continue;
    if (s.sh_type == SHT_NOBITS || s.sh_size > kLargestSection) return false;
    out->resize(s.sh_size);
    in.seekg(static_cast<std::streamoff>(s.sh_offset));
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out->data()), static_cast<std::streamsize>(s.sh_size)));
  }
  out->clear();
  return true;
}

// The tables one after the other in a section's bytes (each a multiple of 16 long).
std::vector<BlobView> Split(const std::vector<uint8_t>& bytes) {
  std::vector<BlobView> tables;
  size_t at = 0;
  while (bytes.size() - at >= kHeaderSize) {
    if (ReadU32(bytes.data() + at) == 0) {  // padding between tables
      at += kBlobAlign;
      continue;
    }
    BlobView view;
    if (!BlobView::Open(bytes.data() + at, bytes.size() - at, &view)) break;
    tables.push_back(view);
    at += (view.size() + kBlobAlign - 1) / kBlobAlign * kBlobAlign;
  }
  return tables;
}

bool Contains(const BlobView& t, const void* p, uint32_t* index) {
  auto* entry = static_cast<const uint8_t*>(p);
  const uint8_t* first = t.EntryAddress(0);
  if (entry < first || entry >= first + static_cast<size_t>(t.count()) * kEntrySize) return false;
  if ((entry - first) % kEntrySize != 0) return false;
  *index = static_cast<uint32_t>((entry - first) / kEntrySize);
  return true;
}

bool Matches(const BlobView& t, uint32_t id, LPCWSTR wanted) {
  if (IS_INTRESOURCE(wanted)) return !(id & kNamed) && id == static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(wanted));
  std::u16string_view w(wanted);
  if (!w.empty() && w[0] == u'#') {  // "#123" names the integer id 123
    uint32_t n = 0;
    for (char16_t c : w.substr(1)) {
      if (c < u'0' || c > u'9' || n > 0xFFFF) return false;
      n = n * 10 + (c - u'0');
    }
    return w.size() > 1 && !(id & kNamed) && id == n;
  }
  return (id & kNamed) && EqualNoCase(t.Name(id), w);
}

int LanguageRank(uint16_t language) { return language == 0x0409 ? 0 : language == 0 ? 1 : 2; }

}  // namespace

bool TablesOf(HMODULE module, std::vector<BlobView>* tables) {
  tables->clear();
  auto found = loader::Find(module);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (found->dl) {
    void* map = nullptr;
    if (dlinfo(found->dl, RTLD_DI_LINKMAP, &map) != 0) return true;
    Registry& r = Tables();
    std::lock_guard guard(r.lock);
    for (const Registered& reg : r.loaded)
      if (reg.linkMap == map) tables->push_back(reg.table);
    return true;
  }
  // A data file: its tables come from the file itself (none when the file holds none). A system
  // library of the layer without a host part has none.
  if (!found->host.empty()) TablesOfFile(found->host, tables);
  return true;
}

bool TablesOfFile(const fs::path& host, std::vector<BlobView>* tables) {
  tables->clear();
  std::error_code ec;
  const auto modified = fs::last_write_time(host, ec);
  const uintmax_t size = ec ? 0 : fs::file_size(host, ec);
  if (ec) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  Registry& r = Tables();
  std::lock_guard guard(r.lock);
  for (const FileTables& f : r.files) {
    if (f.host == host && f.modified == modified && f.size == size) {
      *tables = f.tables;
      return true;
    }
  }
  FileTables f;
  f.host = host;
  f.modified = modified;
  f.size = size;
  if (!ReadSection(host, &f.bytes)) {
    SetLastError(ERROR_BAD_FORMAT);
    return false;
  }
  FileTables& kept = r.files.emplace_back(std::move(f));
  kept.tables = Split(kept.bytes);
  *tables = kept.tables;
  return true;
}

bool EntryOf(HRSRC resource, BlobView* table, Entry* entry) {
  if (!resource) return false;
  Registry& r = Tables();
  std::lock_guard guard(r.lock);
  uint32_t index = 0;
  auto check = [&](const BlobView& t) {
    if (!Contains(t, resource, &index)) return false;
    *table = t;
    *entry = t.At(index);
    return true;
  };
  for (const Registered& reg : r.loaded)
    if (check(reg.table)) return true;
  for (const FileTables& f : r.files)
    for (const BlobView& t : f.tables)
      if (check(t)) return true;
  return false;
}

HRSRC Find(const std::vector<BlobView>& tables, LPCWSTR name, LPCWSTR type) {
  if (!name || !type) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HRSRC best = nullptr;
  int bestRank = 3;
  bool typeSeen = false;
  for (const BlobView& t : tables) {
    for (uint32_t i = 0; i < t.count(); ++i) {
      Entry e = t.At(i);
      if (!Matches(t, e.type, type)) continue;
      typeSeen = true;
      if (!Matches(t, e.name, name) || LanguageRank(e.language) >= bestRank) continue;
      best = HandleOf(t, i);
      bestRank = LanguageRank(e.language);
    }
  }
  if (!best) SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return best;
}

const uint8_t* DataOf(HRSRC resource, uint32_t* size) {
  BlobView table;
  Entry entry{};
  if (!EntryOf(resource, &table, &entry)) {
    SetLastError(ERROR_INVALID_HANDLE);
    *size = 0;
    return nullptr;
  }
  *size = entry.dataSize;
  return table.data() + entry.dataOffset;
}

}  // namespace zb::res

using namespace zb::res;

extern "C" __attribute__((visibility("default"))) void ZbRegisterResources(const void* table) {
  BlobView view;
  auto* bytes = static_cast<const uint8_t*>(table);
  // Our own compiler wrote it; the size in its header is the one to trust, after the usual checks.
  if (!table || !BlobView::Open(bytes, ReadU32(bytes + 8), &view)) return;
  Registry& r = Tables();
  std::lock_guard guard(r.lock);
  r.loaded.push_back({LinkMapOf(table), view});
}

extern "C" __attribute__((visibility("default"))) void ZbUnregisterResources(const void* table) {
  Registry& r = Tables();
  std::lock_guard guard(r.lock);
  std::erase_if(r.loaded, [table](const Registered& reg) { return reg.table.data() == table; });
}
