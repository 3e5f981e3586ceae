// The registry file's text form: awkward names and strings survive a save and a reload exactly,
// the lines read the way a person expects, and hand-written files are read.
#include "registry_support.h"

namespace zb::testing {
namespace {

using RegistryText = RegistryTest;

struct Awkward {
  const char* what;
  std::u16string key;
  std::u16string name;
  std::u16string text;
};

std::vector<Awkward> AwkwardCases() {
  return {
      {"quotes", u"\"Quoted\" key", u"say \"hi\"", u"\"\"\""},
      {"backslashes", u"Back", u"C:\\Music\\", u"\\\\server\\share\\"},
      {"equals signs", u"a=b", u"x=y", u"=\"=\""},
      {"brackets", u"x]y", u"[not a section]", u"]"},
      {"a closing bracket last", u"[ends]", u"]", u"[HKEY_CURRENT_USER\\Software]"},
      {"a value named @", u"at", u"@", u"@"},
      {"comment-like", u"; semi", u";name", u"; text"},
      {"newlines", u"Lines", u"two\nlines", u"line one\r\nline two\n"},
      {"tabs and controls", u"Controls", u"tab\there", std::u16string(u"\x01\x1F\x7F\t", 4)},
      {"non-ASCII", u"\u00C9t\u00E9 \u65E5\u672C \U0001F3B5", u"Caf\u00E9 \u0416", u"\u00DCn\u00EFc\u00F6d\u00E9 \U0001F3B5"},
      {"lone surrogates", u"Surrogates", std::u16string(u"a") + char16_t(0xDC00), std::u16string(1, char16_t(0xD83C))},
      {"escape look-alikes", u"Escapes", u"\\u0041\\n", u"\\\"\\t\\u00e9"},
      {"spaces at the ends", u" padded ", u" name ", u"  text  "},
      {"a line continuation look-alike", u"Cont", u"a,\\", u"01,02,\\"},
  };
}

TEST_F(RegistryText, AwkwardNamesAndStringsComeBackExactlyAfterAReload) {
  const std::vector<Awkward> cases = AwkwardCases();
  for (const auto& c : cases) {
    ScopedKey key(Create(HKEY_CURRENT_USER, (u"Software\\" + c.key).c_str()));
    Set(key.get(), c.name.c_str(), REG_SZ, SzBytes(c.text));
    SetDword(key.get(), u"after", 1);  // the line after an awkward one is still read
  }
  Reload();
  ScopedKey software(Open(HKEY_CURRENT_USER, u"Software"));
  std::vector<std::u16string> keys;
  for (const auto& c : cases) keys.push_back(c.key);
  EXPECT_EQ(SubkeyNames(software.get()), keys);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedKey key(Open(software.get(), c.key.c_str()));
    EXPECT_EQ(ValueNames(key.get()), (std::vector<std::u16string>{c.name, u"after"}));
    EXPECT_EQ(Query(key.get(), c.name.c_str()), (RegValue{REG_SZ, SzBytes(c.text)}));
  }
  EXPECT_EQ(DebugLogText(), "");
  EXPECT_FALSE(std::filesystem::exists(RegistryFile().string() + ".bad"));
}

TEST_F(RegistryText, ValuesAreWrittenAsReadableLines) {
  const struct {
    const char16_t* name;
    DWORD type;
    std::vector<BYTE> data;
    const char* line;
  } cases[] = {
      {u"Count", REG_DWORD, DwordBytes(42), "\"Count\"=dword:0000002a"},
      {u"", REG_SZ, SzBytes(u"default"), "@=\"default\""},
      {u"Empty", REG_SZ, SzBytes(u""), "\"Empty\"=\"\""},
      {u"Caf\u00E9", REG_SZ, SzBytes(u"\u00DC\nx"), "\"Caf\xC3\xA9\"=\"\xC3\x9C\\nx\""},
      {u"Bin", REG_BINARY, {0x01, 0x02, 0xFF}, "\"Bin\"=hex:01,02,ff"},
      {u"NoBytes", REG_BINARY, {}, "\"NoBytes\"=hex:"},
      {u"Multi", REG_MULTI_SZ, Utf16Bytes(std::u16string(u"a\0\0", 3)), "\"Multi\"=hex(7):61,00,00,00,00,00"},
      {u"Expand", REG_EXPAND_SZ, SzBytes(u"%x%"), "\"Expand\"=hex(2):25,00,78,00,25,00,00,00"},
      {u"Unterminated", REG_SZ, Utf16Bytes(u"a"), "\"Unterminated\"=hex(1):61,00"},
      {u"ShortDword", REG_DWORD, {1, 2}, "\"ShortDword\"=hex(4):01,02"},
      {u"Qword", 11, {1, 0, 0, 0, 0, 0, 0, 0}, "\"Qword\"=hex(b):01,00,00,00,00,00,00,00"},
      {u"Odd", 0xABCDEF01, {}, "\"Odd\"=hex(abcdef01):"},
  };
  {
    ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Lines"));
    for (const auto& c : cases) Set(key.get(), c.name, c.type, c.data);
  }
  std::string text = ReadHostFile(RegistryFile());
  EXPECT_NE(text.find("\n[HKEY_CURRENT_USER\\Software\\Lines]\n"), std::string::npos) << text;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_NE(text.find(std::string("\n") + c.line + "\n"), std::string::npos) << text;
  }
}

