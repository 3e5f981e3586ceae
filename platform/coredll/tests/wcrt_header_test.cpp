// <windows.h> first, the C++ library after it: the library's own wide helpers (std::stol on a
// wstring takes the address of std::wcstol) must still see only libc's functions, while our
// char16_t overloads win for device text.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <type_traits>

namespace {

TEST(WideRuntimeHeader, LeavesTheStandardLibrarysWideFunctionsAlone) {
  EXPECT_EQ(std::stol(std::wstring(1, static_cast<wchar_t>('7'))), 7);
  EXPECT_EQ(std::stoul(std::wstring(2, static_cast<wchar_t>('1'))), 11u);
  static_assert(std::is_same_v<decltype(wcstol(u"", nullptr, 10)), LONG>, "device text reaches ours");
  EXPECT_EQ(wcstol(u"-12", nullptr, 10), -12);
}

}  // namespace
