// Damaged registry files: everything readable is kept, every unreadable line is named in the
// debug log, and the damaged original is copied aside before it is first replaced.
#include "registry_support.h"

namespace zb::testing {
namespace {

class RegistryDamage : public RegistryTest {
 public:
  // Puts `text` in place of the registry file, as if found on disk at start-up.
  void Plant(const std::string& text) {
    for (const char* stale : {"debug.log", "registry.txt.bad", "registry.txt.bad.1"}) {
      std::filesystem::remove(device.root() / ".zonbrel" / stale);
    }
    ReplaceHostFile(RegistryFile(), text);
    Reload();
  }
  // The dword `name` under HKCU\Software\<key>, or the error that reading it gives.
  LONG ReadDword(const char16_t* key, const char16_t* name, DWORD& value) {
    ScopedKey open;
    LONG error = RegOpenKeyExW(HKEY_CURRENT_USER, (u"Software\\" + std::u16string(key)).c_str(), 0, 0, open.out());
    DWORD size = sizeof value;
    if (error == ERROR_SUCCESS) error = RegQueryValueExW(open.get(), name, nullptr, nullptr, (LPBYTE)&value, &size);
    return error;
  }
};

struct Kept {
  const char16_t* key;
  const char16_t* name;
  DWORD value;
};

struct DamageCase {
  const char* what;
  std::string text;
  std::vector<Kept> kept;
  std::vector<Kept> lost;  // value unused
  std::vector<std::string> reported;  // "line 3", "lines 2-3"
};

std::vector<DamageCase> DamageCases() {
  using namespace std::string_literals;
  const std::string head = "[HKEY_CURRENT_USER\\Software\\A]\n\"Keep\"=dword:00000001\n";  // lines 1-2
  const std::string tail = "[HKEY_CURRENT_USER\\Software\\C]\n\"Keep\"=dword:00000003\n";
  return {
      {"a line that is no registry line", head + "this is not a registry line\n" + tail,
       {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}}, {}, {"line 3"}},
      {"bad hex", head + "\"Bad\"=hex:01,0g,03\n\"Keep2\"=dword:00000002\n",
       {{u"A", u"Keep", 1}, {u"A", u"Keep2", 2}}, {{u"A", u"Bad", 0}}, {"line 3"}},
      {"bad hex on a continuation line", head + "\"Bad\"=hex:01,02,\\\n  zz\n" + tail,
       {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}}, {{u"A", u"Bad", 0}}, {"lines 3-4"}},
      {"a dword with a digit missing", head + "\"Bad\"=dword:0000001\n" + tail,
       {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}}, {{u"A", u"Bad", 0}}, {"line 3"}},
      {"an unknown escape", head + "\"Bad\"=\"a\\qb\"\n" + tail, {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}},
       {{u"A", u"Bad", 0}}, {"line 3"}},
      {"a last line cut inside a number", head + "\"Cut\"=dword:0000", {{u"A", u"Keep", 1}}, {{u"A", u"Cut", 0}},
       {"line 3"}},
      {"a last line cut inside a string", head + "\"Cut\"=\"half a str", {{u"A", u"Keep", 1}}, {{u"A", u"Cut", 0}},
       {"line 3"}},
      {"a last line cut between hex bytes", head + "\"Cut\"=hex:01,02", {{u"A", u"Keep", 1}}, {},
       {"line 3"}},
      {"a value cut after a continuation", head + "\"Cut\"=hex:01,02,\\\n", {{u"A", u"Keep", 1}}, {{u"A", u"Cut", 0}},
       {"line 3"}},
      {"binary garbage", head + "\x00\xFF\xFE\x01garbage\x80\n\x7F\x45LF\x02\x01\x01\n"s + tail,
       {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}}, {}, {"line 3", "line 4"}},
      {"a section with no closing bracket",
       head + "[HKEY_CURRENT_USER\\Software\\B\n\"Lost\"=dword:00000009\n" + tail,
       {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}}, {{u"B", u"Lost", 0}}, {"line 3", "line 4"}},
      {"a section under an unknown root", head + "[HKEY_NOWHERE\\B]\n\"Lost\"=dword:00000009\n" + tail,
       {{u"A", u"Keep", 1}, {u"C", u"Keep", 3}}, {}, {"line 3", "line 4"}},
      {"a value before any section", "\"Orphan\"=dword:00000009\n" + head, {{u"A", u"Keep", 1}}, {}, {"line 1"}},
  };
}

