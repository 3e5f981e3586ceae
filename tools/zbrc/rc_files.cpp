// Resources from files and raw data: a BITMAP is the .bmp file without its 14-byte file header;
// an ICON file becomes one RT_ICON resource per image plus the group directory that names them
// (the directory's entries are 14 bytes: the file's 16-byte entry with the image's id in place
// of its offset). Raw data in the script is numbers (u16, or u32 with L) and strings (narrow
// text without terminator; L"..." as UTF-16).
#include "zbrc/rc_parser.h"

namespace zb::rc {
namespace {

uint32_t U32At(const std::vector<uint8_t>& f, size_t at) {
  return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<uint32_t>(f[at + 3]) << 24;
}
uint16_t U16At(const std::vector<uint8_t>& f, size_t at) { return static_cast<uint16_t>(f[at] | f[at + 1] << 8); }

}  // namespace

std::vector<uint8_t> BitmapFromFile(Parser& p, const std::vector<uint8_t>& file) {
  constexpr size_t kFileHeader = 14;
  if (file.size() < kFileHeader + 40 || file[0] != 'B' || file[1] != 'M') p.Fail("the bitmap file is not a BMP file");
  uint32_t headerSize = U32At(file, kFileHeader);
  if (headerSize < 12 || kFileHeader + headerSize > file.size()) p.Fail("the bitmap file's header is damaged");
  return std::vector<uint8_t>(file.begin() + kFileHeader, file.end());
}

std::vector<uint8_t> IconGroupFromFile(Parser& p, const std::vector<uint8_t>& file, uint16_t& nextId,
                                       std::vector<std::vector<uint8_t>>& images) {
  if (file.size() < 6 || U16At(file, 0) != 0 || U16At(file, 2) != 1) p.Fail("the icon file is not an ICO file");
  const uint16_t count = U16At(file, 4);
  if (count == 0 || file.size() < 6 + 16u * count) p.Fail("the icon file's directory is damaged");
  Bytes group;
  group.U16(0);
  group.U16(1);
  group.U16(count);
  for (uint16_t i = 0; i < count; ++i) {
    const size_t e = 6 + 16u * i;
    const uint32_t bytes = U32At(file, e + 8), offset = U32At(file, e + 12);
    if (offset > file.size() || bytes > file.size() - offset) p.Fail("an image of the icon file lies outside it");
    images.emplace_back(file.begin() + offset, file.begin() + offset + bytes);
    group.Raw(file.data() + e, 12);  // width, height, colours, reserved, planes, bits, size
    group.U16(nextId++);
  }
  return group.data();
}

std::vector<uint8_t> CompileRawData(Parser& p) {
  Bytes b;
  p.Begin("before the data");
  while (!p.End()) {
    const Token& t = p.Peek();
    if (t.kind == Token::String) {
      bool wide = t.wideString;
      std::u16string s = p.Next().wide;
      for (char16_t c : s) {
        if (wide) {
          b.U16(c);
        } else {
          std::string narrow = Utf8(std::u16string(1, c));
          b.Raw(narrow.data(), narrow.size());
        }
      }
    } else {
      bool isLong = t.isLong;
      uint32_t v = static_cast<uint32_t>(p.Number("a data value"));
      if (isLong) {
        b.U32(v);
      } else {
        b.U16(v);
      }
    }
    p.Accept(",");
  }
  return b.data();
}

}  // namespace zb::rc
