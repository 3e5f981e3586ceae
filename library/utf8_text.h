// UTF-8 and UTF-16 through the platform's code-page calls: SQLite speaks UTF-8 in its file
// names and narrow messages, the library UTF-16.
#pragma once
#include <string>
#include <string_view>

std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);
