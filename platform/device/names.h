// What a single file or folder name on the device may be: the platform refuses wildcards,
// the characters it uses as syntax and control characters, so names made here must too.
#pragma once
#include <string_view>

namespace zb::device {

// False for "", ".", "..", names with \ / : * ? " < > | or characters below 0x20.
bool IsValidName(std::u16string_view name);

// True when the name holds "*" or "?".
bool HasWildcard(std::u16string_view name);

}  // namespace zb::device
