// Building a skin from its file: a skin package is read through its script, a sectioned skin
// description through its importer.
#include "skin/skin.h"
#include "skin/skin_description.h"
#include "skin/skin_element_params.h"
#include "skin/skin_file_types.h"
#include "skin/skin_package.h"
#include "skin/skin_script.h"

void CSkin::SetPath(LPCWSTR path) { path_ = path ? path : u""; }

BOOL CSkin::LoadScript(LPCWSTR packagePath, LPCWSTR scriptName) {
  SetPath(packagePath);
  loadMessages_.clear();
  if (ParseSkinScript(this, packagePath, scriptName, FALSE, &loadMessages_)) return TRUE;
  DeleteElements();
  return FALSE;
}

BOOL CSkin::Load(LPCWSTR path) {
  switch (GetSkinFileType(path)) {
    case 1:
      return LoadScript(path, u"script.txt");
    case 2:
      SetPath(path);
      loadMessages_.clear();
      if (ImportSkinDescriptionFile(this, path, &loadMessages_)) return TRUE;
      DeleteElements();
      return FALSE;
    default:
      return FALSE;
  }
}

std::u16string CSkin::ReadPackageText(LPCWSTR name) const {
  WCHAR path[MAX_PATH];
  BOOL temporary = FALSE;
  if (GetSkinFileType(path_.c_str()) != 1 || !ExtractSkinEntry(path_.c_str(), name, path, &temporary)) return {};
  std::u16string text = ReadSkinText(path);
  if (temporary) DeleteFileW(path);
  return text;
}

CSkinElement* CSkin::CreateElement(int kind) {
  SkinElementParams params;
  params.kind = kind;
  return CreateSkinElement(this, params);
}
