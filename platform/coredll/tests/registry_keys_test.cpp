// Registry keys: creating and opening below the four roots, names that ignore case but keep it,
// recursive deletion, and handles that turn stale or were never valid.
#include <functional>

#include "coredll/kernel_object.h"
#include "registry_support.h"

namespace zb::testing {
namespace {

using RegistryKeys = RegistryTest;

TEST_F(RegistryKeys, RootsAreTheSignExtendedPseudoHandles) {
  const struct {
    HKEY root;
    ULONG_PTR value;
  } cases[] = {
      {HKEY_CLASSES_ROOT, ~ULONG_PTR(0x7FFFFFFF)},
      {HKEY_CURRENT_USER, ~ULONG_PTR(0x7FFFFFFF) | 1},
      {HKEY_LOCAL_MACHINE, ~ULONG_PTR(0x7FFFFFFF) | 2},
      {HKEY_USERS, ~ULONG_PTR(0x7FFFFFFF) | 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(c.root), c.value);
    SetDword(c.root, u"OnTheRoot", static_cast<DWORD>(c.value));
    ScopedKey same(Open(c.root, u""));
    EXPECT_EQ(Query(same.get(), u"OnTheRoot"), (RegValue{REG_DWORD, DwordBytes(static_cast<DWORD>(c.value))}));
    EXPECT_EQ(RegCloseKey(c.root), ERROR_SUCCESS);  // closing a root changes nothing
    EXPECT_EQ(RegFlushKey(c.root), ERROR_SUCCESS);
  }
}

TEST_F(RegistryKeys, CreateMakesMissingParentsAndReportsWhatItDid) {
  DWORD disposition = 0;
  ScopedKey deep;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kestrane\\Zonbrel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            deep.out(), &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
  ScopedKey again;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"software\\KESTRANE\\zonbrel", 0, nullptr, 0, 0, nullptr, again.out(),
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
  SetDword(deep.get(), u"Shared", 7);
  EXPECT_EQ(Query(again.get(), u"shared"), (RegValue{REG_DWORD, DwordBytes(7)}));
  Reload();
  ScopedKey middle(Open(HKEY_LOCAL_MACHINE, u"Software\\Kestrane"));
  EXPECT_EQ(SubkeyNames(middle.get()), std::vector<std::u16string>{u"Zonbrel"});
}

TEST_F(RegistryKeys, NamesIgnoreCaseAndKeepTheSpellingTheyWereCreatedWith) {
  ScopedKey(Create(HKEY_CURRENT_USER, u"Software\\\u00C9t\u00E9 Music"));
  Reload();
  for (const char16_t* spelling :
       {u"Software\\\u00C9t\u00E9 Music", u"SOFTWARE\\\u00C9T\u00C9 MUSIC", u"software\\\u00E9t\u00E9 music\\"}) {
    ScopedKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, spelling, 0, 0, key.out()), ERROR_SUCCESS);
  }
  ScopedKey software(Open(HKEY_CURRENT_USER, u"software"));
  EXPECT_EQ(SubkeyNames(software.get()), std::vector<std::u16string>{u"\u00C9t\u00E9 Music"});
  ScopedKey missing;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Ete Music", 0, 0, missing.out()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.get(), nullptr);
}

TEST_F(RegistryKeys, BadKeyNamesAreRefusedAndCreateNothing) {
  const std::u16string cases[] = {
      u"\\Leading", u"Double\\\\Slash", std::u16string(256, u'k'), u"Line\nBreak", u"Tab\tName",
      std::u16string(u"Half") + char16_t(0xD800),
  };
  for (const auto& path : cases) {
    SCOPED_TRACE(ToUtf8(path));
    ScopedKey key;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, 0, nullptr, key.out(), nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, 0, key.out()), ERROR_INVALID_PARAMETER);
  }
  EXPECT_TRUE(SubkeyNames(HKEY_CURRENT_USER).empty());
  ScopedKey longest;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, std::u16string(255, u'k').c_str(), 0, nullptr, 0, 0, nullptr,
                            longest.out(), nullptr),
            ERROR_SUCCESS);
}

TEST_F(RegistryKeys, DeleteTakesTheWholeSubtreeAndLeavesSiblings) {
  {
    ScopedKey a(Create(HKEY_CURRENT_USER, u"Software\\Tree\\A\\B\\C"));
    SetDword(a.get(), u"Deep", 1);
    ScopedKey sibling(Create(HKEY_CURRENT_USER, u"Software\\Tree\\Sibling"));
    SetDword(sibling.get(), u"Kept", 2);
  }
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"software\\tree\\a"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Tree\\A"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
  Reload();
  ScopedKey tree(Open(HKEY_CURRENT_USER, u"Software\\Tree"));
  EXPECT_EQ(SubkeyNames(tree.get()), std::vector<std::u16string>{u"Sibling"});
  ScopedKey gone;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Tree\\A\\B\\C", 0, 0, gone.out()), ERROR_FILE_NOT_FOUND);
  ScopedKey sibling(Open(tree.get(), u"Sibling"));
  EXPECT_EQ(Query(sibling.get(), u"Kept"), (RegValue{REG_DWORD, DwordBytes(2)}));
}

