// Saving: every change is in the file when its call returns, and a change that cannot be saved
// is reported as a failure and undone instead of living on in memory only.
#include <functional>

#include "registry_support.h"

namespace zb::testing {
namespace {

using RegistrySaving = RegistryTest;

TEST_F(RegistrySaving, EveryChangeIsInTheFileWhenItsCallReturns) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Saved"));
  const struct {
    const char* what;
    std::function<LONG(HKEY)> change;
    const char* text;
    bool present;
  } cases[] = {
      {"new key", [](HKEY) { return RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Saved\\Sub", 0, nullptr, 0, 0,
                                                    nullptr, ScopedKey().out(), nullptr); },
       "[HKEY_CURRENT_USER\\Software\\Saved\\Sub]", true},
      {"new value", [](HKEY k) { return RegSetValueExW(k, u"V", 0, REG_BINARY, (const BYTE*)"\x01", 1); },
       "\"V\"=hex:01", true},
      {"changed value", [](HKEY k) { return RegSetValueExW(k, u"v", 0, REG_BINARY, (const BYTE*)"\x02", 1); },
       "\"V\"=hex:02", true},
      {"deleted value", [](HKEY k) { return RegDeleteValueW(k, u"V"); }, "\"V\"=", false},
      {"deleted key", [](HKEY) { return RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Saved\\Sub"); }, "Sub]", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.change(key.get()), ERROR_SUCCESS);
    EXPECT_EQ(ReadHostFile(RegistryFile()).find(c.text) != std::string::npos, c.present) << ReadHostFile(RegistryFile());
  }
}

TEST_F(RegistrySaving, AChangeThatCannotBeSavedFailsAndIsUndone) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Saved"));
  SetDword(key.get(), u"Before", 1);
  const std::string before = ReadHostFile(RegistryFile());
  // A folder where the temporary file should go makes every save fail.
  std::filesystem::path blocker = RegistryFile().string() + ".tmp";
  std::filesystem::create_directory(blocker);
  ScopedKey made;
  EXPECT_EQ(RegCreateKeyExW(key.get(), u"Sub", 0, nullptr, 0, 0, nullptr, made.out(), nullptr),
            ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(made.get(), nullptr);
  EXPECT_EQ(RegSetValueExW(key.get(), u"Lost", 0, REG_BINARY, nullptr, 0), ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(RegDeleteValueW(key.get(), u"Before"), ERROR_REGISTRY_IO_FAILED);
  EXPECT_EQ(ReadHostFile(RegistryFile()), before);
  EXPECT_TRUE(SubkeyNames(key.get()).empty());
  EXPECT_EQ(ValueNames(key.get()), std::vector<std::u16string>{u"Before"});
  EXPECT_NE(DebugLogText().find("cannot write " + blocker.string()), std::string::npos) << DebugLogText();
  // Once the disk takes writes again, so does the registry, and the open key still works.
  std::filesystem::remove(blocker);
  EXPECT_EQ(RegSetValueExW(key.get(), u"After", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key.get()), (std::vector<std::u16string>{u"Before", u"After"}));
}

}  // namespace
}  // namespace zb::testing
