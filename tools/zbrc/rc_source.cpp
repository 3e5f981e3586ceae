// Reading a resource script: files become lines without comments, preprocessor lines are obeyed,
// the rest is cut into tokens with macros expanded. Scripts are UTF-8.
#include "zbrc/rc_source.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "zbrc/rc_expr.h"

namespace zb::rc {
namespace {

namespace fs = std::filesystem;

// Headers of the platform whose resource constants are built in; including them is a no-op.
constexpr const char* kBuiltinHeaders[] = {"windows.h", "winuser.h", "winver.h", "commctrl.h", "aygshell.h",
                                           "newres.h",  "winresrc.h", "afxres.h", "wingdi.h",   "winbase.h"};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw Error(file.string(), "cannot read the file");
  std::ostringstream s;
  s << in.rdbuf();
  std::string text = s.str();
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
      static_cast<unsigned char>(text[2]) == 0xBF) {
    text.erase(0, 3);
  }
  return text;
}

// Blanks out comments (keeping line breaks, so line numbers stay) without touching strings.
std::string StripComments(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (inString) {
      out += c;
      if (c == '"') inString = false;
      else if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') out += text[++i];
      else if (c == '\n') inString = false;  // an unterminated string ends with its line
      continue;
    }
    if (c == '"') {
      inString = true;
      out += c;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
      if (i < text.size()) out += '\n';
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      i += 2;
      while (i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/')) {
        if (text[i] == '\n') out += '\n';
        ++i;
      }
      ++i;
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

void AppendUtf8(std::u16string& out, const std::string& s, size_t& i, const std::string& where) {
  unsigned char c = s[i];
  uint32_t cp;
  int more;
  if (c < 0x80) {
    out += static_cast<char16_t>(c);
    return;
  } else if ((c & 0xE0) == 0xC0) {
    cp = c & 0x1F, more = 1;
  } else if ((c & 0xF0) == 0xE0) {
    cp = c & 0x0F, more = 2;
  } else if ((c & 0xF8) == 0xF0) {
    cp = c & 0x07, more = 3;
  } else {
    throw Error(where, "the script is not UTF-8 text");
  }
  for (int k = 0; k < more; ++k) {
    if (i + 1 >= s.size() || (static_cast<unsigned char>(s[i + 1]) & 0xC0) != 0x80) throw Error(where, "the script is not UTF-8 text");
    cp = cp << 6 | (static_cast<unsigned char>(s[++i]) & 0x3F);
  }
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<char16_t>(cp);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

}  // namespace

std::string Where(const Token& t) { return t.file + ":" + std::to_string(t.line); }

Source::Source(Options options) : options_(std::move(options)) {
  for (const auto& [name, value] : BuiltinDefines()) macros_[name].body = Lex(value, "<built-in>", 0);
  macros_["RC_INVOKED"].body = Lex("1", "<built-in>", 0);
  for (const auto& [name, value] : options_.defines) macros_[name].body = Lex(value.empty() ? "1" : value, "<command line>", 0);
}

std::vector<Token> Source::Read(const fs::path& script) {
  tokens_.clear();
  ReadFile(script, 0);
  if (!branches_.empty()) throw Error(script.string(), "#if without #endif");
  Token end;
  end.kind = Token::End;
  end.file = script.string();
  end.line = tokens_.empty() ? 1 : tokens_.back().line;
  tokens_.push_back(end);
  return tokens_;
}

void Source::ReadFile(const fs::path& file, int depth) {
  if (depth > 32) throw Error(file.string(), "includes nest too deeply");
  files_.insert(fs::absolute(file).lexically_normal());
  std::string text = StripComments(ReadText(file));
  std::istringstream lines(text);
  std::string line, joined;
  int number = 0, start = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (joined.empty()) start = number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.back() == '\\') {
      joined += line.substr(0, line.size() - 1);
      continue;
    }
    joined += line;
    std::string trimmed = Trim(joined);
    joined.clear();
    if (!trimmed.empty() && trimmed[0] == '#') {
      Directive(trimmed.substr(1), file, start, depth);
    } else if (branches_.empty() || branches_.back().active) {
      std::vector<Token> raw = Lex(trimmed, file.string(), start);
      std::set<std::string> active;
      for (size_t i = 0; i < raw.size();) {
        const Token& t = raw[i++];
        Expand(t, tokens_, active, i, raw);
      }
    }
  }
}

