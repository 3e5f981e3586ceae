// zbreg run as a real process on the test's device: what it sets the registry calls of this
// process read, what it dumps is the file's own text form, and every failure exits with 1 and
// says why without touching the registry.
#include <cstdio>

#include "registry_support.h"

namespace zb::testing {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string ReadBack(FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

Outcome RunZbreg(const std::vector<std::string>& args) {
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  pid_t pid = Spawn(ZBREG_PATH, args, {}, {{fileno(out), 1}, {fileno(err), 2}});
  int status = WaitForExit(pid);
  return Outcome{status, ReadBack(out), ReadBack(err)};
}

using ZbregTool = RegistryTest;

TEST_F(ZbregTool, SetStoresEachTypeAndGetPrintsItAsTheFileDoes) {
  const struct {
    std::vector<std::string> args;  // TYPE VALUE...
    RegValue stored;
    std::string printed;
  } cases[] = {
      {{"sz", "hello \"world\""}, {REG_SZ, SzBytes(u"hello \"world\"")}, "\"hello \\\"world\\\"\""},
      {{"sz", "Caf\xC3\xA9"}, {REG_SZ, SzBytes(u"Caf\u00E9")}, "\"Caf\xC3\xA9\""},
      {{"sz", ""}, {REG_SZ, SzBytes(u"")}, "\"\""},
      {{"expand_sz", "%x%"}, {REG_EXPAND_SZ, SzBytes(u"%x%")}, "hex(2):25,00,78,00,25,00,00,00"},
      {{"dword", "42"}, {REG_DWORD, DwordBytes(42)}, "dword:0000002a"},
      {{"dword", "0xFFFFFFFF"}, {REG_DWORD, DwordBytes(0xFFFFFFFF)}, "dword:ffffffff"},
      {{"dword", "4294967295"}, {REG_DWORD, DwordBytes(0xFFFFFFFF)}, "dword:ffffffff"},
      {{"binary", "01,02,ff"}, {REG_BINARY, {1, 2, 0xFF}}, "hex:01,02,ff"},
      {{"binary", "0102FF"}, {REG_BINARY, {1, 2, 0xFF}}, "hex:01,02,ff"},
      {{"binary", ""}, {REG_BINARY, {}}, "hex:"},
      {{"multi_sz", "a", "b|c"}, {REG_MULTI_SZ, Utf16Bytes(std::u16string(u"a\0b|c\0\0", 7))},
       "hex(7):61,00,00,00,62,00,7c,00,63,00,00,00,00,00"},
      {{"multi_sz"}, {REG_MULTI_SZ, {0, 0}}, "hex(7):00,00"},
      // The platform's own type names, in any case.
      {{"REG_SZ", "x"}, {REG_SZ, SzBytes(u"x")}, "\"x\""},
      {{"REG_EXPAND_SZ", "%y%"}, {REG_EXPAND_SZ, SzBytes(u"%y%")}, "hex(2):25,00,79,00,25,00,00,00"},
      {{"REG_DWORD", "7"}, {REG_DWORD, DwordBytes(7)}, "dword:00000007"},
      {{"reg_dword", "8"}, {REG_DWORD, DwordBytes(8)}, "dword:00000008"},
      {{"DWORD", "9"}, {REG_DWORD, DwordBytes(9)}, "dword:00000009"},
      {{"REG_BINARY", "0a"}, {REG_BINARY, {0x0A}}, "hex:0a"},
      {{"REG_MULTI_SZ", "m"}, {REG_MULTI_SZ, Utf16Bytes(std::u16string(u"m\0\0", 3))}, "hex(7):6d,00,00,00,00,00"},
  };
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Tool"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printed);
    std::vector<std::string> set = {"set", "HKCU\\Software\\Tool\\Made", "Value"};
    set.insert(set.end(), c.args.begin(), c.args.end());
    Outcome run = RunZbreg(set);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    ScopedKey made(Open(key.get(), u"Made"));
    EXPECT_EQ(Query(made.get(), u"Value"), c.stored);
    run = RunZbreg({"get", "HKEY_CURRENT_USER\\software\\tool\\made", "VALUE"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.printed + "\n");
  }
}

TEST_F(ZbregTool, DumpPrintsTheFilesTextFormForTheWholeTreeOrASubtree) {
  {
    ScopedKey player(Create(HKEY_CURRENT_USER, u"Software\\Kestrane\\Zonbrel"));
    SetDword(player.get(), u"Volume", 5);
    Set(player.get(), u"", REG_SZ, SzBytes(u"default"));
    ScopedKey(Create(player.get(), u"Plugins\\Empty"));
    ScopedKey gwe(Create(HKEY_LOCAL_MACHINE, u"System\\GWE"));
    Set(gwe.get(), u"ActivityEvent", REG_SZ, SzBytes(u"Activity"));
  }
  Outcome all = RunZbreg({"dump"});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out, ReadHostFile(RegistryFile()));
  EXPECT_EQ(RunZbreg({"get", "HKCU\\Software\\Kestrane\\Zonbrel", ""}).out, "\"default\"\n");
  Outcome sub = RunZbreg({"dump", "hkcu\\SOFTWARE\\kestrane"});
  EXPECT_EQ(sub.status, 0) << sub.err;
  EXPECT_EQ(sub.out,
            "[HKEY_CURRENT_USER\\Software\\Kestrane\\Zonbrel]\n"
            "\"Volume\"=dword:00000005\n"
            "@=\"default\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Kestrane\\Zonbrel\\Plugins\\Empty]\n"
            "\n");
}

TEST_F(ZbregTool, DeleteRemovesAValueOrAWholeKeyEvenUnderAnOpenHandle) {
  ScopedKey doomed(Create(HKEY_CURRENT_USER, u"Software\\Doomed\\Deeper"));
  ScopedKey parent(Open(HKEY_CURRENT_USER, u"Software\\Doomed"));
  SetDword(parent.get(), u"One", 1);
  SetDword(parent.get(), u"Two", 2);
  Outcome run = RunZbreg({"delete", "HKCU\\Software\\Doomed", "one"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ValueNames(parent.get()), std::vector<std::u16string>{u"Two"});
  run = RunZbreg({"delete", "HKCU\\Software\\Doomed"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RegQueryValueExW(parent.get(), u"Two", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueExW(doomed.get(), u"x", 0, REG_BINARY, nullptr, 0), ERROR_KEY_DELETED);
  ScopedKey software(Open(HKEY_CURRENT_USER, u"Software"));
  EXPECT_TRUE(SubkeyNames(software.get()).empty());
}

TEST_F(ZbregTool, FailuresExitWithOneSayWhyAndChangeNothing) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Z"));
  SetDword(key.get(), u"Kept", 1);
  const std::string before = ReadHostFile(RegistryFile());
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{}, "usage: zbreg"},
      {{"frobnicate"}, "unknown command \"frobnicate\""},
      {{"get", "HKCU\\Software\\Z"}, "wrong number of arguments for get"},
      {{"get", "HKXX\\Software", "a"}, "HKXX\\Software: a key starts with HKCR, HKCU, HKLM or HKU"},
      {{"get", "HKCU\\Software\\Missing", "a"}, "HKCU\\Software\\Missing: not found"},
      {{"get", "HKCU\\Software\\Z", "nope"}, "HKCU\\Software\\Z \"nope\": not found"},
      {{"dump", "HKLM\\Nowhere"}, "HKLM\\Nowhere: not found"},
      {{"set", "HKCU\\Software\\Z", "v", "qword", "1"}, "\"qword\" is not a type"},
      {{"set", "HKCU\\Software\\Z", "v", "REG_QWORD", "1"}, "\"REG_QWORD\" is not a type"},
      {{"set", "HKCU\\Software\\Z", "v", "dword", "12x"}, "\"12x\" is not a dword"},
      {{"set", "HKCU\\Software\\Z", "v", "dword", "4294967296"}, "\"4294967296\" is not a dword"},
      {{"set", "HKCU\\Software\\Z", "v", "dword", "-1"}, "\"-1\" is not a dword"},
      {{"set", "HKCU\\Software\\Z", "v", "binary", "0g"}, "\"0g\" is not hex bytes"},
      {{"set", "HKCU\\Software\\Z", "v", "binary", "012"}, "\"012\" is not hex bytes"},
      {{"set", "HKCU\\Software\\Z", "v", "sz"}, "sz takes exactly one VALUE"},
      {{"set", "HKCU\\Software\\Z", "v", "sz", "a", "b"}, "sz takes exactly one VALUE"},
      {{"set", "HKCU\\Software\\Z", "v", "multi_sz", "a", ""}, "a multi_sz cannot hold an empty string"},
      {{"set", "HKCU\\Software\\\\Z", "v", "sz", "x"}, "HKCU\\Software\\\\Z: not a valid name"},
      {{"delete", "HKLM"}, "HKLM: a root cannot be deleted"},
      {{"delete", "HKCU\\Software\\Missing"}, "HKCU\\Software\\Missing: not found"},
      {{"delete", "HKCU\\Software\\Z", "Missing"}, "HKCU\\Software\\Z \"Missing\": not found"},
      {{"--device", "/nonexistent/zbreg/device", "dump"}, "/nonexistent/zbreg/device: no such device folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    Outcome run = RunZbreg(c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadHostFile(RegistryFile()), before);
}

TEST_F(ZbregTool, DeviceOptionChoosesAnotherFolder) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zbreg-other-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  std::filesystem::path other = pattern;
  Outcome run = RunZbreg({"--device", other.string(), "set", "HKLM\\Elsewhere", "Where", "sz", "other"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RunZbreg({"--device", other.string(), "get", "HKLM\\Elsewhere", "Where"}).out, "\"other\"\n");
  EXPECT_NE(ReadHostFile(other / ".zonbrel" / "registry.txt").find("\"Where\"=\"other\""), std::string::npos);
  ScopedKey missing;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Elsewhere", 0, 0, missing.out()), ERROR_FILE_NOT_FOUND);
  std::filesystem::remove_all(other);
}

TEST_F(ZbregTool, HelpExplainsKeysTypesAndMultiStrings) {
  Outcome run = RunZbreg({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* part : {"dump [KEY]", "get KEY NAME", "set KEY NAME TYPE VALUE", "delete KEY [NAME]", "HKCU\\",
                           "HKEY_CURRENT_USER\\", "multi_sz       each string as its own argument", "--device"}) {
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace zb::testing
