// The resource script's statements, turned into resources: each statement kind is compiled in
// a file of its own (dialogs, menus, string tables, version information, files and raw data);
// this is the token cursor and the statement dispatch they share.
#pragma once
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "zbrc/rc_bytes.h"
#include "zbrc/rc_source.h"

namespace zb::rc {

// A resource type or name: an integer id or an upper-case name.
struct Id {
  bool named = false;
  uint16_t number = 0;
  std::u16string name;
  bool operator<(const Id& o) const {
    if (named != o.named) return !named;
    return named ? name < o.name : number < o.number;
  }
  bool operator==(const Id& o) const { return named == o.named && (named ? name == o.name : number == o.number); }
};

inline Id NumberId(uint16_t n) { return Id{false, n, {}}; }

enum StandardType : uint16_t {
  kRtBitmap = 2,
  kRtIcon = 3,
  kRtMenu = 4,
  kRtDialog = 5,
  kRtString = 6,
  kRtRcData = 10,
  kRtGroupIcon = 14,
  kRtVersion = 16,
};

struct Resource {
  Id type;
  Id name;
  uint16_t language = 0x0409;
  std::vector<uint8_t> data;
  std::string where;  // the statement, for duplicate reports
};

// Bits a style list sets and clears ("WS_CHILD | NOT WS_VISIBLE").
struct Style {
  uint32_t set = 0;
  uint32_t clear = 0;
  uint32_t Over(uint32_t defaults) const { return (defaults | set) & ~clear; }
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::filesystem::path scriptDir, std::vector<std::filesystem::path> includeDirs);

  std::vector<Resource> Parse();
  const std::set<std::filesystem::path>& dataFiles() const { return dataFiles_; }

  // The cursor, for the statement compilers.
  const Token& Peek(size_t ahead = 0) const;
  const Token& Next();
  bool IsWord(const Token& t, const char* word) const;
  bool AcceptWord(const char* word);
  bool Accept(const char* punct);
  void Expect(const char* punct, const char* what);
  int64_t Number(const char* what);
  Style StyleList();
  std::u16string String(const char* what);
  Id NameOrId(const char* what);
  void Begin(const char* what);  // BEGIN or {
  bool End();                    // END or }: consumed when there
  void SkipMemoryOptions();
  [[noreturn]] void Fail(const std::string& message) const;
  std::vector<uint8_t> ReadDataFile(const std::u16string& name);
  uint16_t language() const { return language_; }
  void SetLanguage();  // LANGUAGE primary, sub

 private:
  void Statement(std::vector<Resource>& out);
  void Add(std::vector<Resource>& out, Id type, Id name, std::vector<uint8_t> data, const Token& at);

  std::vector<Token> tokens_;
  size_t pos_ = 0;
  std::filesystem::path scriptDir_;
  std::vector<std::filesystem::path> includeDirs_;
  std::set<std::filesystem::path> dataFiles_;
  uint16_t language_ = 0x0409;
  uint16_t nextIconId_ = 1;
  // String tables gather by language and block (16 strings each) across statements.
  std::map<std::pair<uint16_t, uint16_t>, std::map<uint16_t, std::u16string>> strings_;
};

// The statement compilers.
std::vector<uint8_t> CompileDialog(Parser& p, bool extended);
std::vector<uint8_t> CompileMenu(Parser& p);
std::vector<uint8_t> CompileVersion(Parser& p);
void CompileStringTable(Parser& p, std::map<uint16_t, std::u16string>& strings);
std::vector<uint8_t> CompileRawData(Parser& p);
std::vector<uint8_t> BitmapFromFile(Parser& p, const std::vector<uint8_t>& file);
// An .ico file: one RT_ICON resource per image (ids from nextId on) and the RT_GROUP_ICON directory.
std::vector<uint8_t> IconGroupFromFile(Parser& p, const std::vector<uint8_t>& file, uint16_t& nextId,
                                       std::vector<std::vector<uint8_t>>& images);

// String tables as resources: blocks of 16 counted strings.
std::vector<uint8_t> StringBlock(const std::map<uint16_t, std::u16string>& block, uint16_t first);

std::u16string Upper(std::u16string s);
std::string Utf8(const std::u16string& s);

}  // namespace zb::rc