void Source::Expand(const Token& t, std::vector<Token>& out, std::set<std::string>& active, size_t& next,
                    const std::vector<Token>& line) {
  auto it = t.kind == Token::Identifier ? macros_.find(t.text) : macros_.end();
  if (it == macros_.end() || active.count(t.text)) {
    out.push_back(t);
    return;
  }
  if (it->second.function) {
    if (next < line.size() && line[next].text == "(") throw Error(Where(t), "function-like macro " + t.text + " is not supported here");
    out.push_back(t);
    return;
  }
  active.insert(t.text);
  const std::vector<Token>& body = it->second.body;
  for (size_t i = 0; i < body.size();) {
    Token copy = body[i++];
    copy.file = t.file;  // errors point at the use
    copy.line = t.line;
    Expand(copy, out, active, i, body);
  }
  active.erase(t.text);
}

void Source::Directive(const std::string& text, const fs::path& file, int number, int depth) {
  const std::string where = file.string() + ":" + std::to_string(number);
  std::string rest = Trim(text);
  size_t nameEnd = 0;
  while (nameEnd < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[nameEnd])) || rest[nameEnd] == '_')) ++nameEnd;
  const std::string name = rest.substr(0, nameEnd);
  rest = Trim(rest.substr(nameEnd));
  const bool active = branches_.empty() || branches_.back().active;

  if (name == "if" || name == "ifdef" || name == "ifndef") {
    bool value = false;
    if (active) {
      if (name == "if") {
        value = Condition(rest, file.string(), number) != 0;
      } else {
        std::string id = Trim(rest.substr(0, rest.find_first_of(" \t")));
        if (id.empty()) throw Error(where, "#" + name + " needs a name");
        value = macros_.count(id) == (name == "ifdef" ? 1u : 0u);
      }
    }
    branches_.push_back({active && value, value, active});
  } else if (name == "elif") {
    if (branches_.empty()) throw Error(where, "#elif without #if");
    Branch& b = branches_.back();
    bool value = b.parentActive && !b.taken && Condition(rest, file.string(), number) != 0;
    b.active = value;
    b.taken = b.taken || value;
  } else if (name == "else") {
    if (branches_.empty()) throw Error(where, "#else without #if");
    Branch& b = branches_.back();
    b.active = b.parentActive && !b.taken;
    b.taken = true;
  } else if (name == "endif") {
    if (branches_.empty()) throw Error(where, "#endif without #if");
    branches_.pop_back();
  } else if (!active) {
    return;  // everything else only counts in lines that are read
  } else if (name == "define") {
    size_t end = 0;
    while (end < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[end])) || rest[end] == '_')) ++end;
    std::string id = rest.substr(0, end);
    if (id.empty()) throw Error(where, "#define needs a name");
    Macro m;
    m.function = end < rest.size() && rest[end] == '(';
    if (!m.function) m.body = Lex(rest.substr(end), file.string(), number);
    macros_[id] = m;
  } else if (name == "undef") {
    macros_.erase(Trim(rest));
  } else if (name == "include") {
    if (rest.size() < 2 || !((rest[0] == '"' && rest.find('"', 1) != std::string::npos) ||
                             (rest[0] == '<' && rest.find('>') != std::string::npos))) {
      throw Error(where, "#include needs \"file\" or <file>");
    }
    bool quoted = rest[0] == '"';
    std::string target = rest.substr(1, rest.find(quoted ? '"' : '>', 1) - 1);
    fs::path found = FindInclude(target, quoted, file);
    if (!found.empty()) ReadFile(found, depth + 1);
  } else if (name == "error") {
    throw Error(where, "#error " + rest);
  } else if (name == "pragma" || name == "line" || name.empty()) {
    // code pages, include-once and line markers change nothing here
  } else {
    throw Error(where, "unknown directive #" + name);
  }
}

fs::path Source::FindInclude(const std::string& name, bool quoted, const fs::path& from) {
  std::string base = name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
  for (const char* builtin : kBuiltinHeaders) {
    bool same = base.size() == std::string_view(builtin).size();
    for (size_t i = 0; same && i < base.size(); ++i) same = std::tolower(static_cast<unsigned char>(base[i])) == builtin[i];
    if (same) return {};
  }
  std::string relative = name;
  for (char& c : relative)
    if (c == '\\') c = '/';
  std::vector<fs::path> places;
  if (quoted) places.push_back(from.parent_path());
  places.insert(places.end(), options_.includeDirs.begin(), options_.includeDirs.end());
  for (const fs::path& dir : places) {
    std::error_code ec;
    if (fs::is_regular_file(dir / relative, ec)) return dir / relative;
  }
  if (!quoted) return {};  // another system header: its constants are not needed
  throw Error(from.string(), "cannot find the included file \"" + name + "\"");
}

