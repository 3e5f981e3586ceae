// The loader: a plug-in in the program folder found by wildcard, loaded, bound by name and by
// ordinal, and unloaded; system libraries present or absent as the profile says; data files;
// and the failure paths with the platform's error codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "testing/test_device.h"

namespace {

const std::u16string kProgramFolder = u"\\Program Files\\Zonbrel";

class LoaderTest : public ::testing::Test {
 protected:
  zb::testing::TestDevice device_;
};

using DecGetter = int (*)(int);

// An export as the function type the caller knows it to have.
template <class F>
F Bind(HMODULE module, LPCWSTR name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddressW(module, name)));
}

TEST_F(LoaderTest, PluginFoundByWildcardLoadsBindsAndUnloads) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((kProgramFolder + u"\\dec_*.dll").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(found.cFileName), u"dec_test.dll");
  FindClose(search);

  const std::u16string path = kProgramFolder + u"\\" + found.cFileName;
  HMODULE module = LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr) << GetLastError();

  auto byName = Bind<DecGetter>(module, u"ZonbrelGetDecModule");
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName(3), 1003);
  auto byOrdinal = Bind<DecGetter>(module, MAKEINTRESOURCEW(1));
  EXPECT_EQ(byOrdinal, byName);
  auto second = Bind<int (*)()>(module, MAKEINTRESOURCEW(7));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second(), 2);

  WCHAR name[MAX_PATH];
  ASSERT_EQ(GetModuleFileNameW(module, name, MAX_PATH), path.size());
  EXPECT_EQ(std::u16string(name), path);
  EXPECT_EQ(GetModuleHandleW(u"DEC_TEST.DLL"), module);
  EXPECT_EQ(GetModuleHandleW(path.c_str()), module);

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleW(u"dec_test.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(FreeLibrary(module));  // a stale module handle
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(LoaderTest, LoadingTwiceCountsAndBareNamesSearchTheProgramFolder) {
  HMODULE a = LoadLibraryW(u"dec_test.dll");
  ASSERT_NE(a, nullptr);
  HMODULE b = LoadLibraryW(u"DEC_TEST");  // default extension, any case
  EXPECT_EQ(a, b);
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_EQ(GetModuleHandleW(u"dec_test"), a);  // one reference left
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_EQ(GetModuleHandleW(u"dec_test"), nullptr);
  HMODULE c = LoadLibraryW(u"dec_test.dll");
  EXPECT_NE(c, a);  // module handles are not reused
  FreeLibrary(c);
}

struct MissingExport {
  const char* name;
  LPCWSTR proc;
};

TEST_F(LoaderTest, MissingExportsFailWithProcNotFound) {
  HMODULE module = LoadLibraryW(u"dec_test.dll");
  ASSERT_NE(module, nullptr);
  const MissingExport cases[] = {
      {"unknown name", u"ZonbrelGetDSPModule"},
      {"unknown ordinal", MAKEINTRESOURCEW(99)},
      {"symbol of a library it uses", u"GetTickCount"},
      {"ordinal table itself by another name", u"ZbOrdinalExport"},
  };
  for (const MissingExport& c : cases) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddressW(module, c.proc), nullptr) << c.name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << c.name;
  }
  FreeLibrary(module);
  EXPECT_EQ(GetProcAddressW(module, u"ZonbrelGetDecModule"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

struct SystemCase {
  const char* name;
  LPCWSTR library;
  bool loads;
};

TEST_F(LoaderTest, SystemLibrariesArePresentOrAbsentAsTheProfileSays) {
  device_.WriteProfile("[libraries]\naygshell = absent\nphone = present\n");
  const SystemCase cases[] = {
      {"absent by bare name", u"aygshell.dll", false},
      {"absent in \\Windows", u"\\Windows\\AYGSHELL.DLL", false},
      {"present, no ordinal of its own yet", u"\\Windows\\phone.dll", true},
      {"present by bare name", u"coredll.dll", true},
      {"never heard of", u"nosuchlib.dll", false},
  };
  for (const SystemCase& c : cases) {
    SetLastError(0);
    HMODULE module = LoadLibraryW(c.library);
    EXPECT_EQ(module != nullptr, c.loads) << c.name;
    if (!module) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << c.name;
      continue;
    }
    EXPECT_EQ(GetProcAddressW(module, u"KernelLibIoControl"), nullptr) << c.name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << c.name;
    EXPECT_TRUE(FreeLibrary(module));
  }
  EXPECT_EQ(GetModuleHandleW(u"aygshell"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(LoaderTest, CoredllIsBoundLikeTheProgramWouldBindIt) {
  HMODULE coredll = GetModuleHandleW(u"coredll");
  ASSERT_NE(coredll, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddressW(coredll, u"CreateMsgQueue")),
            reinterpret_cast<void*>(&CreateMsgQueue));
  WCHAR name[MAX_PATH];
  GetModuleFileNameW(coredll, name, MAX_PATH);
  EXPECT_EQ(std::u16string(name), u"\\Windows\\coredll.dll");
  EXPECT_EQ(LoadLibraryW(u"coredll.dll"), coredll);
  EXPECT_TRUE(FreeLibrary(coredll));
  EXPECT_EQ(GetModuleHandleW(u"coredll.dll"), coredll);
}

TEST_F(LoaderTest, DataFileLoadsWithoutRunningAnything) {
  std::filesystem::create_directories(device_.Host("Windows"));
  std::ofstream(device_.Host("Windows/zonbrellaunch.exe")) << "not a program at all";
  HMODULE data = LoadLibraryExW(u"\\Windows\\zonbrellaunch.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(GetProcAddressW(data, u"main"), nullptr);
  EXPECT_TRUE(FreeLibrary(data));
  // The same bytes loaded as a library are refused.
  EXPECT_EQ(LoadLibraryW(u"\\Windows\\zonbrellaunch.exe"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}

TEST_F(LoaderTest, BadRequestsFailCleanly) {
  EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LoadLibraryW(u""), nullptr);
  EXPECT_EQ(LoadLibraryExW(u"dec_test.dll", nullptr, 0x100), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(LoadLibraryW(u"\\No\\Such\\gen_x.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(FreeLibrary(nullptr));
  EXPECT_EQ(GetProcAddressW(nullptr, u"x"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(LoaderTest, ProgramModuleAndItsFileName) {
  HMODULE program = GetModuleHandleW(nullptr);
  ASSERT_NE(program, nullptr);
  WCHAR name[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, name, MAX_PATH);
  const std::u16string expected = kProgramFolder + u"\\coredll_tests";
  EXPECT_EQ(std::u16string(name, n), expected);
  EXPECT_EQ(GetModuleFileNameW(program, name, MAX_PATH), n);
  // A short buffer gets what fits, terminated, and the call says it was cut.
  WCHAR small[8];
  EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 8u);
  EXPECT_EQ(std::u16string(small), expected.substr(0, 7));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(0x1234), name, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
