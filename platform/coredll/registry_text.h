// The registry's text form: the file in the device folder and what zbreg prints. One
// [ROOT\path] section per key, then one line per value, in creation order, UTF-8 throughout,
// so that a person can read and mend it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "coredll/registry_tree.h"

namespace zb::registry {

// The whole registry, as saved in the device folder.
std::string WriteRegistryText(const Roots& roots);

// Appends the section of `key`, known by its full `path` ("HKEY_CURRENT_USER\Software"), and
// those of every key below it.
void WriteKeyText(std::string& out, const Key& key, std::u16string_view path);

// What follows "=" on a value's line: "text", dword:0000002a, hex:01,02 or hex(7):...
std::string ValueDataText(const Value& value);

struct TextProblem {
  size_t firstLine;
  size_t lastLine;
  std::string what;
};

struct ParsedRegistry {
  Roots roots = MakeRoots();
  std::vector<TextProblem> problems;  // empty when every line was read
  size_t keys = 0;
  size_t values = 0;
};

// Reads what can be read and lists every line it could not take.
ParsedRegistry ParseRegistryText(std::string_view text);

}  // namespace zb::registry
