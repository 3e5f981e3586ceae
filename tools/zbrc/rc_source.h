// A resource script as tokens: comments stripped, preprocessor lines obeyed (#include, #define,
// #undef, #if/#ifdef/#ifndef/#elif/#else/#endif) and object-like macros expanded. System headers
// (<...> and the platform's own resource headers) are skipped; their constants are built in.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace zb::rc {

struct Token {
  enum Kind { Identifier, Number, String, Punct, End } kind = End;
  std::string text;     // identifier or punctuation as written; a number's spelling
  std::u16string wide;  // a string's characters, escapes resolved
  int64_t value = 0;    // a number's value
  bool isLong = false;  // a number with an L suffix (4 bytes in raw data)
  bool wideString = false;  // L"..."
  std::string file;
  int line = 0;
};

class Error : public std::runtime_error {
 public:
  Error(const std::string& where, const std::string& what) : std::runtime_error(where + ": error: " + what) {}
};

std::string Where(const Token& t);

struct Options {
  std::vector<std::filesystem::path> includeDirs;
  std::vector<std::pair<std::string, std::string>> defines;
};

class Source {
 public:
  explicit Source(Options options);
  // Reads the script and everything it includes into tokens.
  std::vector<Token> Read(const std::filesystem::path& script);
  // Every file read, for the build's dependency list.
  const std::set<std::filesystem::path>& files() const { return files_; }

 private:
  struct Macro {
    std::vector<Token> body;
    bool function = false;
  };
  void ReadFile(const std::filesystem::path& file, int depth);
  void Directive(const std::string& line, const std::filesystem::path& file, int number, int depth);
  std::vector<Token> Lex(const std::string& text, const std::string& file, int line);
  void Expand(const Token& t, std::vector<Token>& out, std::set<std::string>& active, size_t& next,
              const std::vector<Token>& line);
  int64_t Condition(const std::string& text, const std::string& file, int line);
  std::filesystem::path FindInclude(const std::string& name, bool quoted, const std::filesystem::path& from);

  Options options_;
  std::map<std::string, Macro> macros_;
  std::vector<Token> tokens_;
  std::set<std::filesystem::path> files_;
  // One entry per open #if: whether its lines are read, and whether a branch was taken.
  struct Branch {
    bool active;
    bool taken;
    bool parentActive;
  };
  std::vector<Branch> branches_;
};

// The constants of the platform's resource headers, as "NAME value" definitions.
const std::vector<std::pair<const char*, const char*>>& BuiltinDefines();

}  // namespace zb::rc
