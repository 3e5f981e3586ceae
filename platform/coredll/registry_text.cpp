// Writing and reading the registry's text form. Values keep their bytes exactly: a string goes
// out as quoted text only when the quoted text reads back to the same bytes, anything else as
// hex. The reader is strict about each line, so that a damaged line is reported instead of
// quietly read as something else, and carries on with the next one.
#include "coredll/registry_text.h"

#include <charconv>

#include "device/text.h"

namespace zb::registry {
namespace {

constexpr char kHeader[] = "; Device registry: one [key] section per key, keys and values in creation order.\n";
constexpr size_t kWrapColumn = 77;
constexpr char kHexDigits[] = "0123456789abcdef";

// ---- writing ----

void AppendHex(std::string& out, unsigned value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHexDigits[(value >> shift) & 0xF];
}

// Quoted text with \\ \" \n \r \t and \uXXXX for other control characters and for lone
// surrogates, which UTF-8 cannot carry.
void AppendQuoted(std::string& out, std::u16string_view text) {
  out += '"';
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
      continue;
    }
    const char* escape = c == u'\\' ? "\\\\" : c == u'"' ? "\\\"" : c == u'\n' ? "\\n" : c == u'\r' ? "\\r"
                       : c == u'\t' ? "\\t" : nullptr;
    bool coded = !escape && (c < 0x20 || c == 0x7F || IsHighSurrogate(c) || IsLowSurrogate(c));
    if (!escape && !coded) continue;
    out += ToUtf8(text.substr(run, i - run));
    if (escape) {
      out += escape;
    } else {
      out += "\\u";
      AppendHex(out, c, 4);
    }
    run = i + 1;
  }
  out += ToUtf8(text.substr(run));
  out += '"';
}

std::u16string DecodeUtf16(const std::vector<BYTE>& data, size_t units) {
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return text;
}

// A string that quoted text gives back byte for byte: whole UTF-16 units ending in exactly
// one terminator.
bool IsPlainString(const std::vector<BYTE>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  std::u16string text = DecodeUtf16(data, data.size() / 2);
  return text.find(u'\0') == text.size() - 1;
}

void AppendHexBytes(std::string& out, const std::vector<BYTE>& data, size_t column) {
  for (size_t i = 0; i < data.size(); ++i) {
    if (i > 0) {
      out += ',';
      if (++column + 2 > kWrapColumn) {
        out += "\\\n  ";
        column = 2;
      }
    }
    AppendHex(out, data[i], 2);
    column += 2;
  }
}

std::string DataText(const Value& value, size_t column) {
  std::string out;
  if (value.type == REG_DWORD && value.data.size() == 4) {
    out = "dword:";
    AppendHex(out, value.data[0] | value.data[1] << 8 | value.data[2] << 16 | unsigned(value.data[3]) << 24, 8);
  } else if (value.type == REG_SZ && IsPlainString(value.data)) {
    AppendQuoted(out, DecodeUtf16(value.data, value.data.size() / 2 - 1));
  } else {
    out = "hex";
    if (value.type != REG_BINARY) {
      out += '(';
      std::array<char, 8> digits;
      auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value.type, 16).ptr;
      out.append(digits.data(), end);
      out += ')';
    }
    out += ':';
    AppendHexBytes(out, value.data, column + out.size());
  }
  return out;
}

// ---- reading ----

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Exactly `digits` hex digits; false otherwise.
bool ParseHexNumber(std::string_view s, size_t digits, uint32_t& out) {
  if (s.size() != digits) return false;
  out = 0;
  for (char c : s) {
    int v = HexValue(c);
    if (v < 0) return false;
    out = out << 4 | static_cast<uint32_t>(v);
  }
  return true;
}

// Readable text: well-formed UTF-8 without control characters other than tab. Binary garbage
// fails here.
bool IsReadableText(std::string_view line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
  }
  bool illFormed = false;
  FromUtf8(line, &illFormed);
  return !illFormed;
}

class Parser {
 public:
  ParsedRegistry Run(std::string_view text);

 private:
  void Problem(size_t first, size_t last, std::string what) {
    result_.problems.push_back(TextProblem{first, last, std::move(what)});
  }
  void Line(size_t first, size_t last, std::string_view line);
  bool Section(std::string_view line, std::string& error);
  bool ValueLine(std::string_view line, std::string& error);
  static bool Quoted(std::string_view line, size_t& pos, std::u16string& out, std::string& error);
  static bool HexBytes(std::string_view s, std::vector<BYTE>& out);

