// Which files and folders the Local Content scan takes: extensions compared whole against the
// filter, and the system's own folders left out as whole path components ("\Temp" is not
// "\Templates").
#include <string>

#include "core/settings/path_tokens.h"
#include "core/settings/settings.h"
#include "local_content.h"

namespace {

constexpr size_t kShortestPath = 5;
constexpr size_t kLongestExtension = 16;

}  // namespace

bool MatchesExtensionFilter(LPCWSTR upperFilter, LPCWSTR path) {
  if (!upperFilter) return true;
  if (!path) return false;
  const std::u16string_view text(path);
  if (text.size() < kShortestPath) return false;
  const size_t dot = text.rfind(u'.');
  const size_t slash = text.rfind(u'\\');
  if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash)) return false;
  const std::u16string_view extension = text.substr(dot);
  if (extension.size() >= kLongestExtension) return false;
  return ExtensionInList(extension, upperFilter);
}

bool IsIgnoredFolder(const CSettings& settings, LPCWSTR path) {
  if (!path || !*path) return false;
  const std::u16string_view candidates[] = {u"\\Windows", u"\\Temp", u"\\NETWORK", settings.appDataFolder,
                                            settings.tempFolder};
  for (size_t i = 0; i < std::size(candidates); ++i) {
    if (!(settings.restrictPaths & (1u << i)) || candidates[i].empty() || candidates[i].front() != u'\\') continue;
    if (PathHasFolder(path, candidates[i])) return !settings.IsIncludedPath(path, false, false);
  }
  return settings.IsExcludedPath(path) && !settings.IsIncludedPath(path, false, false);
}
