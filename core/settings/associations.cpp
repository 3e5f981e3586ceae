// File associations. An extension the player takes over remembers the class it had before, and
// that class's key is copied into the player's class first, so turning the extension off again
// gives the other program back exactly what it had.
#include "core/settings/associations.h"

#include <string>
#include <vector>

#include "core/settings/registry_values.h"
#include "core/settings/settings.h"
#include "skin/skin_file_types.h"

namespace {

constexpr WCHAR kProduct[] = u"Zonbrel";
constexpr WCHAR kPlaylistClass[] = u"Zonbrel Playlist";
constexpr WCHAR kDefault[] = u"";  // the key's default value
constexpr size_t kMaxExtension = 15;
constexpr size_t kAssociationsChars = 500;
constexpr int kIconResource = 107;

constexpr const WCHAR* kPlaylistExtensions[] = {u".m3u", u".m3u8", u".pls", u".pspl",
                                                u".plt", u".asx",  u".wmwebasx", u".lst"};

struct MaskRow {
  DWORD bit;
  const WCHAR* extension;  // null: every skin-file extension
};

constexpr MaskRow kMaskRows[] = {
    {0x0001, u".mp3"}, {0x0002, u".ogg"},  {0x0004, u".wav"},  {0x0008, u".wma"}, {0x0020, u".mp1"},
    {0x0010, u".mp2"}, {0x0080, u".m3u"},  {0x2000, u".m3u8"}, {0x8000, u".pspl"}, {0x0040, u".pls"},
    {0x0100, u".plt"}, {0x0200, u".asx"},  {0x1000, u".lst"},  {kSkinAssociationsBit, nullptr},
};

constexpr struct {
  const WCHAR* type;
  const WCHAR* extension;
} kMimeTypes[] = {
    {u"application/ogg", u".ogg"}, {u"application/x-ogg", u".ogg"}, {u"audio/aac", u".aac"},
    {u"audio/m4a", u".m4a"},       {u"audio/mpegurl", u".m3u"},     {u"audio/mpegurl", u".m3u8"},
    {u"audio/scpls", u".pls"},     {u"audio/wav", u".wav"},         {u"audio/x-mpegurl", u".m3u"},
    {u"audio/x-scpls", u".pls"},   {u"audio/x-zbspl", u".pspl"},
};

bool IsPlaylistExtension(const std::u16string& extension) {
  for (const WCHAR* known : kPlaylistExtensions) {
    if (_wcsicmp(extension.c_str(), known) == 0) return true;
  }
  return false;
}

bool IsOurClass(const std::u16string& name) { return _wcsnicmp(name.c_str(), kProduct, wcslen(kProduct)) == 0; }

std::u16string Lower(std::u16string text) {
  for (WCHAR& c : text) c = towlower(c);
  return text;
}

std::u16string ProgramPath() {
  WCHAR path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::u16string(path, n) : std::u16string();
}

// The class key with its name, icon and open command; for a media class the previous class's
// key is copied in first so that its other verbs and values survive.
void RegisterClass(const std::u16string& className, const WCHAR* description, DWORD editFlags,
                   const std::u16string& previousClass) {
  if (!previousClass.empty() && _wcsicmp(previousClass.c_str(), className.c_str()) != 0) {
    RegKey previous;
    if (previous.Open(HKEY_CLASSES_ROOT, previousClass.c_str()) == ERROR_SUCCESS) {
      CopyRegistryKey(previous.get(), HKEY_CLASSES_ROOT, className.c_str());
    }
  }
  RegKey key;
  if (key.Create(HKEY_CLASSES_ROOT, className.c_str()) != ERROR_SUCCESS) return;
  WriteRegText(key.get(), kDefault, description);
  WriteRegDword(key.get(), u"EditFlags", editFlags);
  const std::u16string program = ProgramPath();
  WCHAR icon[MAX_PATH + 16];
  wsprintfW(icon, u"%s,-%d", program.c_str(), kIconResource);
  RegKey iconKey;
  if (iconKey.Create(key.get(), u"DefaultIcon") == ERROR_SUCCESS) WriteRegText(iconKey.get(), kDefault, icon);
  RegKey command;
  if (command.Create(key.get(), u"Shell\\Open\\Command") == ERROR_SUCCESS) {
    WriteRegText(command.get(), kDefault, (u"\"" + program + u"\" \"%1\"").c_str());
  }
}

// The default value's text, or empty when it cannot be read.
std::u16string ReadDefault(HKEY key, const WCHAR* name) {
  std::u16string text;
  if (!ReadRegText(key, name, &text, MAX_PATH - 1)) text.clear();
  return text;
}

void FollowChoice(const std::u16string& extension, BOOL on) {
  if ((Associate(extension.c_str(), FALSE, TRUE) != 0) != (on != FALSE)) Associate(extension.c_str(), on, FALSE);
}

// Positions of the extension in the list where a whole entry matches (behind it the end or ".").
std::vector<size_t> Occurrences(const std::u16string& list, const std::u16string& extension) {
  std::vector<size_t> found;
  const std::u16string lower = Lower(list);
  for (size_t at = lower.find(extension); at != std::u16string::npos; at = lower.find(extension, at + 1)) {
    const size_t behind = at + extension.size();
    if (behind == lower.size() || lower[behind] == u'.') found.push_back(at);
  }
  return found;
}

}  // namespace