TEST_F(RegistryDamage, ReadableKeysAreKeptAndEveryBadLineIsReported) {
  for (const DamageCase& c : DamageCases()) {
    SCOPED_TRACE(c.what);
    Plant(c.text);
    for (const Kept& k : c.kept) {
      DWORD value = 0;
      EXPECT_EQ(ReadDword(k.key, k.name, value), ERROR_SUCCESS);
      EXPECT_EQ(value, k.value);
    }
    for (const Kept& k : c.lost) {
      DWORD value = 0;
      EXPECT_NE(ReadDword(k.key, k.name, value), ERROR_SUCCESS);
    }
    std::string log = DebugLogText();
    for (const std::string& where : c.reported) {
      EXPECT_NE(log.find(RegistryFile().string() + ": " + where + ": "), std::string::npos) << log;
    }
    EXPECT_EQ(log.find(RegistryFile().string() + ": line " + std::to_string(c.reported.size() + 3)),
              std::string::npos)
        << "reports only the bad lines:\n"
        << log;
    EXPECT_FALSE(std::filesystem::exists(RegistryFile().string() + ".bad")) << "reading alone changes nothing";
  }
}

TEST_F(RegistryDamage, TheDamagedOriginalIsCopiedAsideBeforeTheFirstRewrite) {
  for (const DamageCase& c : DamageCases()) {
    SCOPED_TRACE(c.what);
    Plant(c.text);
    ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\New"));
    SetDword(key.get(), u"Written", 5);
    EXPECT_EQ(ReadHostFile(RegistryFile().string() + ".bad"), c.text);
    SetDword(key.get(), u"Again", 6);
    EXPECT_FALSE(std::filesystem::exists(RegistryFile().string() + ".bad.1")) << "one copy is enough";
    // The rewritten file is whole: read anew it has no complaints and keeps what was readable.
    std::filesystem::remove(device.root() / ".zonbrel" / "debug.log");
    Reload();
    for (const Kept& k : c.kept) {
      DWORD value = 0;
      EXPECT_EQ(ReadDword(k.key, k.name, value), ERROR_SUCCESS);
      EXPECT_EQ(value, k.value);
    }
    DWORD value = 0;
    EXPECT_EQ(ReadDword(u"New", u"Written", value), ERROR_SUCCESS);
    EXPECT_EQ(DebugLogText(), "");
  }
}

TEST_F(RegistryDamage, AnEarlierDamagedCopyIsNotOverwritten) {
  const std::string earlier = "kept from last time\n";
  const std::string damaged = "[HKEY_CURRENT_USER\\Software\\A]\nnonsense\n";
  Plant(damaged);
  std::ofstream(RegistryFile().string() + ".bad") << earlier;
  SetDword(HKEY_CURRENT_USER, u"Written", 1);
  EXPECT_EQ(ReadHostFile(RegistryFile().string() + ".bad"), earlier);
  EXPECT_EQ(ReadHostFile(RegistryFile().string() + ".bad.1"), damaged);
}

TEST_F(RegistryDamage, AMissingFileIsAnEmptyRegistryAndReadingCreatesNothing) {
  ScopedKey key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\GWE", 0, KEY_READ, key.out()), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(SubkeyNames(HKEY_CURRENT_USER).empty());
  EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE).empty());
  EXPECT_FALSE(std::filesystem::exists(RegistryFile()));
  EXPECT_EQ(DebugLogText(), "");
  // A file removed behind the registry's back empties it too.
  SetDword(HKEY_LOCAL_MACHINE, u"Present", 1);
  std::filesystem::remove(RegistryFile());
  EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE).empty());
}

}  // namespace
}  // namespace zb::testing
