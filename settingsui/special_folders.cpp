// Special folders. The shell's folder functions (CEShell, ordinals 10 and 11) are bound at run
// time because not every device has them; without them each folder has a fixed path.
#include "settingsui/special_folders.h"

#include <string>

#include "core/modules/bound_function.h"

namespace {

constexpr struct {
  int id;
  const WCHAR* path;
} kFallbacks[] = {
    {2, u"\\Windows\\Start Menu\\Programs\\"},
    {3, u"\\Windows\\Start Menu\\Settings\\"},
    {5, u"\\My Documents\\"},
    {7, u"\\Windows\\StartUp\\"},
    {11, u"\\Windows\\Start Menu\\"},
    {kApplicationDataFolderId, u"\\Application Data\\"},
    {kWindowsFolderId, u"\\Windows\\"},
};

void CopyFolder(std::u16string path, WCHAR* out) {
  if (path.empty() || path.back() != u'\\') path += u'\\';
  if (path.size() >= MAX_PATH) path = u"\\";
  wcscpy(out, path.c_str());
}

std::u16string ProgramFolder() {
  WCHAR file[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, file, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return u"\\";
  std::u16string path(file, n);
  size_t slash = path.rfind(u'\\');
  return slash == std::u16string::npos ? u"\\" : path.substr(0, slash + 1);
}

typedef HRESULT (*GetFolderLocationFn)(HWND owner, int folder, void** idList);
typedef BOOL (*GetPathFromIdListFn)(const void* idList, WCHAR* path);

// The shell's path of the folder, or empty when the device's shell has none.
std::u16string ShellFolder(int id) {
  HMODULE shell = LoadLibraryW(u"ceshell.dll");
  if (!shell) return {};
  auto location = BoundFunction<GetFolderLocationFn>(shell, MAKEINTRESOURCEW(10));
  auto toPath = BoundFunction<GetPathFromIdListFn>(shell, MAKEINTRESOURCEW(11));
  std::u16string path;
  void* idList = nullptr;
  WCHAR buffer[MAX_PATH] = {};
  if (location && toPath && SUCCEEDED(location(nullptr, id, &idList)) && idList && toPath(idList, buffer)) {
    path = buffer;
  }
  FreeLibrary(shell);
  return path;
}

}  // namespace

BOOL GetSpecialFolderPath(int id, WCHAR* out) {
  if (id == kProgramFolderId) {
    CopyFolder(ProgramFolder(), out);
    return TRUE;
  }
  if (id != kWindowsFolderId) {
    std::u16string path = ShellFolder(id);
    if (!path.empty()) {
      CopyFolder(path, out);
      return TRUE;
    }
  }
  for (const auto& fallback : kFallbacks) {
    if (fallback.id == id) {
      wcscpy(out, fallback.path);
      return id == kWindowsFolderId;
    }
  }
  wcscpy(out, u"\\");
  return FALSE;
}
