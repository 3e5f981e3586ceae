// Resources per module: a plug-in's own table under its handle (never the program's), the same
// plug-in opened as a data file, a freed module's handle refused, and version information read
// by file name from the program, a plug-in and files that have none.
#include <fstream>

#include "resource_support.h"

namespace zb::res::testing {
namespace {

const std::u16string kFolder = u"\\Program Files\\Zonbrel\\";

class ResourceModulesTest : public ResourceTest {
 protected:
  static std::u16string String(HMODULE module, UINT id) {
    WCHAR buffer[64] = {};
    LoadStringW(module, id, buffer, 64);
    return buffer;
  }
};

TEST_F(ResourceModulesTest, EachModuleFindsOnlyItsOwnResources) {
  HMODULE library = LoadLibraryW(u"res_test.dll");
  ASSERT_NE(library, nullptr) << GetLastError();
  EXPECT_EQ(String(library, IDS_CUSTOM), u"Library custom");
  EXPECT_EQ(String(nullptr, IDS_CUSTOM), u"Custom");
  EXPECT_EQ(String(library, IDS_NEUTRAL), u"") << "the program's string is not the library's";
  EXPECT_EQ(Text(Bytes(library, MAKEINTRESOURCEW(IDR_SCHEMA), u"TEXT")), "library text");
  EXPECT_EQ(FindResourceW(library, MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

  ASSERT_TRUE(FreeLibrary(library));
  EXPECT_EQ(FindResourceW(library, MAKEINTRESOURCEW(IDR_SCHEMA), u"TEXT"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(ResourceModulesTest, DataFileResourcesComeFromTheFile) {
  HMODULE data = LoadLibraryExW((kFolder + u"res_test.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr) << GetLastError();
  EXPECT_EQ(String(data, IDS_CUSTOM), u"Library custom");
  EXPECT_EQ(Text(Bytes(data, MAKEINTRESOURCEW(IDR_SCHEMA), u"TEXT")), "library text");
  FreeLibrary(data);

  // A data file that is no binary has no resources, and says so without harm.
  std::ofstream(device_.Host("notes.txt")) << "plain text";
  data = LoadLibraryExW(u"\\notes.txt", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr) << GetLastError();
  EXPECT_EQ(FindResourceW(data, MAKEINTRESOURCEW(1), RT_STRING), nullptr);
  FreeLibrary(data);
}

// The four parts of a fixed version, most significant first.
std::vector<int> Parts(const VS_FIXEDFILEINFO& f) {
  return {static_cast<int>(f.dwFileVersionMS >> 16), static_cast<int>(f.dwFileVersionMS & 0xFFFF),
          static_cast<int>(f.dwFileVersionLS >> 16), static_cast<int>(f.dwFileVersionLS & 0xFFFF)};
}

TEST_F(ResourceModulesTest, VersionOfTheProgramAndOfAPluginByFileName) {
  WCHAR program[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
  struct {
    std::u16string file;
    std::vector<int> version;
    std::u16string text;
  } const kFiles[] = {{program, {3, 5, 0, 12}, u"3.5.0.12"}, {kFolder + u"res_test.dll", {1, 2, 3, 4}, u"1.2.3.4"}};
  for (const auto& f : kFiles) {
    DWORD handle = 99;
    DWORD size = GetFileVersionInfoSizeW(f.file.c_str(), &handle);
    ASSERT_GT(size, 0u) << GetLastError();
    EXPECT_EQ(handle, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(f.file.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(Parts(*fixed), f.version);
    WCHAR* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\StringFileInfo\\040904B0\\fileversion", reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(std::u16string(text), f.text);
    EXPECT_EQ(length, f.text.size() + 1);
  }
}

TEST_F(ResourceModulesTest, TranslationAndMissingValues) {
  WCHAR program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::vector<uint8_t> block(GetFileVersionInfoSizeW(program, nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(program, 0, static_cast<DWORD>(block.size()), block.data()));
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x409);
  EXPECT_EQ(translation[1], 1200);
  void* value = nullptr;
  EXPECT_FALSE(VerQueryValueW(block.data(), u"\\StringFileInfo\\040904b0\\Comments", &value, &length));
  EXPECT_EQ(length, 0u);
  EXPECT_FALSE(VerQueryValueW(block.data(), u"\\Nothing", &value, &length));
}

struct NoVersion {
  std::u16string file;
  DWORD error;
};

TEST_F(ResourceModulesTest, FilesWithoutVersionInformation) {
  std::ofstream(device_.Host("notes.txt")) << "plain text";
  const NoVersion kFiles[] = {
      {kFolder + u"dec_test.dll", ERROR_RESOURCE_TYPE_NOT_FOUND},  // a binary without resources
      {u"\\notes.txt", ERROR_BAD_FORMAT},
      {u"\\missing.dll", ERROR_FILE_NOT_FOUND},
      {u"", ERROR_INVALID_PARAMETER},
  };
  for (const NoVersion& f : kFiles) {
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeW(f.file.c_str(), nullptr), 0u);
    EXPECT_EQ(GetLastError(), f.error);
    uint8_t block[16];
    EXPECT_FALSE(GetFileVersionInfoW(f.file.c_str(), 0, sizeof(block), block));
  }
}

}  // namespace
}  // namespace zb::res::testing
