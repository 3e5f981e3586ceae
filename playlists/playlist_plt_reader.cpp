// The binary PLT list: a 25-character UTF-16 header, an entry count, and one 524-byte record of a
// zero-padded UTF-16 path per entry. The count is only believed as far as the file holds records.
#include <vector>

#include "file_bytes.h"
#include "playlist.h"

namespace {

WCHAR CharAt(const std::vector<BYTE>& bytes, size_t at) {
  return static_cast<WCHAR>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

int CPlaylist::ReadPltFile(LPCWSTR path) {
  std::vector<BYTE> bytes;
  if (!ReadFileBytes(path, bytes) || bytes.size() < kPltFirstRecord) return -1;
  for (size_t i = 0; i < kPltHeaderChars; ++i) {
    if (CharAt(bytes, i * 2) != kPltHeader[i]) return -1;
  }
  const DWORD count = bytes[kPltCountOffset] | bytes[kPltCountOffset + 1] << 8 | bytes[kPltCountOffset + 2] << 16 |
                      static_cast<DWORD>(bytes[kPltCountOffset + 3]) << 24;
  int first = -1;
  WCHAR record[kPlaylistLineChars];
  for (DWORD n = 0; n < count; ++n) {
    const size_t start = kPltFirstRecord + static_cast<size_t>(n) * kPltRecordBytes;
    if (start >= bytes.size()) break;
    // A last record cut short by the end of the file keeps what it has.
    size_t chars = 0;
    for (; chars < kPltRecordChars && start + chars * 2 + 1 < bytes.size(); ++chars) {
      record[chars] = CharAt(bytes, start + chars * 2);
      if (!record[chars]) break;
    }
    record[chars] = 0;
    if (ParseTextLine(path, record, PLAYLIST_FORMAT_PLT, nullptr) != 1) continue;
    const int index = InsertItem(record, -1, nullptr, -2);
    if (first < 0) first = index;
  }
  return first;
}
