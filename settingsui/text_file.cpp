// Text files. The byte-order mark wins over the caller's code page, because playlists and skin
// texts arrive from other machines with marks their readers cannot predict.
#include "settingsui/text_file.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/common/codepage_convert.h"
#include "core/common/file_replace.h"
#include "settingsui/memory_retry.h"

namespace {

constexpr UINT kUtf16CodePage = 1200;

struct ByteOrderMark {
  BYTE bytes[3];
  DWORD size;
  UINT codePage;
};

constexpr ByteOrderMark kMarks[] = {
    {{0xFF, 0xFE, 0}, 2, kRawUtf16CodePage},
    {{0xEF, 0xBB, 0xBF}, 3, CP_UTF8},
};

// Per id: -1, -2 and -3 name fixed pages.
constexpr struct {
  int id;
  UINT codePage;
} kIds[] = {{-1, 1252}, {-2, CP_UTF8}, {-3, kUtf16CodePage}};

}  // namespace

UINT CodePageFromId(int id) {
  for (const auto& entry : kIds) {
    if (entry.id == id) return entry.codePage;
  }
  return id < 0 ? CP_ACP : static_cast<UINT>(id);
}

WCHAR* DecodeText(const BYTE* bytes, DWORD count, UINT codePage) {
  if (!bytes || count < 2 || count > 0x7FFFFFFE) return nullptr;
  if (codePage == kUtf16CodePage) codePage = kRawUtf16CodePage;
  for (const ByteOrderMark& mark : kMarks) {
    if (count >= mark.size && std::memcmp(bytes, mark.bytes, mark.size) == 0) {
      bytes += mark.size;
      count -= mark.size;
      codePage = mark.codePage;
      break;
    }
  }
  const char* text = reinterpret_cast<const char*>(bytes);
  const int length = static_cast<int>(count);
  int needed = count == 0 ? 0 : MultiByteToWide(codePage, 0, text, length, nullptr, 0);
  if (count > 0 && needed <= 0) return nullptr;  // a code page the device does not know
  const size_t chars = static_cast<size_t>(needed) + 1;
  auto* out = static_cast<WCHAR*>(AllocWithRetry(chars * sizeof(WCHAR), (chars + 8192) * sizeof(WCHAR)));
  if (!out) return nullptr;
  int made = needed == 0 ? 0 : MultiByteToWide(codePage, 0, text, length, out, needed);
  out[made] = 0;
  return out;
}

WCHAR* ReadTextFile(const WCHAR* path, int codePageId) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  WCHAR* text = nullptr;
  if (size != INVALID_FILE_SIZE && high == 0 && size < 0x7FFFFFFE) {
    auto* bytes = static_cast<BYTE*>(AllocWithRetry(static_cast<size_t>(size) + 1, static_cast<size_t>(size) + 16385));
    DWORD got = 0;
    if (bytes && ReadFile(file, bytes, size, &got, nullptr) && got == size) {
      bytes[size] = 0;
      text = DecodeText(bytes, size, CodePageFromId(codePageId));
    }
    std::free(bytes);
  }
  CloseHandle(file);
  return text;
}

BOOL WriteTextFile(const WCHAR* path, const WCHAR* text, int codePageId) {
  if (!path || !text) return FALSE;
  const UINT codePage = CodePageFromId(codePageId);
  std::string bytes;
  if (codePage == kUtf16CodePage) {
    const size_t units = wcslen(text) + 1;
    bytes.assign("\xFF\xFE", 2);
    for (size_t i = 0; i < units; ++i) {
      bytes += static_cast<char>(text[i] & 0xFF);
      bytes += static_cast<char>(text[i] >> 8);
    }
  } else {
    const int length = static_cast<int>(wcslen(text));
    if (length > 0) {
      int needed = WideToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
      if (needed <= 0) return FALSE;
      bytes.resize(static_cast<size_t>(needed));
      if (WideToMultiByte(codePage, 0, text, length, bytes.data(), needed, nullptr, nullptr) != needed) return FALSE;
    }
  }
  return ReplaceFileContents(path, bytes.data(), static_cast<DWORD>(bytes.size()));
}