TEST_F(RegistryText, LongHexDataIsWrappedAndReadBack) {
  std::vector<BYTE> data(1000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i * 7);
  ScopedKey(Create(HKEY_CURRENT_USER, u"Software\\Wrapped"));
  {
    ScopedKey key(Open(HKEY_CURRENT_USER, u"Software\\Wrapped"));
    Set(key.get(), u"Long", REG_BINARY, data);
  }
  std::string text = ReadHostFile(RegistryFile());
  size_t longest = 0, start = 0;
  for (size_t nl = text.find('\n'); nl != std::string::npos; start = nl + 1, nl = text.find('\n', start)) {
    longest = std::max(longest, nl - start);
  }
  EXPECT_LE(longest, 80u);
  Reload();
  ScopedKey key(Open(HKEY_CURRENT_USER, u"Software\\Wrapped"));
  EXPECT_EQ(Query(key.get(), u"Long"), (RegValue{REG_BINARY, data}));
}

TEST_F(RegistryText, HandWrittenFilesAreRead) {
  ReplaceHostFile(RegistryFile(),
                  "\xEF\xBB\xBF\r\n"
                  "; written by hand,\\\r\n"
                  "[HKLM\\Software\\Deep\\Er]\r\n"
                  "\"Word\"=dword:0000FFff\r\n"
                  "  \"Indented\" = \"yes\"   \r\n"
                  "@=hex:01,\\\r\n"
                  "      02,  03 ,\\\n"
                  "  04\n"
                  "\n"
                  "[hkey_current_user\\Software]\n"
                  "\"First\"=dword:00000001\n"
                  "[HKEY_LOCAL_MACHINE\\software\\deep\\er]\n"
                  "\"Word\"=dword:00000002\n"
                  "\"More\"=\"\\u00e9\\u00E9\"\n");
  ScopedKey deep(Open(HKEY_LOCAL_MACHINE, u"Software\\Deep\\Er"));
  EXPECT_EQ(ValueNames(deep.get()), (std::vector<std::u16string>{u"Word", u"Indented", u"", u"More"}));
  EXPECT_EQ(Query(deep.get(), u"Word"), (RegValue{REG_DWORD, DwordBytes(2)}));
  EXPECT_EQ(Query(deep.get(), u"Indented"), (RegValue{REG_SZ, SzBytes(u"yes")}));
  EXPECT_EQ(Query(deep.get(), nullptr), (RegValue{REG_BINARY, {1, 2, 3, 4}}));
  EXPECT_EQ(Query(deep.get(), u"More"), (RegValue{REG_SZ, SzBytes(u"\u00E9\u00E9")}));
  ScopedKey software(Open(HKEY_CURRENT_USER, u"Software"));
  EXPECT_EQ(Query(software.get(), u"First"), (RegValue{REG_DWORD, DwordBytes(1)}));
  EXPECT_EQ(DebugLogText(), "");
}

}  // namespace
}  // namespace zb::testing
