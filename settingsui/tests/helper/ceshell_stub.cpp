// A stand-in for the device shell's folder functions (ordinals 10 and 11), built as
// "ceshell.dll" for tests that put it in the program's folder of a device whose own shell
// library is absent. It knows two folders, one of them without a trailing backslash.
#include <windows.h>
#include <zbexports.h>

namespace {

struct Folder {
  int id;
  const WCHAR* path;
};

constexpr Folder kFolders[] = {{5, u"\\Documents"}, {26, u"\\Shell Data\\"}};

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT StubGetSpecialFolderLocation(HWND, int id, void** idList) {
  for (const Folder& f : kFolders) {
    if (f.id == id) {
      *idList = const_cast<Folder*>(&f);
      return S_OK;
    }
  }
  return E_FAIL;
}

extern "C" __attribute__((visibility("default"))) BOOL StubGetPathFromIDList(const void* idList, WCHAR* path) {
  wcscpy(path, static_cast<const Folder*>(idList)->path);
  return TRUE;
}

ZB_ORDINAL_EXPORTS({10, "StubGetSpecialFolderLocation"}, {11, "StubGetPathFromIDList"});