  ParsedRegistry result_;
  Key* current_ = nullptr;  // null after a section that could not be read: its values go too
  size_t currentLine_ = 0;
  bool inSection_ = false;
};

ParsedRegistry Parser::Run(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t pos = 0, lineNo = 0;
  while (pos < text.size()) {
    size_t first = lineNo + 1;
    std::string logical;
    bool ended = false, continues = false;
    do {
      size_t nl = text.find('\n', pos);
      ended = nl != text.npos;
      std::string_view physical = text.substr(pos, ended ? nl - pos : text.npos);
      pos = ended ? nl + 1 : text.size();
      ++lineNo;
      if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
      physical = TrimRight(continues ? TrimLeft(physical) : physical);
      // Only hex data is continued: a value line ending in ",\" goes on on the next line.
      std::string_view start = TrimLeft(logical.empty() ? physical : std::string_view(logical));
      bool value = !start.empty() && (start.front() == '"' || start.front() == '@');
      continues = value && physical.size() >= 2 && physical.substr(physical.size() - 2) == ",\\";
      logical += continues ? physical.substr(0, physical.size() - 1) : physical;
    } while (continues && pos < text.size());
    if (continues) {
      Problem(first, lineNo, "the value breaks off at the end of the file");
      break;
    }
    Line(first, lineNo, logical);
    std::string_view body = TrimLeft(logical);
    if (!ended && !body.empty() && body.front() != ';') {
      Problem(lineNo, lineNo, "the last line has no line end: the file may be cut short");
    }
  }
  return std::move(result_);
}

void Parser::Line(size_t first, size_t last, std::string_view line) {
  std::string_view body = TrimLeft(line);
  if (body.empty() || body.front() == ';') return;
  std::string error;
  if (!IsReadableText(body)) {
    error = "not readable text";
    if (body.front() == '[') current_ = nullptr, inSection_ = true, currentLine_ = first;
  } else if (body.front() == '[') {
    if (!Section(body, error)) current_ = nullptr;
    inSection_ = true;
    currentLine_ = first;
  } else if (body.front() == '"' || body.front() == '@') {
    if (!inSection_) {
      error = "a value before any [key] section";
    } else if (!current_) {
      error = "a value of the unreadable section at line " + std::to_string(currentLine_);
    } else {
      ValueLine(body, error);
    }
  } else {
    error = "neither a [key] section nor a value";
  }
  if (!error.empty()) Problem(first, last, std::move(error));
}

bool Parser::Section(std::string_view line, std::string& error) {
  if (line.back() != ']') {
    error = "the section has no closing bracket";
    return false;
  }
  std::u16string path = FromUtf8(line.substr(1, line.size() - 2));
  size_t slash = path.find(u'\\');
  int root = FindRoot(std::u16string_view(path).substr(0, slash));
  if (root < 0) {
    error = "the section does not start with a known root";
    return false;
  }
  std::vector<std::u16string_view> names;
  if (slash != path.npos && (slash + 1 == path.size() ||
                             !SplitKeyPath(std::u16string_view(path).substr(slash + 1), names))) {
    error = "the section names a key that cannot exist";
    return false;
  }
  Key* key = result_.roots[root].get();
  for (std::u16string_view name : names) {
    std::shared_ptr<Key> child = key->Child(name);
    if (!child) {
      child = key->AddChild(std::u16string(name));
      ++result_.keys;
    }
    key = child.get();
  }
  current_ = key;
  return true;
}