int Associate(const WCHAR* extension, BOOL on, BOOL queryOnly) {
  if (!extension || !*extension) return 0;
  const std::u16string ext(extension);
  if (!on && !queryOnly) {
    RegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, ext.c_str()) != ERROR_SUCCESS) return 1;
    if (ValueExists(key.get(), kOldDefaultValue)) {
      const std::u16string old = ReadDefault(key.get(), kOldDefaultValue);
      WriteRegText(key.get(), kDefault, old.c_str());
      RegDeleteValueW(key.get(), kOldDefaultValue);
      if (!IsOurClass(old)) return 1;
    }
    if (ValueExists(key.get(), kDefault) && IsOurClass(ReadDefault(key.get(), kDefault))) {
      RegDeleteValueW(key.get(), kDefault);
    }
    return 1;
  }
  RegKey key;
  // A query must not leave an empty key behind for every extension it asked about.
  const LONG opened = queryOnly ? key.Open(HKEY_CLASSES_ROOT, ext.c_str()) : key.Create(HKEY_CLASSES_ROOT, ext.c_str());
  if (opened != ERROR_SUCCESS) return queryOnly ? 0 : 1;
  std::u16string current;
  const bool read = ReadRegText(key.get(), kDefault, &current, MAX_PATH - 1);
  if (queryOnly) return read && IsOurClass(current) ? 1 : 0;
  // Only another program's class is worth keeping; the first backup is never overwritten.
  const bool foreign = read && !current.empty() && !IsOurClass(current);
  if (foreign && !ValueExists(key.get(), kOldDefaultValue)) WriteRegText(key.get(), kOldDefaultValue, current.c_str());
  std::u16string className;
  if (IsPlaylistExtension(ext)) {
    className = kPlaylistClass;
    RegisterClass(className, kPlaylistClass, 0x10010000, {});
  } else {
    className = kProduct + Lower(ext);
    RegisterClass(className, u"Zonbrel File", 0x10000, foreign ? current : std::u16string());
  }
  WriteRegText(key.get(), kDefault, className.c_str());
  return 1;
}

BOOL IsAssociated(const WCHAR* extensionWithoutDot) {
  if (!extensionWithoutDot) return FALSE;
  return Associate((u"." + std::u16string(extensionWithoutDot)).c_str(), FALSE, TRUE);
}

void SetExtension(CSettings* settings, const WCHAR* extension, BOOL on) {
  if (!settings || !extension || !*extension || wcslen(extension) > kMaxExtension) return;
  std::u16string ext(extension);
  if (ext.front() != u'.') ext.insert(ext.begin(), u'.');
  if (ext == u".") return;
  const std::u16string lower = Lower(ext);
  std::u16string list(settings->associations, wcsnlen(settings->associations, kAssociationsChars - 1));
  std::vector<size_t> found = Occurrences(list, lower);
  if (on) {
    if (found.empty() && list.size() + lower.size() < kAssociationsChars) list += lower;
  } else {
    for (auto it = found.rbegin(); it != found.rend(); ++it) list.erase(*it, lower.size());
  }
  wcscpy(settings->associations, list.c_str());
  FollowChoice(ext, on);
  if (lower == u".asx") FollowChoice(u".wmwebasx", on);
}

void ApplyAssociations(CSettings* settings, DWORD mask) {
  for (const MaskRow& row : kMaskRows) {
    const BOOL on = (mask & row.bit) != 0;
    if (row.extension) {
      SetExtension(settings, row.extension, on);
      continue;
    }
    WCHAR extension[16];
    for (int i = 0; GetSkinFileExtension(i, extension); ++i) SetExtension(settings, extension, on);
  }
}

void ApplyDefaultAssociations(CSettings* settings) {
  if (settings) ApplyAssociations(settings, settings->fileAssociationsDefault);
}

void ApplySkinAssociations(CSettings* settings) { ApplyAssociations(settings, kSkinAssociationsBit); }

void ReapplyAssociations(CSettings* settings) {
  if (!settings) return;
  const std::u16string list(settings->associations, wcsnlen(settings->associations, kAssociationsChars - 1));
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find(u'.', start + 1);
    if (end == std::u16string::npos) end = list.size();
    const std::u16string token = list.substr(start, end - start);
    if (token.size() > 1) SetExtension(settings, token.c_str(), TRUE);
    start = end;
  }
}

void SetMimeExtension(const WCHAR* type, const WCHAR* extension) {
  if (!type || !extension) return;
  RegKey key;
  if (key.Create(HKEY_CLASSES_ROOT, (u"MIME\\Database\\Content Type\\" + std::u16string(type)).c_str()) != ERROR_SUCCESS) {
    return;
  }
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), u"Extension", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size != 0) return;
  WriteRegText(key.get(), u"Extension", extension);
}

void RegisterMimeTypes() {
  for (const auto& mime : kMimeTypes) SetMimeExtension(mime.type, mime.extension);
}
