// The recent list and its file: records of a 32-bit id and a UTF-16 name with its terminator,
// little-endian, and one more zero character at the end. A file cut short keeps its whole
// records; the file never grows to 256 KB, the oldest pairs making room.
#include "recent_list.h"

#include <algorithm>
#include <cstring>

#include "core/common/file_replace.h"
#include "core/settings/settings.h"
#include "file_bytes.h"
#include "playlist.h"

namespace {

constexpr size_t kFileBound = 0x40000;  // bytes the file stays below
constexpr size_t kDefaultBound = 300;

DWORD ReadId(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
         static_cast<DWORD>(p[3]) << 24;
}

void PutUnit(std::vector<BYTE>& out, WCHAR c) {
  out.push_back(static_cast<BYTE>(c & 0xFF));
  out.push_back(static_cast<BYTE>(c >> 8));
}

size_t RecordBytes(const CRecentList::Entry& entry) { return 4 + (entry.name.size() + 1) * sizeof(WCHAR); }

}  // namespace

CRecentList::CRecentList(void* owner, LPCWSTR fileName) : owner_(owner), fileName_(fileName ? fileName : u"") {}

std::u16string CRecentList::FilePath() const { return ProgramFilePath(fileName_.c_str()); }

void CRecentList::Add(DWORD id, LPCWSTR name) {
  const std::u16string text = name ? name : u"";
  std::erase_if(entries_, [&](const Entry& entry) { return entry.id == id && entry.name == text; });
  if (!text.empty()) entries_.push_back({id, text});
  CSettings* settings = GetSettings();
  const size_t bound = settings ? settings->bookmarkTableSize : kDefaultBound;
  if (entries_.size() > bound) entries_.erase(entries_.begin(), entries_.end() - static_cast<ptrdiff_t>(bound));
}

void CRecentList::Remove(DWORD id, LPCWSTR name) {
  const std::u16string text = name ? name : u"";
  const auto found =
      std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.id == id && entry.name == text; });
  if (found != entries_.end()) entries_.erase(found);
}

int CRecentList::Find(DWORD id, int n) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].id == id && n-- == 0) return static_cast<int>(i);
  }
  return -1;
}

int CRecentList::GetName(DWORD id, LPWSTR buffer, int length, int n) const {
  const int position = Find(id, n);
  if (position < 0 || !buffer || length <= 0) return 0;
  const std::u16string& name = entries_[static_cast<size_t>(position)].name;
  const size_t count = std::min(name.size(), static_cast<size_t>(length - 1));
  std::memcpy(buffer, name.data(), count * sizeof(WCHAR));
  buffer[count] = 0;
  return 1;
}

void CRecentList::Load() {
  std::vector<BYTE> bytes;
  if (!ReadFileBytes(FilePath().c_str(), bytes) || bytes.size() <= 4) return;
  size_t at = 0;
  // A record needs its id and at least its terminator; one whose name runs off the end is lost.
  while (at + 6 <= bytes.size()) {
    const DWORD id = ReadId(&bytes[at]);
    std::u16string name;
    size_t unit = at + 4;
    bool ended = false;
    for (; unit + 1 < bytes.size(); unit += 2) {
      const WCHAR c = static_cast<WCHAR>(bytes[unit] | bytes[unit + 1] << 8);
      if (c == 0) {
        ended = true;
        break;
      }
      name += c;
    }
    if (!ended) break;
    Add(id, name.c_str());
    at = unit + 2;
  }
}

BOOL CRecentList::Save() const {
  // The oldest that would take the file to its bound stay out.
  size_t total = 2, first = entries_.size();
  while (first > 0 && total + RecordBytes(entries_[first - 1]) < kFileBound) total += RecordBytes(entries_[--first]);
  std::vector<BYTE> bytes;
  bytes.reserve(total);
  for (size_t i = first; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(entry.id >> shift));
    for (WCHAR c : entry.name) PutUnit(bytes, c);
    PutUnit(bytes, 0);
  }
  PutUnit(bytes, 0);
  return ReplaceFileContents(FilePath().c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
}
