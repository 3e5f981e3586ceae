// The profile file's text: "key = value" lines under [section] headers, "#" comment lines.
// Reading keeps every usable line and reports the rest; writing states every value.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "device/profile.h"

namespace zb::device {

// Applies the lines of `text` to `profile`, which holds the defaults. A line that cannot be used
// leaves its default in place and adds the message "<fileName>:<line>: <why>".
void ReadProfileText(std::string_view text, std::string_view fileName, Profile& profile,
                     std::vector<std::string>& messages);

// A profile file that states the values of `profile`, with comments on how to change them.
std::string ProfileText(const Profile& profile);

}  // namespace zb::device
