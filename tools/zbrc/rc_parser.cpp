// Statement dispatch and the token cursor. A statement is "LANGUAGE ...", "STRINGTABLE ...",
// or "name type ..." with the type a standard keyword, a custom name or a number.
#include "zbrc/rc_parser.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "zbrc/rc_expr.h"

namespace zb::rc {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMemoryOptions[] = {"DISCARDABLE", "MOVEABLE", "FIXED",     "PURE",
                                          "IMPURE",      "PRELOAD",  "LOADONCALL", "SHARED", "NONSHARED"};

struct Keyword {
  const char* word;
  StandardType type;
};

constexpr Keyword kTypeKeywords[] = {
    {"BITMAP", kRtBitmap}, {"ICON", kRtIcon}, {"MENU", kRtMenu}, {"DIALOG", kRtDialog},
    {"DIALOGEX", kRtDialog}, {"RCDATA", kRtRcData}, {"VERSIONINFO", kRtVersion},
};

constexpr const char* kUnsupported[] = {"MENUEX", "ACCELERATORS", "CURSOR", "FONT", "MESSAGETABLE", "TOOLBAR", "HTML"};

}  // namespace

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return s;
}

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

Parser::Parser(std::vector<Token> tokens, fs::path scriptDir, std::vector<fs::path> includeDirs)
    : tokens_(std::move(tokens)), scriptDir_(std::move(scriptDir)), includeDirs_(std::move(includeDirs)) {}

const Token& Parser::Peek(size_t ahead) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }

const Token& Parser::Next() {
  const Token& t = Peek();
  if (pos_ < tokens_.size() - 1) ++pos_;
  return t;
}

bool Parser::IsWord(const Token& t, const char* word) const {
  if (t.kind != Token::Identifier || t.text.size() != std::strlen(word)) return false;
  for (size_t i = 0; i < t.text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(t.text[i])) != word[i]) return false;
  return true;
}

bool Parser::AcceptWord(const char* word) {
  if (!IsWord(Peek(), word)) return false;
  Next();
  return true;
}

bool Parser::Accept(const char* punct) {
  if (Peek().kind != Token::Punct || Peek().text != punct) return false;
  Next();
  return true;
}

void Parser::Expect(const char* punct, const char* what) {
  if (!Accept(punct)) Fail(std::string("\"") + punct + "\" expected " + what);
}

void Parser::Fail(const std::string& message) const {
  const Token& t = Peek();
  std::string near = t.kind == Token::End ? "the end of the script" : t.kind == Token::String ? "a string" : "\"" + t.text + "\"";
  throw Error(Where(t), message + " (at " + near + ")");
}

int64_t Parser::Number(const char* what) {
  if (Peek().kind == Token::Identifier) throw Error(Where(Peek()), "unknown name \"" + Peek().text + "\" where " + what + " belongs");
  if (!StartsExpression(Peek())) Fail(std::string("a number expected for ") + what);
  return Evaluate(tokens_, pos_);
}

Style Parser::StyleList() {
  Style s;
  do {
    bool negate = AcceptWord("NOT");
    if (Peek().kind == Token::Identifier) throw Error(Where(Peek()), "unknown style \"" + Peek().text + "\"");
    if (!StartsExpression(Peek())) Fail("a style expected");
    uint32_t v = static_cast<uint32_t>(EvaluateOperand(tokens_, pos_));
    (negate ? s.clear : s.set) |= v;
  } while (Accept("|"));
  return s;
}

std::u16string Parser::String(const char* what) {
  if (Peek().kind != Token::String) Fail(std::string("a string expected for ") + what);
  std::u16string s;
  while (Peek().kind == Token::String) s += Next().wide;  // adjacent strings join
  return s;
}

Id Parser::NameOrId(const char* what) {
  const Token& t = Peek();
  if (t.kind == Token::String) return Id{true, 0, Upper(String(what))};
  if (t.kind == Token::Identifier) {
    Next();
    return Id{true, 0, Upper(std::u16string(t.text.begin(), t.text.end()))};
  }
  int64_t n = Number(what);
  if (n < 0 || n > 0xFFFF) throw Error(Where(t), std::string(what) + " must be from 0 to 65535");
  return NumberId(static_cast<uint16_t>(n));
}

void Parser::Begin(const char* what) {
  if (!AcceptWord("BEGIN") && !Accept("{")) Fail(std::string("BEGIN expected ") + what);
}

bool Parser::End() { return AcceptWord("END") || Accept("}"); }

void Parser::SkipMemoryOptions() {
  for (bool again = true; again;) {
    again = false;
    for (const char* o : kMemoryOptions) again = again || AcceptWord(o);
  }
}