// Every call that takes a key, as one table for the handle checks below.
const std::pair<const char*, std::function<LONG(HKEY)>> kKeyCalls[] = {
    {"RegQueryValueExW", [](HKEY k) { return RegQueryValueExW(k, u"v", nullptr, nullptr, nullptr, nullptr); }},
    {"RegSetValueExW", [](HKEY k) { return RegSetValueExW(k, u"v", 0, REG_BINARY, nullptr, 0); }},
    {"RegDeleteValueW", [](HKEY k) { return RegDeleteValueW(k, u"v"); }},
    {"RegOpenKeyExW",
     [](HKEY k) {
       HKEY sub = nullptr;
       return RegOpenKeyExW(k, u"Sub", 0, 0, &sub);
     }},
    {"RegCreateKeyExW",
     [](HKEY k) {
       HKEY sub = nullptr;
       return RegCreateKeyExW(k, u"New", 0, nullptr, 0, 0, nullptr, &sub, nullptr);
     }},
    {"RegDeleteKeyW", [](HKEY k) { return RegDeleteKeyW(k, u"Sub"); }},
    {"RegEnumKeyExW",
     [](HKEY k) {
       WCHAR name[32];
       DWORD count = 32;
       return RegEnumKeyExW(k, 0, name, &count, nullptr, nullptr, nullptr, nullptr);
     }},
    {"RegEnumValueW",
     [](HKEY k) {
       WCHAR name[32];
       DWORD count = 32;
       return RegEnumValueW(k, 0, name, &count, nullptr, nullptr, nullptr, nullptr);
     }},
    {"RegQueryInfoKeyW",
     [](HKEY k) {
       DWORD values = 0;
       return RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr);
     }},
    {"RegFlushKey", [](HKEY k) { return RegFlushKey(k); }},
};

TEST_F(RegistryKeys, HandlesThatWereNeverKeysAreInvalid) {
  HKEY closed = Create(HKEY_CURRENT_USER, u"Software\\Closed");
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  HANDLE other = AllocHandle(std::make_shared<KernelObject>());
  const std::pair<const char*, HKEY> handles[] = {
      {"null", nullptr},
      {"made up", reinterpret_cast<HKEY>(ULONG_PTR(0x7654320))},
      {"closed", closed},
      {"another kind of object", reinterpret_cast<HKEY>(other)},
      {"a root's low half", reinterpret_cast<HKEY>(ULONG_PTR(0x80000001))},
  };
  for (const auto& [what, handle] : handles) {
    for (const auto& [call, run] : kKeyCalls) {
      SCOPED_TRACE(std::string(what) + " handle, " + call);
      EXPECT_EQ(run(handle), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegCloseKey(handle), ERROR_INVALID_HANDLE);
  }
  EXPECT_TRUE(CloseHandle(other));  // RegCloseKey left the other object alone
  EXPECT_EQ(SubkeyNames(HKEY_CURRENT_USER), std::vector<std::u16string>{u"Software"});
}

TEST_F(RegistryKeys, HandlesOfDeletedKeysReportTheKeyDeleted) {
  const std::pair<const char*, std::function<void(RegistryTest&)>> deleters[] = {
      {"deleted through another handle",
       [](RegistryTest&) { EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Doomed"), ERROR_SUCCESS); }},
      {"deleted with its parent",
       [](RegistryTest&) { EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software"), ERROR_SUCCESS); }},
      {"deleted by another process",
       [](RegistryTest& test) {
         ReplaceHostFile(test.RegistryFile(), "[HKEY_CURRENT_USER\\Software]\n\"Other\"=dword:00000001\n");
       }},
      {"deleted and made again",
       [](RegistryTest& test) {
         EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Doomed"), ERROR_SUCCESS);
         ScopedKey(test.Create(HKEY_CURRENT_USER, u"Software\\Doomed"));
       }},
  };
  for (const auto& [how, remove] : deleters) {
    SCOPED_TRACE(how);
    HKEY doomed = Create(HKEY_CURRENT_USER, u"Software\\Doomed");
    SetDword(doomed, u"v", 1);
    ScopedKey(Create(doomed, u"Sub"));
    remove(*this);
    for (const auto& [call, run] : kKeyCalls) {
      SCOPED_TRACE(call);
      EXPECT_EQ(run(doomed), ERROR_KEY_DELETED);
    }
    EXPECT_EQ(RegCloseKey(doomed), ERROR_SUCCESS);
    RegDeleteKeyW(HKEY_CURRENT_USER, u"Software");
  }
}

}  // namespace
}  // namespace zb::testing