int64_t Source::Condition(const std::string& text, const std::string& file, int line) {
  std::vector<Token> raw = Lex(text, file, line);
  std::vector<Token> resolved;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i].kind == Token::Identifier && raw[i].text == "defined") {
      bool paren = i + 1 < raw.size() && raw[i + 1].text == "(";
      size_t at = i + (paren ? 2 : 1);
      if (at >= raw.size() || raw[at].kind != Token::Identifier) throw Error(Where(raw[i]), "defined needs a name");
      Token n = raw[i];
      n.kind = Token::Number;
      n.value = macros_.count(raw[at].text) ? 1 : 0;
      resolved.push_back(n);
      i = at + (paren ? 1 : 0);
      continue;
    }
    resolved.push_back(raw[i]);
  }
  std::vector<Token> expanded;
  std::set<std::string> active;
  for (size_t i = 0; i < resolved.size();) {
    const Token& t = resolved[i++];
    Expand(t, expanded, active, i, resolved);
  }
  for (Token& t : expanded) {
    if (t.kind == Token::Identifier) {  // names left over count as 0, as in C
      t.kind = Token::Number;
      t.value = 0;
    }
  }
  Token end;
  end.kind = Token::End;
  end.file = file;
  end.line = line;
  expanded.push_back(end);
  size_t pos = 0;
  int64_t value = Evaluate(expanded, pos);
  if (expanded[pos].kind != Token::End) throw Error(Where(expanded[pos]), "unexpected \"" + expanded[pos].text + "\" in #if");
  return value;
}

std::vector<Token> Source::Lex(const std::string& s, const std::string& file, int line) {
  std::vector<Token> out;
  const std::string where = file + ":" + std::to_string(line);
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    Token t;
    t.file = file;
    t.line = line;
    bool wide = (c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"';
    if (c == '"' || wide) {
      t.kind = Token::String;
      t.wideString = wide;
      i += wide ? 2 : 1;
      for (;;) {
        if (i >= s.size()) throw Error(where, "a string is not closed on its line");
        char d = s[i];
        if (d == '"') {
          if (i + 1 < s.size() && s[i + 1] == '"') {  // "" is a quote inside the string
            t.wide += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (d == '\\' && i + 1 < s.size()) {
          char e = s[i + 1];
          i += 2;
          switch (e) {
            case 'n': t.wide += u'\n'; break;
            case 't': t.wide += u'\t'; break;
            case 'r': t.wide += u'\r'; break;
            case 'a': t.wide += u'\a'; break;
            case '0': t.wide += u'\0'; break;
            case '\\': t.wide += u'\\'; break;
            case '"': t.wide += u'"'; break;
            case 'x': {
              uint32_t v = 0;
              int digits = 0;
              while (digits < 4 && i < s.size() && HexDigit(s[i]) >= 0) v = v << 4 | HexDigit(s[i++]), ++digits;
              if (!digits) throw Error(where, "\\x needs hexadecimal digits");
              t.wide += static_cast<char16_t>(v);
              break;
            }
            default:
              // Unknown escapes keep the backslash, so paths such as "res\file.bmp" survive.
              t.wide += u'\\';
              --i;
              break;
          }
          continue;
        }
        AppendUtf8(t.wide, s, i, where);
        ++i;
      }
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      t.kind = Token::Identifier;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) t.text += s[i++];
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      t.kind = Token::Number;
      int base = 10;
      if (c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        t.text = s.substr(i, 2);
        i += 2;
      }
      uint64_t v = 0;
      size_t digits = 0;
      while (i < s.size()) {
        int d = base == 16 ? HexDigit(s[i]) : (std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0' : -1);
        if (d < 0) break;
        v = v * base + d;
        t.text += s[i++];
        ++digits;
      }
      if (!digits) throw Error(where, "a number without digits");
      while (i < s.size() && std::strchr("LlUu", s[i])) {
        if (s[i] == 'L' || s[i] == 'l') t.isLong = true;
        t.text += s[i++];
      }
      if (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) throw Error(where, "a malformed number");
      t.value = static_cast<int64_t>(v & 0xFFFFFFFFu);
    } else {
      t.kind = Token::Punct;
      static constexpr const char* kTwo[] = {"<<", ">>", "==", "!=", "<=", ">=", "&&", "||"};
      for (const char* two : kTwo) {
        if (s.compare(i, 2, two) == 0) t.text = two;
      }
      if (t.text.empty()) {
        if (!std::strchr(",|&+-~(){}*/%!<>^=?:", c)) throw Error(where, std::string("unexpected character '") + c + "'");
        t.text = std::string(1, c);
      }
      i += t.text.size();
    }
    out.push_back(std::move(t));
  }
  return out;
}

}  // namespace zb::rc
