// VERSIONINFO as the platform's version block: a tree of nodes, each a u16 length (the node
// and its children), a u16 value length (characters for text, bytes for binary), a u16 type
// (1 text, 0 binary), a terminated key, padding to 4 bytes, the value, padding, the children.
// The root "VS_VERSION_INFO" holds the 52-byte fixed file information.
#include "zbrc/rc_parser.h"

namespace zb::rc {
namespace {

constexpr uint32_t kSignature = 0xFEEF04BD;
constexpr uint32_t kStructVersion = 0x00010000;

struct Node {
  std::u16string key;
  bool text = true;
  std::vector<uint8_t> value;  // text nodes: the characters and the terminator
  uint16_t valueLength = 0;
  std::vector<Node> children;
};

void Write(const Node& n, Bytes& b) {
  b.Align(4);
  size_t start = b.size();
  b.U16(0);  // the length, filled in below
  b.U16(n.valueLength);
  b.U16(n.text ? 1 : 0);
  b.Text(n.key);
  b.Align(4);
  b.Raw(n.value.data(), n.value.size());
  for (const Node& c : n.children) Write(c, b);
  b.PutU16At(start, static_cast<uint32_t>(b.size() - start));
}

Node TextValue(std::u16string key, const std::u16string& value) {
  Node n;
  n.key = std::move(key);
  Bytes v;
  v.Text(value);
  n.value = v.data();
  n.valueLength = static_cast<uint16_t>(value.size() + 1);
  return n;
}

// VALUE "key", items: strings make a text value, numbers a binary one (u16, or u32 with L).
Node Value(Parser& p) {
  std::u16string key = p.String("the value's name");
  p.Expect(",", "after the value's name");
  if (p.Peek().kind == Token::String) return TextValue(key, p.String("the value"));
  Node n;
  n.key = key;
  n.text = false;
  Bytes v;
  do {
    bool isLong = p.Peek().isLong;
    uint32_t x = static_cast<uint32_t>(p.Number("the value"));
    if (isLong) {
      v.U32(x);
    } else {
      v.U16(x);
    }
  } while (p.Accept(","));
  n.value = v.data();
  n.valueLength = static_cast<uint16_t>(n.value.size());
  return n;
}

std::vector<Node> Block(Parser& p, int depth) {
  if (depth > 8) p.Fail("version blocks nest too deeply");
  std::vector<Node> nodes;
  p.Begin("before the version block's contents");
  while (!p.End()) {
    if (p.AcceptWord("BLOCK")) {
      Node n;
      n.key = p.String("the block's name");
      n.children = Block(p, depth + 1);
      nodes.push_back(std::move(n));
    } else if (p.AcceptWord("VALUE")) {
      nodes.push_back(Value(p));
    } else {
      p.Fail("BLOCK or VALUE expected");
    }
  }
  return nodes;
}

}  // namespace

std::vector<uint8_t> CompileVersion(Parser& p) {
  uint32_t fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
  uint32_t flagsMask = 0x3F, flags = 0, os = 0, type = 0, subtype = 0;
  auto version = [&p](uint32_t* ms, uint32_t* ls) {
    uint32_t part[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
      part[i] = static_cast<uint32_t>(p.Number("a version number")) & 0xFFFF;
      if (!p.Accept(",")) break;
    }
    *ms = part[0] << 16 | part[1];
    *ls = part[2] << 16 | part[3];
  };
  for (;;) {
    if (p.AcceptWord("FILEVERSION")) version(&fileMs, &fileLs);
    else if (p.AcceptWord("PRODUCTVERSION")) version(&productMs, &productLs);
    else if (p.AcceptWord("FILEFLAGSMASK")) flagsMask = static_cast<uint32_t>(p.Number("the flags mask"));
    else if (p.AcceptWord("FILEFLAGS")) flags = static_cast<uint32_t>(p.Number("the flags"));
    else if (p.AcceptWord("FILEOS")) os = static_cast<uint32_t>(p.Number("the system"));
    else if (p.AcceptWord("FILETYPE")) type = static_cast<uint32_t>(p.Number("the file type"));
    else if (p.AcceptWord("FILESUBTYPE")) subtype = static_cast<uint32_t>(p.Number("the file subtype"));
    else break;
  }
  Node root;
  root.key = u"VS_VERSION_INFO";
  root.text = false;
  Bytes fixed;
  for (uint32_t v : {kSignature, kStructVersion, fileMs, fileLs, productMs, productLs, flagsMask, flags, os, type, subtype,
                     0u, 0u}) {
    fixed.U32(v);
  }
  root.value = fixed.data();
  root.valueLength = static_cast<uint16_t>(root.value.size());
  root.children = Block(p, 0);
  Bytes b;
  Write(root, b);
  return b.data();
}

}  // namespace zb::rc
