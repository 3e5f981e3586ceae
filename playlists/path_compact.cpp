// Fitting a long path into a narrow column: the folder part gives way to "..." first, so the
// file name, which tells entries apart, stays readable as long as possible.
#include <string>

#include "path_helpers.h"

namespace {

constexpr char16_t kEllipsis[] = u"...";
// The file name kept aside while the folder shrinks.
constexpr size_t kMaxFileName = 258;

// Writes `text` over the path, never past a MAX_PATH buffer.
void Store(LPWSTR path, const std::u16string& text) {
  lstrcpynW(path, text.c_str(), MAX_PATH);
}

}  // namespace

BOOL CompactPathToMeasure(LPWSTR path, UINT width, const TextWidthMeasure& measure) {
  if (!path) return FALSE;
  const auto fits = [&](const std::u16string& text) {
    return text.size() < MAX_PATH &&
           static_cast<LONGLONG>(measure(text.c_str(), static_cast<int>(text.size()))) <= static_cast<LONGLONG>(width);
  };
  const std::u16string whole = path;
  if (fits(whole)) return TRUE;

  LPCWSTR name = FindPathFileName(path);
  if (name != path) name = CharPrevW(path, name);  // keep the name's backslash with it
  const size_t nameStart = static_cast<size_t>(name - path);

  if (nameStart == 0) {
    // One name alone: its end gives way to "...".
    std::u16string candidate;
    LPCWSTR end = path + whole.size();
    do {
      end = CharPrevW(path, end);
      candidate = whole.substr(0, static_cast<size_t>(end - path)) + kEllipsis;
    } while (!fits(candidate) && end > path);
    Store(path, candidate);
    return fits(candidate);
  }

  const std::u16string fileName = whole.substr(nameStart, kMaxFileName);
  for (LPCWSTR end = path + nameStart; end > path;) {
    end = CharPrevW(path, end);
    std::u16string candidate = whole.substr(0, static_cast<size_t>(end - path)) + kEllipsis + fileName;
    if (fits(candidate)) {
      Store(path, candidate);
      return TRUE;
    }
  }
  Store(path, kEllipsis + fileName);
  return FALSE;
}

BOOL CompactPathToWidth(HDC dc, LPWSTR path, UINT width) {
  HDC screen = dc ? nullptr : GetDC(nullptr);
  HDC measuring = dc ? dc : screen;
  BOOL fits = CompactPathToMeasure(path, width, [measuring](LPCWSTR text, int length) {
    SIZE size = {0, 0};
    GetTextExtentExPointW(measuring, text, length, 0, nullptr, nullptr, &size);
    return static_cast<int>(size.cx);
  });
  if (screen) ReleaseDC(nullptr, screen);
  return fits;
}
