// The settings' tests of paths and extensions against the user's lists, and the user-interface
// speed scaling of timer periods and repeat rates.
#include <climits>
#include <string>

#include "core/settings/path_tokens.h"
#include "core/settings/settings.h"
#include "string_tokenizer.h"

namespace {

template <class Match>
bool AnyToken(const CStringTokenizer& list, Match match) {
  for (int i = 1; i <= list.GetCount(); ++i) {
    const std::u16string token = list.GetToken(i);
    if (!token.empty() && match(token)) return true;
  }
  return false;
}

}  // namespace

bool CSettings::IsExtensionOmitted(const WCHAR* ext) const {
  return ext && ExtensionInList(ext, omittedExtensions);
}

bool CSettings::IsExcludedPath(const WCHAR* path) const {
  if (!restrictExclude || !path || !*path) return false;
  return AnyToken(*restrictExclude, [path](const std::u16string& token) { return PathHasFolder(path, token); });
}

bool CSettings::IsIncludedPath(const WCHAR* path, bool alsoParents, bool fallback) const {
  if (!restrictInclude || !path || !*path) return fallback;
  return AnyToken(*restrictInclude, [&](const std::u16string& token) {
    return PathHasFolder(path, token) || (alsoParents && PathIsFolderOrParent(path, token));
  });
}

int CSettings::ScaleBySpeed(int value, int factor) const {
  if (value == 0 || factor == 0 || uiSpeed == 5) return value;
  float multiplier;
  if (uiSpeed < 5) {
    float divisor = static_cast<float>(6 - static_cast<int>(uiSpeed)) * static_cast<float>(factor) * 0.2f;
    multiplier = 1.0f / (divisor == 0.0f ? 1.0f : divisor);
  } else {
    multiplier = static_cast<float>(uiSpeed - 4) * static_cast<float>(factor) * 0.16666667f;
  }
  const float scaled = multiplier * static_cast<float>(value);
  // A stored speed far out of range must not overflow the conversion.
  if (scaled >= static_cast<float>(INT_MAX)) return INT_MAX;
  if (scaled <= static_cast<float>(INT_MIN)) return INT_MIN;
  const int result = static_cast<int>(scaled);
  return result == 0 ? 1 : result;
}
