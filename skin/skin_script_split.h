// The split every keyword handler starts with: its own slots and maximum length, the parsing
// and the token-count messages, and whether the line is good so far.
#pragma once
#include <algorithm>
#include <initializer_list>

#include "skin/skin_script.h"

inline bool SplitForKeyword(SkinParseContext* c, LPCWSTR args, SkinTokens* t, int* n, std::initializer_list<int> accepted,
                            LPCWSTR separators = u", \t") {
  *n = t->Slots();
  const int split = SplitSkinTokens(c, t, args, n, t->MaxLength(), separators);
  if (!split) SetSkinError(c, u"error parsing tokens for ", c->keyword);
  const bool counted = std::find(accepted.begin(), accepted.end(), *n) != accepted.end();
  if (!counted) SetSkinError(c, u"wrong amount of tokens for ", c->keyword);
  return split && counted;
}
