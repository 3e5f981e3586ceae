// STRINGTABLE: "id, text" lines (the comma is optional). Strings are kept in blocks of 16 by
// id / 16; a block is 16 counted strings (a u16 length and the characters, no terminator),
// empty where an id is not used.
#include "zbrc/rc_parser.h"

namespace zb::rc {

void CompileStringTable(Parser& p, std::map<uint16_t, std::u16string>& strings) {
  p.SkipMemoryOptions();
  p.Begin("before the strings");
  while (!p.End()) {
    const Token& at = p.Peek();
    int64_t id = p.Number("the string's id");
    if (id < 0 || id > 0xFFFF) throw Error(Where(at), "a string id must be from 0 to 65535");
    p.Accept(",");
    std::u16string text = p.String("the string");
    if (text.size() > 0xFFFF) throw Error(Where(at), "a string is longer than 65535 characters");
    if (!strings.emplace(static_cast<uint16_t>(id), text).second) throw Error(Where(at), "string " + std::to_string(id) + " is defined twice");
  }
}

std::vector<uint8_t> StringBlock(const std::map<uint16_t, std::u16string>& block, uint16_t first) {
  Bytes b;
  for (uint32_t id = first; id < first + 16u; ++id) {
    auto it = block.find(static_cast<uint16_t>(id));
    const std::u16string empty;
    const std::u16string& s = it == block.end() ? empty : it->second;
    b.U16(static_cast<uint32_t>(s.size()));
    for (char16_t c : s) b.U16(c);
  }
  return b.data();
}

}  // namespace zb::rc