bool Parser::ValueLine(std::string_view line, std::string& error) {
  size_t pos = 0;
  std::u16string name;
  if (line.front() == '@') {
    pos = 1;
  } else if (!Quoted(line, pos, name, error)) {
    return false;
  }
  std::string_view rest = TrimLeft(line.substr(pos));
  if (rest.empty() || rest.front() != '=') {
    error = "no \"=\" after the value's name";
    return false;
  }
  rest = TrimLeft(rest.substr(1));
  Value value;
  value.name = std::move(name);
  if (!rest.empty() && rest.front() == '"') {
    std::u16string text;
    size_t at = 0;
    if (!Quoted(rest, at, text, error)) return false;
    if (at != rest.size()) {
      error = "text after the closing quote";
      return false;
    }
    value.type = REG_SZ;
    for (char16_t c : text + u'\0') {
      value.data.push_back(static_cast<BYTE>(c & 0xFF));
      value.data.push_back(static_cast<BYTE>(c >> 8));
    }
  } else if (rest.substr(0, 6) == "dword:") {
    uint32_t number;
    if (!ParseHexNumber(rest.substr(6), 8, number)) {
      error = "a dword needs exactly eight hex digits";
      return false;
    }
    value.type = REG_DWORD;
    value.data = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
  } else if (rest.substr(0, 3) == "hex") {
    rest.remove_prefix(3);
    value.type = REG_BINARY;
    if (!rest.empty() && rest.front() == '(') {
      size_t close = rest.find(')');
      if (close == rest.npos || close < 2 || close > 9 ||
          !ParseHexNumber(rest.substr(1, close - 1), close - 1, value.type)) {
        error = "a bad type number in hex(...)";
        return false;
      }
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':' || !HexBytes(rest.substr(1), value.data)) {
      error = "bad hex data: bytes are two hex digits each, separated by commas";
      return false;
    }
  } else {
    error = "the data is neither \"text\", dword: nor hex:";
    return false;
  }
  current_->SetValue(value.name, value.type, std::move(value.data));
  ++result_.values;
  return true;
}

bool Parser::Quoted(std::string_view line, size_t& pos, std::u16string& out, std::string& error) {
  size_t run = ++pos;
  while (pos < line.size() && line[pos] != '"') {
    if (line[pos] != '\\') {
      ++pos;
      continue;
    }
    out += FromUtf8(line.substr(run, pos - run));
    char e = pos + 1 < line.size() ? line[pos + 1] : '\0';
    uint32_t unit = 0;
    if (e == '\\' || e == '"') {
      out += static_cast<char16_t>(e);
    } else if (e == 'n' || e == 'r' || e == 't') {
      out += e == 'n' ? u'\n' : e == 'r' ? u'\r' : u'\t';
    } else if (e == 'u' && ParseHexNumber(line.substr(pos + 2, 4), 4, unit)) {
      out += static_cast<char16_t>(unit);
      pos += 4;
    } else {
      error = "an unknown escape in quoted text";
      return false;
    }
    pos += 2;
    run = pos;
  }
  if (pos >= line.size()) {
    error = "quoted text has no closing quote";
    return false;
  }
  out += FromUtf8(line.substr(run, pos - run));
  ++pos;
  return true;
}

bool Parser::HexBytes(std::string_view s, std::vector<BYTE>& out) {
  s = TrimLeft(s);
  if (s.empty()) return true;
  while (true) {
    size_t comma = s.find(',');
    uint32_t byte;
    if (!ParseHexNumber(TrimRight(TrimLeft(s.substr(0, comma))), 2, byte)) return false;
    out.push_back(static_cast<BYTE>(byte));
    if (comma == s.npos) return true;
    s.remove_prefix(comma + 1);
  }
}

}  // namespace

std::string ValueDataText(const Value& value) { return DataText(value, 0); }

void WriteKeyText(std::string& out, const Key& key, std::u16string_view path) {
  if (!key.values().empty() || key.children().empty()) {
    out += '[';
    out += ToUtf8(path);
    out += "]\n";
    for (const Value& value : key.values()) {
      size_t start = out.size();
      if (value.name.empty()) {
        out += '@';
      } else {
        AppendQuoted(out, value.name);
      }
      out += '=';
      out += DataText(value, out.size() - start);
      out += '\n';
    }
    out += '\n';
  }
  std::u16string childPath(path);
  childPath += u'\\';
  for (const auto& child : key.children()) {
    WriteKeyText(out, *child, childPath + child->name());
  }
}

std::string WriteRegistryText(const Roots& roots) {
  std::string out = kHeader;
  out += '\n';
  for (const auto& root : roots) {
    if (!root->values().empty() || !root->children().empty()) WriteKeyText(out, *root, root->name());
  }
  return out;
}

ParsedRegistry ParseRegistryText(std::string_view text) { return Parser().Run(text); }

}  // namespace zb::registry
