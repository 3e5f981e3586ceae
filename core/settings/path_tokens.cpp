// Matching at component boundaries. Paths are compared without case, as the device's file
// system does; a trailing "\" is added to both sides so that a match must end on a separator.
#include "core/settings/path_tokens.h"

#include <string>

namespace {

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (towlower(a[i]) != towlower(b[i])) return false;
  }
  return true;
}

std::u16string AsFolder(std::u16string_view path) {
  std::u16string folder(path);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

}  // namespace

bool PathHasFolder(std::u16string_view path, std::u16string_view folder) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  if (folder.empty() || path.empty()) return false;
  const std::u16string whole = AsFolder(path);
  const std::u16string wanted = AsFolder(folder);
  if (folder.front() == u'\\') return whole.size() >= wanted.size() && EqualNoCase(whole.substr(0, wanted.size()), wanted);
  for (size_t at = 0; at + wanted.size() <= whole.size(); ++at) {
    const bool startsComponent = at == 0 || whole[at - 1] == u'\\';
    if (startsComponent && EqualNoCase(std::u16string_view(whole).substr(at, wanted.size()), wanted)) return true;
  }
  return false;
}

bool PathIsFolderOrParent(std::u16string_view path, std::u16string_view folder) {
  if (path.empty() || folder.empty()) return false;
  const std::u16string whole = AsFolder(path);
  const std::u16string wanted = AsFolder(folder);
  return whole.size() <= wanted.size() && EqualNoCase(std::u16string_view(wanted).substr(0, whole.size()), whole);
}

std::u16string_view BareExtension(std::u16string_view extension) {
  if (!extension.empty() && extension.front() == u'*') extension.remove_prefix(1);
  if (!extension.empty() && extension.front() == u'.') extension.remove_prefix(1);
  return extension;
}

bool ExtensionInList(std::u16string_view extension, std::u16string_view list) {
  extension = BareExtension(extension);
  if (extension.empty()) return false;
  for (size_t start = 0; start <= list.size();) {
    size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    if (EqualNoCase(BareExtension(list.substr(start, end - start)), extension)) return true;
    start = end + 1;
  }
  return false;
}
