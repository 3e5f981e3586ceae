// UTF-8 conversions for the library's SQLite side (see utf8_text.h).
#include "utf8_text.h"

#include <windows.h>

std::u16string Utf8ToWide(std::string_view text) {
  if (text.empty()) return std::u16string();
  const int size = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (chars <= 0) return std::u16string();
  std::u16string out(static_cast<size_t>(chars), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), chars);
  return out;
}

std::string WideToUtf8(std::u16string_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}