void Parser::SetLanguage() {
  int64_t primary = Number("the language");
  Expect(",", "between the language and the sublanguage");
  int64_t sub = Number("the sublanguage");
  language_ = static_cast<uint16_t>((sub & 0x3F) << 10 | (primary & 0x3FF));
}

std::vector<uint8_t> Parser::ReadDataFile(const std::u16string& name) {
  std::string relative = Utf8(name);
  for (char& c : relative)
    if (c == '\\') c = '/';
  std::vector<fs::path> places{scriptDir_};
  places.insert(places.end(), includeDirs_.begin(), includeDirs_.end());
  for (const fs::path& dir : places) {
    fs::path file = fs::path(relative).is_absolute() ? fs::path(relative) : dir / relative;
    std::ifstream in(file, std::ios::binary);
    if (!in) continue;
    dataFiles_.insert(fs::absolute(file).lexically_normal());
    std::ostringstream s;
    s << in.rdbuf();
    std::string bytes = s.str();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }
  Fail("cannot read the file \"" + relative + "\"");
}

void Parser::Add(std::vector<Resource>& out, Id type, Id name, std::vector<uint8_t> data, const Token& at) {
  for (const Resource& r : out) {
    if (r.type == type && r.name == name && r.language == language_)
      throw Error(Where(at), "a second resource of the same type and name (the first is at " + r.where + ")");
  }
  out.push_back(Resource{type, name, language_, std::move(data), Where(at)});
}

std::vector<Resource> Parser::Parse() {
  std::vector<Resource> out;
  while (Peek().kind != Token::End) Statement(out);
  for (const auto& [key, block] : strings_) {
    Resource r;
    r.type = NumberId(kRtString);
    r.name = NumberId(static_cast<uint16_t>(key.second + 1));
    r.language = key.first;
    r.data = StringBlock(block, static_cast<uint16_t>(key.second * 16));
    r.where = "STRINGTABLE";
    out.push_back(std::move(r));
  }
  return out;
}

void Parser::Statement(std::vector<Resource>& out) {
  const Token& first = Peek();
  if (AcceptWord("LANGUAGE")) {
    SetLanguage();
    return;
  }
  if (AcceptWord("STRINGTABLE")) {
    std::map<uint16_t, std::u16string> table;
    CompileStringTable(*this, table);
    for (auto& [id, text] : table) {
      auto& block = strings_[{language_, static_cast<uint16_t>(id >> 4)}];
      if (block.count(id)) throw Error(Where(first), "string " + std::to_string(id) + " is defined twice");
      block[id] = text;
    }
    return;
  }
  Id name = NameOrId("the resource's name");
  const Token& typeToken = Peek();
  for (const char* word : kUnsupported) {
    if (IsWord(typeToken, word)) Fail(std::string(word) + " resources are not supported");
  }
  for (const Keyword& k : kTypeKeywords) {
    if (!IsWord(typeToken, k.word)) continue;
    Next();
    SkipMemoryOptions();
    std::vector<uint8_t> data;
    switch (k.type) {
      case kRtDialog:
        data = CompileDialog(*this, IsWord(typeToken, "DIALOGEX"));
        break;
      case kRtMenu:
        data = CompileMenu(*this);
        break;
      case kRtVersion:
        data = CompileVersion(*this);
        break;
      case kRtBitmap:
        data = BitmapFromFile(*this, ReadDataFile(String("the bitmap's file")));
        break;
      case kRtIcon: {
        std::vector<std::vector<uint8_t>> images;
        uint16_t first = nextIconId_;
        data = IconGroupFromFile(*this, ReadDataFile(String("the icon's file")), nextIconId_, images);
        for (size_t i = 0; i < images.size(); ++i)
          Add(out, NumberId(kRtIcon), NumberId(static_cast<uint16_t>(first + i)), std::move(images[i]), typeToken);
        Add(out, NumberId(kRtGroupIcon), name, std::move(data), typeToken);
        return;
      }
      default:  // RCDATA: a file or data in the script
        data = Peek().kind == Token::String ? ReadDataFile(String("the data's file")) : CompileRawData(*this);
        break;
    }
    Add(out, NumberId(k.type), name, std::move(data), typeToken);
    return;
  }
  // Any other type: a custom one by name or by number, from a file or from the script.
  Id type = NameOrId("the resource's type");
  SkipMemoryOptions();
  std::vector<uint8_t> data = Peek().kind == Token::String ? ReadDataFile(String("the data's file")) : CompileRawData(*this);
  Add(out, type, name, std::move(data), typeToken);
}

}  // namespace zb::rc
