// Text between the script (UTF-8, as files and terminals hold it) and the playlist (UTF-16).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

std::u16string FromUtf8(std::string_view text);
std::string ToUtf8(std::u16string_view text);
